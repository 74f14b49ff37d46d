// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

#include "app/form_layout.h"
#include "app/number_label.h"
#include "app/sheets_module.h"
#include "app/startup.h"
#include "app/vb_timer.h"
#include "app/window_look.h"
#include "generator/problem_types.h"

namespace numbrook {
namespace {

QFont songti(double points, bool bold)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Every control is placed by the form's layout, in twips: the layout keeps
// the designed rectangle and font and scales both with the window.
template <class W>
W* place(FormLayout& layout, W* w, const char* name, QRect twips, const QFont& font)
{
    w->setObjectName(QString::fromLatin1(name));
    layout.add(w, twips, font);
    return w;
}

QGroupBox* frame(FormLayout& layout, QWidget* parent, const char* name, QRect twips,
                 const QString& caption, const QFont& font)
{
    return place(layout, new QGroupBox(caption, parent), name, twips, font);
}

QLabel* label(FormLayout& layout, QWidget* parent, const char* name, QRect twips,
              const QString& caption, const QFont& font, Qt::Alignment align = Qt::AlignCenter)
{
    auto* l = place(layout, new QLabel(caption, parent), name, twips, font);
    l->setAlignment(align);
    return l;
}

QLabel* numberLabel(FormLayout& layout, QWidget* parent, const char* name, QRect twips,
                    const QString& caption, const QFont& font)
{
    auto* l = place(layout, new NumberLabel(caption, parent), name, twips, font);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QPushButton* button(FormLayout& layout, QWidget* parent, const char* name, QRect twips,
                    const QString& caption, const QFont& font)
{
    auto* b = place(layout, new QPushButton(caption, parent), name, twips, font);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLineEdit* textBox(FormLayout& layout, QWidget* parent, const char* name, QRect twips,
                   const QString& text, const QFont& font)
{
    auto* t = place(layout, new QLineEdit(text, parent), name, twips, font);
    t->setAlignment(Qt::AlignCenter);
    return t;
}

void fill(QWidget* w, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void blackText(QWidget* w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(p);
}

// Where each box stands: the drill's types first, then three unused boxes.
struct TypeBox {
    int column;
    int row;
};

constexpr TypeBox kTypeBoxes[12] = {
    {0, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 2}, {1, 2}, {0, 3}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3},
};
static_assert(kDrillTypeCount == 9, "the drill window has nine type boxes and three unused ones");
constexpr int kTypeColumnLeft[3] = {360, 4080, 7800};
constexpr int kTypeRowTop[4] = {360, 915, 1485, 2040};

constexpr int kSlotColumnLeft[4] = {120, 3880, 7640, 11400};
constexpr int kSlotRowTop[5] = {480, 1650, 2820, 3990, 5160};
constexpr int kLineX[3] = {3720, 7440, 11160};

}  // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), drill_(services_.random, services_.clock)
{
    buildControls();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kProgramTitle) + QStringLiteral("  作者：口算园地"));
    // The window's own colours, set before its controls inherit them.
    setPalette(classicPalette());
    layout_ = std::make_unique<FormLayout>(this);
    FormLayout& L = *layout_;
    resize(FormLayout::designSize());
    setMinimumSize(FormLayout::designSize() / 2);
    const QFont windowFont = songti(14.25, true);
    L.setFormFont(windowFont);

    const QFont small = songti(10.5, false);
    const QFont smallBold = songti(10.5, true);

