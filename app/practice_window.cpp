// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/practice_window.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/practice_figures.h"
#include "app/window_look.h"
#include "generator/problem_text.h"
#include "practice/answer.h"
#include "practice/mistake_book.h"
#include "records/records_store.h"

namespace numbrook {

namespace {

constexpr int kMinProblems = 10;
constexpr int kDefaultCount = 10;
constexpr int kBookPage = 100;  // problems of the 错题本 in one practice
enum Page { ChoicePage, PracticePage, EndPage };

QPointer<PracticeWindow>& theWindow()
{
    static QPointer<PracticeWindow> window;
    return window;
}

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString secondsEach(int64_t ms, int n)
{
    return n == 0 ? QStringLiteral("—")
                  : QString::number(static_cast<double>(ms) / 1000.0 / n, 'f', 1);
}

QTableWidget* table(QWidget* parent, const QString& name, const QStringList& headers)
{
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    t->horizontalHeader()->setMinimumSectionSize(72);
    return t;
}

void addRow(QTableWidget* t, const QStringList& cells)
{
    const int row = t->rowCount();
    t->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(Qt::AlignCenter);
        t->setItem(row, c, item);
    }
}

}  // namespace

PracticeWindow* PracticeWindow::open(PracticeServices services, QWidget* over)
{
    QPointer<PracticeWindow>& window = theWindow();
    if (!window) {
        window = new PracticeWindow(services);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setAttribute(Qt::WA_QuitOnClose, over == nullptr);
        if (over != nullptr) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(over->frameGeometry().center());
            if (const QScreen* screen = over->screen()) {
                const QRect room = screen->availableGeometry();
                frame.moveTopLeft(
                    QPoint(std::max(frame.left(), room.left()), std::max(frame.top(), room.top())));
            }
            window->move(frame.topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

PracticeWindow::PracticeWindow(PracticeServices services, QWidget* parent)
    : QWidget(parent), services_(services)
{
    setObjectName(QStringLiteral("PracticeWindow"));
    setWindowTitle(QStringLiteral("口算练习"));
    setPalette(classicPalette());
    setAutoFillBackground(true);
    services_.random.reseedFrom(services_.clock);

    pages_ = new QStackedWidget(this);
    auto* choice = new QWidget(pages_);
    auto* practice = new QWidget(pages_);
    auto* end = new QWidget(pages_);
    buildChoice(choice);
    buildPractice(practice);
    buildEnd(end);
    pages_->addWidget(choice);
    pages_->addWidget(practice);
    pages_->addWidget(end);
    recordsLabel = new QLabel(this);
    recordsLabel->setObjectName(QStringLiteral("RecordsLabel"));
    recordsLabel->setWordWrap(true);
    QPalette red = recordsLabel->palette();
    red.setColor(QPalette::WindowText, QColor(0xc0, 0, 0));
    recordsLabel->setPalette(red);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(recordsLabel);

    wrongTimer_ = new QTimer(this);
    wrongTimer_->setSingleShot(true);
    connect(wrongTimer_, &QTimer::timeout, this, &PracticeWindow::afterWrong);
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(200);
    connect(clockTimer_, &QTimer::timeout, this, &PracticeWindow::tickTime);

    loadSettings();
    choiceChanged();
    pupilChanged();
    showRecordsError();
    // The voice is looked for now, and the check box waits for it.
    speechChanged();
    speakBox->setToolTip(QStringLiteral("正在查找中文语音…"));
    services_.speaker.findVoice([window = QPointer<PracticeWindow>(this)](bool found) {
        if (!window)
            return;
        window->voiceKnown_ = true;
        window->speakBox->setToolTip(
            found ? QStringLiteral("用普通话读出每道题")
                  : QStringLiteral("请安装 speech-dispatcher-espeak-ng 以朗读题目"));
        window->speechChanged();
    });
    resize(QSize(960, 660).boundedTo(screen() ? screen()->availableGeometry().size() - QSize(40, 80)
                                              : QSize(960, 660)));
    if (!services_.records.setAsidePath().isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            services_.boxes.show("练习记录文件无法读取，已改名保存为\n" +
                                     services_.records.setAsidePath().toStdString() +
                                     "\n并新建了记录文件。",
                                 "练习记录", Buttons::Ok);
        });
    }
}

PracticeWindow::~PracticeWindow() = default;

void PracticeWindow::buildChoice(QWidget* page)
{
    pupilBox = new QComboBox(page);
    pupilBox->setObjectName(QStringLiteral("PupilBox"));
    pupilBox->setEditable(true);
    pupilBox->setInsertPolicy(QComboBox::NoInsert);
    pupilBox->lineEdit()->setObjectName(QStringLiteral("PupilName"));
    pupilBox->lineEdit()->setPlaceholderText(QStringLiteral("输入姓名"));
    pupilBox->setAccessibleName(QStringLiteral("姓名"));
    pupilBox->setMinimumWidth(220);
    for (const std::string& name : services_.records.pupils())
        pupilBox->addItem(fromUtf8(name));
    connect(pupilBox->lineEdit(), &QLineEdit::returnPressed, this, &PracticeWindow::start);
    pupilBox->lineEdit()->setMaxLength(32);
    connect(pupilBox, &QComboBox::currentTextChanged, this, [this] { pupilChanged(); });

    auto* what = new QGroupBox(QStringLiteral("练什么"), page);
    auto* grid = new QGridLayout(what);
    byTypes = new QRadioButton(QStringLiteral("按题型"), what);
    byTypes->setObjectName(QStringLiteral("ByTypes"));
    fromBook = new QRadioButton(QStringLiteral("错题本"), what);
    fromBook->setObjectName(QStringLiteral("FromBook"));
    byTypes->setChecked(true);
    grid->addWidget(byTypes, 0, 0);
    grid->addWidget(fromBook, 0, 1);
    // The types scroll where the window is low.
    auto* list = new QWidget;
    auto* listGrid = new QGridLayout(list);
    listGrid->setContentsMargins(0, 0, 0, 0);
    for (int type = 0; type < kTypeCount; ++type) {
        const QString caption = QString::fromUtf8(problemType(type).caption);
        auto* box = new QCheckBox(caption, list);
        box->setObjectName(QStringLiteral("Type(%1)").arg(type));
        auto* count = new QSpinBox(list);
        count->setObjectName(QStringLiteral("Count(%1)").arg(type));
        count->setRange(1, kMaxSheetProblems);
        count->setValue(kDefaultCount);
        count->setSuffix(QStringLiteral(" 题"));
        count->setAccessibleName(caption + QStringLiteral("的题数"));
        count->setFixedWidth(count->sizeHint().width() + 24);
        listGrid->addWidget(box, type, 0);
        listGrid->addWidget(count, type, 1);
        connect(box, &QCheckBox::toggled, this, [this] { choiceChanged(); });
        connect(count, &QSpinBox::valueChanged, this, [this] { choiceChanged(); });
        typeBoxes[static_cast<size_t>(type)] = box;
        typeCounts[static_cast<size_t>(type)] = count;
    }
    listGrid->setColumnStretch(0, 1);
    grid->addWidget(scrollingList(list, what), 1, 0, 1, 2);
    totalLabel = new QLabel(what);
    totalLabel->setObjectName(QStringLiteral("TotalLabel"));
    grid->addWidget(totalLabel, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    connect(byTypes, &QRadioButton::toggled, this, [this] { choiceChanged(); });

    auto* how = new QGroupBox(QStringLiteral("练多少"), page);
    auto* howLayout = new QGridLayout(how);
    byCount = new QRadioButton(QStringLiteral("按题数（合计10到100题）"), how);
    byCount->setObjectName(QStringLiteral("ByCount"));
    byTime = new QRadioButton(QStringLiteral("限时"), how);
    byTime->setObjectName(QStringLiteral("ByTime"));
    byCount->setChecked(true);
    minutes = new QSpinBox(how);
    minutes->setObjectName(QStringLiteral("Minutes"));
    minutes->setRange(1, 10);
    minutes->setValue(3);
    minutes->setSuffix(QStringLiteral(" 分钟"));
    minutes->setAccessibleName(QStringLiteral("限时的分钟数"));
    formBox = new QComboBox(how);
    formBox->setObjectName(QStringLiteral("Form"));
    formBox->addItems({QStringLiteral("求得数"), QStringLiteral("填空")});
    formBox->setAccessibleName(QStringLiteral("形式"));
    howLayout->addWidget(byCount, 0, 0, 1, 2);
    howLayout->addWidget(byTime, 1, 0);
    howLayout->addWidget(minutes, 1, 1);
    howLayout->addWidget(new QLabel(QStringLiteral("形式"), how), 2, 0);
    howLayout->addWidget(formBox, 2, 1);
    speakBox = new QCheckBox(QStringLiteral("朗读题目"), how);
    speakBox->setObjectName(QStringLiteral("SpeakBox"));
    speakBox->setEnabled(false);  // until a voice is found
    listenOnlyBox = new QCheckBox(QStringLiteral("只听不看"), how);
    listenOnlyBox->setObjectName(QStringLiteral("ListenOnlyBox"));
    listenOnlyBox->setToolTip(QStringLiteral("题目只读出来，不显示"));
    howLayout->addWidget(speakBox, 3, 0);
    howLayout->addWidget(listenOnlyBox, 3, 1);
    howLayout->setRowStretch(4, 1);
    connect(byTime, &QRadioButton::toggled, this, [this] { choiceChanged(); });
    connect(speakBox, &QCheckBox::toggled, this, [this] { speechChanged(); });

    startButton = new QPushButton(QStringLiteral("开始"), page);
    startButton->setObjectName(QStringLiteral("StartButton"));
    startButton->setDefault(true);
    connect(startButton, &QPushButton::clicked, this, &PracticeWindow::start);

    choiceRecordsButton = new QPushButton(QStringLiteral("记录"), page);
    choiceRecordsButton->setObjectName(QStringLiteral("ChoiceRecordsButton"));
    choiceRecordsButton->setAutoDefault(false);
    connect(choiceRecordsButton, &QPushButton::clicked, this, &PracticeWindow::showRecords);

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("姓名"), page));
    name->addWidget(pupilBox);
    name->addWidget(choiceRecordsButton);
    name->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(what, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(how);
    right->addStretch();
    right->addWidget(startButton);
    middle->addLayout(right, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(name);
    layout->addLayout(middle, 1);
}

void PracticeWindow::buildPractice(QWidget* page)
{
    const auto label = [page](const QString& name) {
        auto* l = new QLabel(page);
        l->setObjectName(name);
        return l;
    };
    progressLabel = label(QStringLiteral("ProgressLabel"));
    scoreLabel = label(QStringLiteral("ScoreLabel"));
    timeLabel = label(QStringLiteral("TimeLabel"));
    problemLabel = label(QStringLiteral("ProblemLabel"));
    problemLabel->setAlignment(Qt::AlignCenter);
    problemLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    correctionLabel = label(QStringLiteral("CorrectionLabel"));
    correctionLabel->setAlignment(Qt::AlignCenter);
    QPalette red = correctionLabel->palette();
    red.setColor(QPalette::WindowText, QColor(0xd0, 0, 0));
    correctionLabel->setPalette(red);

    answerBox = new QLineEdit(page);
    answerBox->setObjectName(QStringLiteral("AnswerBox"));
    answerBox->setAccessibleName(QStringLiteral("答案"));
    answerBox->setAlignment(Qt::AlignCenter);
    answerBox->setMaxLength(16);
    answerBox->installEventFilter(this);
    connect(answerBox, &QLineEdit::returnPressed, this, &PracticeWindow::checkAnswer);

    // The pad: every key leaves the focus in the answer box.
    auto* pad = new QGridLayout;
    const QStringList keys{QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"),
                           QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                           QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("⌫"), QStringLiteral("0"), QStringLiteral("确定")};
    for (int i = 0; i < keys.size(); ++i) {
        auto* b = new QPushButton(keys[i], page);
        const QString name = keys[i] == QStringLiteral("⌫")      ? QStringLiteral("PadBack")
                             : keys[i] == QStringLiteral("确定") ? QStringLiteral("PadOk")
                                                                 : QStringLiteral("Pad") + keys[i];
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumSize(64, 48);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        padKeys_.push_back(b);
        b->setAccessibleName(keys[i] == QStringLiteral("⌫") ? QStringLiteral("退格") : keys[i]);
        connect(b, &QPushButton::clicked, this, [this, key = keys[i]] { typeOnPad(key); });
        pad->addWidget(b, i / 3, i % 3);
    }
    replayButton = new QPushButton(QStringLiteral("再听一遍"), page);
    replayButton->setObjectName(QStringLiteral("ReplayButton"));
    replayButton->setFocusPolicy(Qt::NoFocus);
    connect(replayButton, &QPushButton::clicked, this, [this] {
        if (session_ && !session_->finished() && speaking())
            services_.speaker.say(problemWords(session_->current()));
        answerBox->setFocus();
    });
    auto* endButton = new QPushButton(QStringLiteral("结束"), page);
    endButton->setObjectName(QStringLiteral("EndButton"));
    endButton->setFocusPolicy(Qt::NoFocus);
    connect(endButton, &QPushButton::clicked, this, [this] {
        if (session_)
            session_->endNow();
        finish();
    });

    for (QLabel* l : {progressLabel, scoreLabel, timeLabel}) {
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 1.4);
        l->setFont(f);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(progressLabel);
    top->addStretch();
    top->addWidget(scoreLabel);
    top->addStretch();
    top->addWidget(timeLabel);
    top->addWidget(replayButton);
    top->addWidget(endButton);
    auto* centre = new QVBoxLayout;
    centre->addStretch(1);
    centre->addWidget(problemLabel, 3);
    centre->addWidget(answerBox, 0, Qt::AlignHCenter);
    centre->addWidget(correctionLabel, 1);
    centre->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(centre, 3);
    middle->addLayout(pad, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
}

void PracticeWindow::buildEnd(QWidget* page)
{
    summaryLabel = new QLabel(page);
    summaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    QFont big = summaryLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    summaryLabel->setFont(big);
    typeTable = table(page, QStringLiteral("TypeTable"),
                      {QStringLiteral("题型"), QStringLiteral("题数"), QStringLiteral("对"),
                       QStringLiteral("错"), QStringLiteral("正确率"), QStringLiteral("每题秒数")});
    wrongTable =
        table(page, QStringLiteral("WrongTable"),
              {QStringLiteral("错题"), QStringLiteral("你的答案"), QStringLiteral("正确答案")});
    const auto button = [page](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(name);
        return b;
    };
    retryButton = button(QStringLiteral("错题重练"), QStringLiteral("RetryButton"));
    againButton = button(QStringLiteral("再练一次"), QStringLiteral("AgainButton"));
    recordsButton = button(QStringLiteral("记录"), QStringLiteral("RecordsButton"));
    QPushButton* choose = button(QStringLiteral("换个练法"), QStringLiteral("ChoiceButton"));
    connect(retryButton, &QPushButton::clicked, this, &PracticeWindow::retryMissed);
    connect(againButton, &QPushButton::clicked, this, &PracticeWindow::start);
    connect(recordsButton, &QPushButton::clicked, this, &PracticeWindow::showRecords);
    connect(choose, &QPushButton::clicked, this, [this] { pages_->setCurrentIndex(ChoicePage); });

    auto* tables = new QHBoxLayout;
    tables->addWidget(typeTable, 3);
    tables->addWidget(wrongTable, 2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {retryButton, againButton, recordsButton, choose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(summaryLabel);
    layout->addLayout(tables, 1);
    layout->addLayout(buttons);
}

void PracticeWindow::loadSettings()
{
    QSettings& s = services_.settings;
    s.beginGroup(QStringLiteral("practice"));
    const QString last = s.value(QStringLiteral("pupil")).toString();
    if (!last.isEmpty())
        pupilBox->setCurrentText(last);
    bool any = false;
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t t = static_cast<size_t>(type);
        const int n = s.value(QStringLiteral("count%1").arg(type), 0).toInt();
        typeBoxes[t]->setChecked(n > 0);
        typeCounts[t]->setValue(n > 0 ? n : kDefaultCount);
        any = any || n > 0;
    }
    if (!any)
        typeBoxes[0]->setChecked(true);
    (s.value(QStringLiteral("book")).toBool() ? fromBook : byTypes)->setChecked(true);
    (s.value(QStringLiteral("timed")).toBool() ? byTime : byCount)->setChecked(true);
    minutes->setValue(s.value(QStringLiteral("minutes"), 3).toInt());
    formBox->setCurrentIndex(s.value(QStringLiteral("blank")).toBool() ? 1 : 0);
    speakBox->setChecked(s.value(QStringLiteral("speak")).toBool());
    listenOnlyBox->setChecked(s.value(QStringLiteral("listenOnly")).toBool());
    s.endGroup();
}

void PracticeWindow::saveSettings() const
{
    QSettings& s = services_.settings;
    s.beginGroup(QStringLiteral("practice"));
    s.setValue(QStringLiteral("pupil"), fromUtf8(pupil_));
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t t = static_cast<size_t>(type);
        s.setValue(QStringLiteral("count%1").arg(type),
                   typeBoxes[t]->isChecked() ? typeCounts[t]->value() : 0);
    }
    s.setValue(QStringLiteral("book"), fromBook->isChecked());
    s.setValue(QStringLiteral("timed"), byTime->isChecked());
    s.setValue(QStringLiteral("minutes"), minutes->value());
    s.setValue(QStringLiteral("blank"), formBox->currentIndex() == 1);
    s.setValue(QStringLiteral("speak"), speakBox->isChecked());
    s.setValue(QStringLiteral("listenOnly"), listenOnlyBox->isChecked());
    s.endGroup();
}

std::vector<Problem> PracticeWindow::bookOf(const std::string& pupil) const
{
    std::vector<PastAttempt> history;
    for (const PastRow& row : services_.records.history(pupil))
        history.push_back(
            {row.session, static_cast<PracticeKind>(row.kind), row.problem, row.right, row.ms});
    return mistakeBook(history);
}

void PracticeWindow::pupilChanged()
{
    const std::string name = pupilBox->currentText().trimmed().toStdString();
    const size_t inBook = name.empty() ? 0 : bookOf(name).size();
    fromBook->setText(QStringLiteral("错题本（%1题）").arg(inBook));
}

void PracticeWindow::speechChanged()
{
    speakBox->setEnabled(voiceKnown_ && services_.speaker.available());
    listenOnlyBox->setEnabled(speaking());
}

bool PracticeWindow::speaking() const
{
    return speakBox->isEnabled() && speakBox->isChecked();
}

void PracticeWindow::choiceChanged()
{
    const int total = problemsPerSheet(chosenSet());
    totalLabel->setText(QStringLiteral("合计 %1 题").arg(total));
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t t = static_cast<size_t>(type);
        typeBoxes[t]->setEnabled(byTypes->isChecked());
        typeCounts[t]->setEnabled(byTypes->isChecked() && typeBoxes[t]->isChecked());
    }
    minutes->setEnabled(byTime->isChecked());
}

SheetSetOptions PracticeWindow::chosenSet() const
{
    SheetSetOptions options;
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t t = static_cast<size_t>(type);
        if (typeBoxes[t]->isChecked())
            options.perType[t] = typeCounts[t]->value();
    }
    options.form = formBox->currentIndex() == 1 ? ProblemForm::Blank : ProblemForm::Result;
    options.noRepeats = true;
    return options;
}

std::optional<std::vector<Problem>> PracticeWindow::deal(std::string& what)
{
    const SheetSetOptions options = chosenSet();
    const std::vector<Problem> book = bookOf(pupil_);
    const std::string limit =
        byTime->isChecked() ? "，限时" + std::to_string(minutes->value()) + "分钟" : "";
    if (fromBook->isChecked()) {
        if (book.empty()) {
            services_.boxes.show("错题本里没有题。", "练习", Buttons::Ok);
            return std::nullopt;
        }
        what = "错题本" + limit;
        return dealBook(book, kBookPage, services_.random);
    }
    if (const std::string wrong = optionsProblem(options); !wrong.empty()) {
        services_.boxes.show(wrong, "练习", Buttons::Ok);
        return std::nullopt;
    }
    if (byCount->isChecked() && problemsPerSheet(options) < kMinProblems) {
        services_.boxes.show("题数合计须在10到100之间", "练习", Buttons::Ok);
        return std::nullopt;
    }
    for (int type = 0; type < kTypeCount; ++type) {
        if (const int n = options.perType[static_cast<size_t>(type)]; n > 0)
            what += (what.empty() ? "" : "、") + std::string(problemType(type).caption) + " " +
                    std::to_string(n) + "题";
    }
    what += options.form == ProblemForm::Blank ? "，填空" : "";
    what += limit;
    return dealPractice(options, book, services_.random);
}

void PracticeWindow::start()
{
    const QString name = pupilBox->currentText().trimmed();
    if (name.isEmpty()) {
        services_.boxes.show("请先输入姓名。", "练习", Buttons::Ok);
        pupilBox->setFocus();
        return;
    }
    pupil_ = name.toStdString();
    std::string what;
    auto problems = deal(what);
    if (!problems)
        return;
    saveSettings();
    limitMs_ = byTime->isChecked() ? minutes->value() * 60'000 : 0;
    begin(std::move(*problems), fromBook->isChecked() ? PracticeKind::Book : PracticeKind::Ordinary,
          what);
}

void PracticeWindow::retryMissed()
{
    if (!session_ || session_->missed().empty())
        return;
    limitMs_ = 0;
    begin(session_->missed(), PracticeKind::Retry, "错题重练");
}

void PracticeWindow::begin(std::vector<Problem> problems, PracticeKind kind,
                           const std::string& what)
{
    setWindowTitle(QStringLiteral("练习 - ") + fromUtf8(pupil_));
    session_ = std::make_unique<PracticeSession>(std::move(problems), kind);
    recordsSession_ =
        services_.records.startSession(pupil_, static_cast<int>(kind), what, services_.clock.now());
    pages_->setCurrentIndex(PracticePage);
    replayButton->setVisible(speaking());
    sinceStart_.start();
    clockTimer_->start();
    tickTime();
    showProblem();
}

void PracticeWindow::showProblem()
{
    waiting_ = false;
    correctionLabel->clear();
    answerBox->setReadOnly(false);
    if (session_->finished()) {
        finish();
        return;
    }
    if (limitMs_ > 0 && session_->size() - session_->number() < 5) {
        // Against the clock the problems never run out: another deal follows.
        std::string what;
        if (auto more = deal(what))
            session_->extend(*more);
    }
    const QString text = fromUtf8(problemText(session_->current()));
    const std::string words = problemWords(session_->current());
    // Only heard: out of sight, but still there for a screen reader.
    problemLabel->setText(speaking() && listenOnlyBox->isChecked() ? QStringLiteral("请听题")
                                                                   : text);
    problemLabel->setAccessibleName(text);
    problemLabel->setAccessibleDescription(fromUtf8(words));
    if (speaking())
        services_.speaker.say(words);
    QAccessibleEvent changed(problemLabel, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    progressLabel->setText(
        limitMs_ > 0
            ? QStringLiteral("第 %1 题").arg(session_->number())
            : QStringLiteral("第 %1 题 / 共 %2 题").arg(session_->number()).arg(session_->size()));
    scoreLabel->setText(
        QStringLiteral("对 %1  错 %2").arg(session_->rightCount()).arg(session_->wrongCount()));
    answerBox->clear();
    answerBox->setFocus();
    sinceShown_.start();
}

void PracticeWindow::checkAnswer()
{
    if (!session_ || session_->finished() || pages_->currentIndex() != PracticePage)
        return;
    if (waiting_) {
        afterWrong();
        return;
    }
    if (answerBox->text().trimmed().isEmpty())
        return;  // nothing typed yet
    const std::string typed = answerBox->text().toStdString();
    const Attempt& attempt = session_->answer(typed, static_cast<int>(sinceShown_.elapsed()));
    RecordedAttempt written{attempt.problem, attempt.given, attempt.right, attempt.ms,
                            services_.clock.now()};
    services_.records.addAttempt(recordsSession_, written);
    showRecordsError();
    if (attempt.right) {
        showProblem();
        return;
    }
    scoreLabel->setText(
        QStringLiteral("对 %1  错 %2").arg(session_->rightCount()).arg(session_->wrongCount()));
    correctionLabel->setText(QStringLiteral("正确答案：") + fromUtf8(keyText(attempt.problem)));
    correctionLabel->setAccessibleName(correctionLabel->text());
    answerBox->setReadOnly(true);
    waiting_ = true;
    const int shownMs =
        services_.settings.value(QStringLiteral("practice/wrongShownMs"), kWrongShownMs).toInt();
    wrongTimer_->start(shownMs);
}

void PracticeWindow::afterWrong()
{
    if (!waiting_)
        return;
    wrongTimer_->stop();
    showProblem();
}

void PracticeWindow::typeOnPad(const QString& key)
{
    if (waiting_) {
        afterWrong();
        return;
    }
    if (key == QStringLiteral("确定"))
        checkAnswer();
    else if (key == QStringLiteral("⌫"))
        answerBox->backspace();
    else
        answerBox->insert(key);
    if (pages_->currentIndex() == PracticePage)
        answerBox->setFocus();
}

void PracticeWindow::tickTime()
{
    if (pages_->currentIndex() != PracticePage)
        return;
    const int64_t spent = sinceStart_.elapsed();
    if (limitMs_ > 0) {
        timeLabel->setText(QStringLiteral("剩余 ") +
                           duration(std::max<int64_t>(limitMs_ - spent, 0)));
        if (spent >= limitMs_) {
            session_->endNow();
            finish();
        }
    } else {
        timeLabel->setText(QStringLiteral("用时 ") + duration(spent));
    }
}

void PracticeWindow::finish()
{
    clockTimer_->stop();
    wrongTimer_->stop();
    waiting_ = false;
    if (!session_)
        return;
    const PracticeSession& s = *session_;
    const int n = static_cast<int>(s.attempts().size());
    summaryLabel->setText(QStringLiteral("正确率 %1（%2/%3）    用时 %4    每题 %5 秒")
                              .arg(percent(s.rightCount(), n))
                              .arg(s.rightCount())
                              .arg(n)
                              .arg(duration(s.totalMs()))
                              .arg(secondsEach(s.totalMs(), n)));
    typeTable->setRowCount(0);
    for (const TypeRow& row : s.typeRows()) {
        const int all = row.right + row.wrong;
        addRow(typeTable, {QString::fromUtf8(problemType(row.type).caption), QString::number(all),
                           QString::number(row.right), QString::number(row.wrong),
                           percent(row.right, all), secondsEach(row.ms, all)});
    }
    wrongTable->setRowCount(0);
    for (const Attempt& a : s.wrongAttempts())
        addRow(wrongTable, {fromUtf8(problemText(a.problem)), fromUtf8(a.given),
                            fromUtf8(answerText(a.problem))});
    retryButton->setEnabled(!s.missed().empty());
    pages_->setCurrentIndex(EndPage);
    (s.missed().empty() ? againButton : retryButton)->setFocus();
    pupilChanged();
}

void PracticeWindow::showRecordsError()
{
    const QString error = services_.records.lastError();
    recordsLabel->setText(error.isEmpty() ? QString() : QStringLiteral("练习记录：") + error);
    recordsLabel->setVisible(!error.isEmpty());
}

void PracticeWindow::showRecords()
{
    const std::string name = pages_->currentIndex() == ChoicePage
                                 ? pupilBox->currentText().trimmed().toStdString()
                                 : pupil_;
    if (name.empty()) {
        services_.boxes.show("请先输入姓名。", "练习", Buttons::Ok);
        pupilBox->setFocus();
        return;
    }
    if (recordsWindow && recordsPupil != name) {
        recordsWindow->close();
        recordsWindow = nullptr;  // deleted later, and another pupil's is wanted now
    }
    if (!recordsWindow) {
        recordsWindow = services_.openRecords
                            ? services_.openRecords(services_.boxes, services_.records, name,
                                                    services_.saveAs, this)
                            : nullptr;
        if (!recordsWindow)
            return;
        recordsPupil = name;
        recordsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    recordsWindow->show();
    recordsWindow->raise();
    recordsWindow->activateWindow();
}

void PracticeWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The problem grows with the window; the answer and correction with it.
    const int side = std::min(width() * 3 / 5, height());
    QFont problem = problemLabel->font();
    problem.setPixelSize(std::max(24, side / 6));
    problemLabel->setFont(problem);
    QFont answer = answerBox->font();
    answer.setPixelSize(std::max(18, side / 12));
    answerBox->setFont(answer);
    answerBox->setFixedWidth(answer.pixelSize() * 5);
    QFont correction = correctionLabel->font();
    correction.setPixelSize(std::max(16, side / 14));
    correctionLabel->setFont(correction);
    for (QPushButton* key : padKeys_) {
        QFont f = key->font();
        f.setPixelSize(std::max(14, side / 18));
        key->setFont(f);
    }
}

bool PracticeWindow::eventFilter(QObject* watched, QEvent* event)
{
    // While a correction shows, the next key only moves on.
    if (watched == answerBox && waiting_ && event->type() == QEvent::KeyPress) {
        afterWrong();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PracticeWindow::mousePressEvent(QMouseEvent* event)
{
    if (waiting_)
        afterWrong();
    QWidget::mousePressEvent(event);
}

}  // namespace numbrook