    Frame1 = frame(L, this, "Frame1", QRect(120, 240, 3375, 2775),
                   QStringLiteral("题数及间隔时间设置："), smallBold);
    Frame6 = frame(L, Frame1, "Frame6", QRect(120, 240, 3135, 1640), {}, windowFont);
    Label2 = label(L, Frame6, "Label2", QRect(80, 360, 615, 255), QStringLiteral("题数"), small);
    Text1 = textBox(L, Frame6, "Text1", QRect(840, 307, 735, 360), QStringLiteral("5"),
                    songti(12, false));
    Label3 = label(L, Frame6, "Label3", QRect(1680, 360, 375, 255), QStringLiteral("题"), small);
    Label4 = label(L, Frame6, "Label4", QRect(80, 1080, 615, 255), QStringLiteral("间隔"), small);
    Text2 = textBox(L, Frame6, "Text2", QRect(840, 1027, 735, 360), QStringLiteral("0.01"),
                    songti(12, false));
    Label5 = label(L, Frame6, "Label5", QRect(1680, 1080, 375, 255), QStringLiteral("秒"), small);
    Command1 = button(L, Frame6, "Command1", QRect(2240, 240, 630, 320), QStringLiteral("出题"),
                      smallBold);
    Command3 = button(L, Frame6, "Command3", QRect(2240, 660, 630, 320), QStringLiteral("显示"),
                      smallBold);
    Command2 = button(L, Frame6, "Command2", QRect(2240, 1080, 630, 320), QStringLiteral("答案"),
                      smallBold);
    Frame3 = frame(L, Frame1, "Frame3", QRect(120, 1920, 3135, 735), {}, windowFont);
    Label7 = label(L, Frame3, "Label7", QRect(120, 300, 1215, 255), QStringLiteral("导出至文档"),
                   smallBold, Qt::AlignLeft | Qt::AlignVCenter);
    Text3 = textBox(L, Frame3, "Text3", QRect(1440, 240, 615, 320), {}, smallBold);
    Command7 = button(L, Frame3, "Command7", QRect(2280, 240, 570, 320), QStringLiteral("确定"),
                      smallBold);

    Frame4 = frame(L, this, "Frame4", QRect(3720, 240, 11415, 2775),
                   QStringLiteral("式题类型选择："), smallBold);
    for (int i = 0; i < 12; ++i) {
        const TypeBox& t = kTypeBoxes[i];
        auto* box = new QCheckBox(
            QString::fromUtf8(i < kDrillTypeCount ? problemType(i).caption : "（暂未设置）"),
            Frame4);
        place(L, box, "", QRect(kTypeColumnLeft[t.column], kTypeRowTop[t.row], 3255, 495),
              songti(14.25, false));
        box->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        // The list is rebuilt after the box has changed state.
        connect(box, &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
        Check1[i] = box;
    }

    Frame2 = frame(L, this, "Frame2", QRect(120, 3080, 15015, 6015),
                   QStringLiteral("式题显示窗口："), smallBold);
    blackText(Frame2);
    // The CJK serif face draws digits wider than "宋体" does: a slight condensing
    // keeps the longest answers, "98－79=19" and "99×9=891", inside their slots.
    QFont slotFont = songti(36, true);
    slotFont.setStretch(92);
    for (int n = 1; n <= 20; ++n) {
        auto* slot = numberLabel(
            L, Frame2, "", QRect(kSlotColumnLeft[(n - 1) % 4], kSlotRowTop[(n - 1) / 4], 3435, 705),
            {}, slotFont);
        slot->setObjectName(QStringLiteral("Label6(%1)").arg(n));
        blackText(slot);
        slot->hide();
        Label6[n] = slot;
    }
    for (int i = 0; i < 3; ++i) {
        auto* line = new QFrame(Frame2);
        line->setObjectName(QStringLiteral("Line1(%1)").arg(i));
        // Two pixels wide, centred on its x.
        L.add(line, QRect(kLineX[i] - 15, 480, 30, 5880 - 480), windowFont);
        fill(line, Qt::black);
        line->hide();
        Line1[i] = line;
    }
    Label1 =
        numberLabel(L, Frame2, "Label1", QRect(3960, 2400, 6945, 1695), {}, songti(80.25, true));
    fill(Label1, QColor(192, 192, 255));

    Frame5 = frame(L, this, "Frame5", QRect(120, 9120, 15015, 1215),
                   QStringLiteral("计时器：（可用“空格键”直接停止）"), windowFont);
    Label8 = numberLabel(L, Frame5, "Label8", QRect(5400, 360, 3015, 615), QStringLiteral("0:0:0"),
                         songti(36, true));
    blackText(Label8);
    Command4 = button(L, Frame5, "Command4", QRect(8400, 450, 735, 615), QStringLiteral("停止"),
                      songti(12, true));

    // The progress box of an export floats over the display panel.
    Frame7 = frame(L, this, "Frame7", QRect(6360, 4080, 2415, 615), {}, windowFont);
    fill(Frame7, QColor(255, 192, 192));
    Label9 = label(L, Frame7, "Label9", QRect(360, 120, 1695, 495), QStringLiteral("25%"),
                   songti(18, true));
    Frame7->hide();

    Timer1 = new VbTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new VbTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    connect(Timer1, &VbTimer::tick, this, &Form1::Timer1_Timer);
    connect(Timer2, &VbTimer::tick, this, &Form1::Timer2_Timer);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);

    // What a screen reader says: captions speak for themselves; these need a word.
    Frame6->setAccessibleName(QStringLiteral("题数及间隔"));
    Frame3->setAccessibleName(QStringLiteral("导出至文档"));
    Frame7->setAccessibleName(QStringLiteral("导出进度"));
    Text1->setAccessibleName(QStringLiteral("题数"));
    Text2->setAccessibleName(QStringLiteral("间隔（秒）"));
    Text3->setAccessibleName(QStringLiteral("导出题数"));
    Label1->setAccessibleDescription(QStringLiteral("当前题目"));
    Label8->setAccessibleDescription(QStringLiteral("计时"));
    for (int n = 1; n <= 20; ++n)
        Label6[n]->setAccessibleDescription(QStringLiteral("第%1题").arg(n));
    for (QFrame* line : Line1)
        line->setAccessibleName(QStringLiteral("分隔线"));

    // Labels, frames and lines take no focus; the rest in this order.
    const QList<QWidget*> order{Check1[3],  Check1[6], Check1[4], Check1[9], Check1[10],
                                Check1[11], Check1[8], Check1[0], Check1[2], Check1[7],
                                Check1[1],  Check1[5], Command4,  Command7,  Text3,
                                Command2,   Text2,     Command1,  Command3,  Text1};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    Check1[3]->setFocus();

    // F11 puts the window on the whole screen and back, Esc leaves the whole
    // screen; neither key does anything else, and the space bar stays with
    // the focused control.
    auto* fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, &Form1::toggleFullScreen);
    leaveFullScreen_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    leaveFullScreen_->setEnabled(false);
    connect(leaveFullScreen_, &QShortcut::activated, this, [this] {
        if (isFullScreen())
            toggleFullScreen();
    });

    // Beyond the drill, from a context menu on the form: the practice
    // window, the sheet window (also Ctrl+P) and the whole screen (F11 above).
    auto* practice = new QAction(QStringLiteral("练习…"), this);
    practice->setObjectName(QStringLiteral("PracticeAction"));
    connect(practice, &QAction::triggered, this, &Form1::practiceRequested);
    auto* sheets = new QAction(QStringLiteral("练习纸…"), this);
    sheets->setObjectName(QStringLiteral("SheetWindowAction"));
    sheets->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(sheets, &QAction::triggered, this, &Form1::openSheetWindow);
    fullScreenAction_ = new QAction(QStringLiteral("全屏\tF11"), this);
    fullScreenAction_->setObjectName(QStringLiteral("FullScreenAction"));
    fullScreenAction_->setCheckable(true);
    connect(fullScreenAction_, &QAction::triggered, this, &Form1::toggleFullScreen);
    addActions({practice, sheets, fullScreenAction_});
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form1::openSheetWindow()
{
    const std::vector<int> ticked(drill_.selectedTypes.begin(),
                                  drill_.selectedTypes.begin() + drill_.selectedCount);
    if (services_.sheets)
        services_.sheets->open(this, ticked);
}

double Form1::formScale() const
{
    return layout_->scale();
}

void Form1::toggleFullScreen()
{
    // Leaving the whole screen returns to the normal or maximised window.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout_->apply(size());
}

void Form1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        leaveFullScreen_->setEnabled(isFullScreen());
        fullScreenAction_->setChecked(isFullScreen());
    }
}

void Form1::Form_Load()
{
    attachSkin();
    drill_.exportNumber = 0;
}

void Form1::Check1_Click(int /*index*/)
{
    std::array<bool, kDrillTypeCount> ticked{};
    for (int i = 0; i < kDrillTypeCount; ++i)
        ticked[static_cast<size_t>(i)] = Check1[static_cast<size_t>(i)]->isChecked();
    drill_.selectTypes(ticked);
}

}  // namespace numbrook
