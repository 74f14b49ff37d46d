// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheet_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace numbrook {

namespace {

constexpr int kDefaultCount = 10;  // a newly ticked type's count

QPointer<SheetWindow>& theWindow()
{
    static QPointer<SheetWindow> window;
    return window;
}

QSettings settings()
{
    return QSettings(QStringLiteral("numbrook"), QStringLiteral("numbrook"));
}

constexpr const char* kFormNames[] = {"result", "blank", "mixed"};

}  // namespace

SheetWindow* SheetWindow::open(const Clock& clock, QWidget* over)
{
    QPointer<SheetWindow>& window = theWindow();
    if (!window) {
        window = new SheetWindow(clock);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the drill window still ends the program.
        window->setAttribute(Qt::WA_QuitOnClose, over == nullptr);
        if (over != nullptr) {
            // Centred over the window it was opened from, inside the screen.
            QRect frame = window->frameGeometry();
            frame.moveCenter(over->frameGeometry().center());
            if (const QScreen* screen = over->screen()) {
                const QRect room = screen->availableGeometry();
                frame.moveLeft(std::clamp(frame.left(), room.left(),
                                          std::max(room.left(), room.right() - frame.width())));
                frame.moveTop(std::clamp(frame.top(), room.top(),
                                         std::max(room.top(), room.bottom() - frame.height())));
            }
            window->move(frame.topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

SheetWindow::SheetWindow(const Clock& clock, QWidget* parent)
    : QWidget(parent),
      clock_(clock),
      boxes_(this),
      previewPrinter_(new QPrinter(QPrinter::HighResolution))
{
    random_.reseedFrom(clock_);
    buildControls();
    loadSettings();
    optionsChanged();
}

SheetWindow::~SheetWindow()
{
    delete preview_;  // before the printer it paints on
    preview_ = nullptr;
    delete previewPrinter_;
}

void SheetWindow::buildControls()
{
    setObjectName(QStringLiteral("SheetWindow"));
    setWindowTitle(QStringLiteral("练习纸"));

    auto* typesBox = new QGroupBox(QStringLiteral("题型与每份题数"), this);
    auto* grid = new QGridLayout(typesBox);
    for (int type = 0; type < kTypeCount; ++type) {
        auto* box = new QCheckBox(QString::fromUtf8(kTypeCaptions[type]), typesBox);
        box->setObjectName(QStringLiteral("Type(%1)").arg(type));
        auto* count = new QSpinBox(typesBox);
        count->setObjectName(QStringLiteral("Count(%1)").arg(type));
        count->setRange(1, kMaxSheetProblems);
        count->setValue(kDefaultCount);
        count->setSuffix(QStringLiteral(" 题"));
        count->setAccessibleName(QString::fromUtf8(kTypeCaptions[type]) + QStringLiteral("的题数"));
        grid->addWidget(box, type, 0);
        grid->addWidget(count, type, 1);
        connect(box, &QCheckBox::toggled, this, [this] { optionsChanged(); });
        connect(count, &QSpinBox::valueChanged, this, [this] { optionsChanged(); });
        typeBoxes_[static_cast<size_t>(type)] = box;
        counts_[static_cast<size_t>(type)] = count;
    }
    total_ = new QLabel(typesBox);
    total_->setObjectName(QStringLiteral("TotalLabel"));
    grid->addWidget(total_, kTypeCount, 0, 1, 2);

    auto* optionsBox = new QGroupBox(QStringLiteral("选项"), this);
    auto* form = new QFormLayout(optionsBox);
    noRepeats_ = new QCheckBox(QStringLiteral("不重复"), optionsBox);
    noRepeats_->setObjectName(QStringLiteral("NoRepeats"));
    noRepeats_->setToolTip(QStringLiteral("同一份里，一种题型的题全部出过一遍之前不再重复"));
    form->addRow(noRepeats_);
    form_ = new QComboBox(optionsBox);
    form_->setObjectName(QStringLiteral("Form"));
    form_->addItems({QStringLiteral("求得数"), QStringLiteral("填空"), QStringLiteral("混合")});
    form->addRow(QStringLiteral("形式"), form_);
    copies_ = new QSpinBox(optionsBox);
    copies_->setObjectName(QStringLiteral("Copies"));
    copies_->setRange(1, kMaxSheetCopies);
    copies_->setSuffix(QStringLiteral(" 份"));
    copies_->setToolTip(QStringLiteral("每份各自抽题，编号01、02……，答案的编号与之相同"));
    form->addRow(QStringLiteral("份数"), copies_);
    withKeys_ = new QCheckBox(QStringLiteral("打印时附答案"), optionsBox);
    withKeys_->setObjectName(QStringLiteral("WithKeys"));
    withKeys_->setToolTip(QStringLiteral("先印全部练习纸，再印全部答案"));
    form->addRow(withKeys_);
    connect(noRepeats_, &QCheckBox::toggled, this, [this] { optionsChanged(); });
    connect(form_, &QComboBox::currentIndexChanged, this, [this] { optionsChanged(); });
    connect(copies_, &QSpinBox::valueChanged, this, [this] { optionsChanged(); });
    connect(withKeys_, &QCheckBox::toggled, this, [this] { saveSettings(); });

    const auto button = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        return b;
    };
    newDraw_ = button(QStringLiteral("换一批"), QStringLiteral("NewDrawButton"));
    print_ = button(QStringLiteral("打印…"), QStringLiteral("PrintButton"));
    savePdf_ = button(QStringLiteral("保存为PDF…"), QStringLiteral("SavePdfButton"));
    QPushButton* close = button(QStringLiteral("关闭"), QStringLiteral("CloseButton"));
    newDraw_->setToolTip(QStringLiteral("同样的选项，重新抽题（F5）"));
    print_->setToolTip(QStringLiteral("Ctrl+P"));
    savePdf_->setToolTip(QStringLiteral("Ctrl+S"));
    connect(newDraw_, &QPushButton::clicked, this, &SheetWindow::newDraw);
    connect(print_, &QPushButton::clicked, this, &SheetWindow::printSet);
    connect(savePdf_, &QPushButton::clicked, this, &SheetWindow::savePdfAs);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    const auto shortcut = [this](QKeySequence keys, QPushButton* target) {
        connect(new QShortcut(keys, this), &QShortcut::activated, target, &QPushButton::click);
    };
    shortcut(QKeySequence::Refresh, newDraw_);
    shortcut(QKeySequence::Print, print_);
    shortcut(QKeySequence::Save, savePdf_);
    shortcut(QKeySequence::Close, close);

    auto* side = new QVBoxLayout;
    side->addWidget(typesBox);
    side->addWidget(optionsBox);
    side->addWidget(newDraw_);
    side->addStretch();
    side->addWidget(print_);
    side->addWidget(savePdf_);
    side->addWidget(close);

    previewPrinter_->setPageLayout(builtin::sheetPageLayout());
    preview_ = new QPrintPreviewWidget(previewPrinter_, this);
    preview_->setObjectName(QStringLiteral("SheetPreview"));
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        builtin::renderPages(*printer,
                             builtin::classSetPages(set_, builtin::SetPages::SheetsThenKeys));
    });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, [this] {
        pageCount_->setText(set_.empty() ? QString()
                                         : QStringLiteral("%1份练习纸和答案，共%2页")
                                               .arg(set_.size())
                                               .arg(preview_->pageCount()));
        emit previewUpdated();
    });
    pageCount_ = new QLabel(this);
    pageCount_->setObjectName(QStringLiteral("PageCountLabel"));
    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addWidget(pageCount_);

    auto* whole = new QHBoxLayout(this);
    whole->addLayout(side);
    whole->addLayout(right, 1);
    resize(1100, 720);
}

void SheetWindow::loadSettings()
{
    loading_ = true;
    QSettings s = settings();
    s.beginGroup(QStringLiteral("sheets"));
    const QStringList ticked = s.value(QStringLiteral("types")).toStringList();
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t i = static_cast<size_t>(type);
        typeBoxes_[i]->setChecked(ticked.contains(QString::number(type)));
        counts_[i]->setValue(s.value(QStringLiteral("count%1").arg(type), kDefaultCount).toInt());
    }
    noRepeats_->setChecked(s.value(QStringLiteral("noRepeats"), true).toBool());
    const QString formName = s.value(QStringLiteral("form")).toString();
    for (int i = 0; i < 3; ++i) {
        if (formName == QLatin1String(kFormNames[i]))
            form_->setCurrentIndex(i);
    }
    copies_->setValue(s.value(QStringLiteral("copies"), 1).toInt());
    withKeys_->setChecked(s.value(QStringLiteral("withKeys"), true).toBool());
    loading_ = false;
}

void SheetWindow::saveSettings() const
{
    if (loading_)
        return;
    QSettings s = settings();
    s.beginGroup(QStringLiteral("sheets"));
    QStringList ticked;
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t i = static_cast<size_t>(type);
        if (typeBoxes_[i]->isChecked())
            ticked << QString::number(type);
        s.setValue(QStringLiteral("count%1").arg(type), counts_[i]->value());
    }
    s.setValue(QStringLiteral("types"), ticked);
    s.setValue(QStringLiteral("noRepeats"), noRepeats_->isChecked());
    s.setValue(QStringLiteral("form"), QLatin1String(kFormNames[form_->currentIndex()]));
    s.setValue(QStringLiteral("copies"), copies_->value());
    s.setValue(QStringLiteral("withKeys"), withKeys_->isChecked());
}

void SheetWindow::tickTypes(const std::vector<int>& types)
{
    if (types.empty())
        return;
    loading_ = true;
    for (int type = 0; type < kTypeCount; ++type)
        typeBoxes_[static_cast<size_t>(type)]->setChecked(
            std::find(types.begin(), types.end(), type) != types.end());
    loading_ = false;
    optionsChanged();
}

void SheetWindow::showSheets(const builtin::FilledSheets& sheets)
{
    set_ = {sheets};
    showSet();
}

SheetSetOptions SheetWindow::options() const
{
    SheetSetOptions o;
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t i = static_cast<size_t>(type);
        if (typeBoxes_[i]->isChecked())
            o.perType[i] = counts_[i]->value();
    }
    o.noRepeats = noRepeats_->isChecked();
    o.form = static_cast<ProblemForm>(form_->currentIndex());
    o.copies = copies_->value();
    return o;
}

void SheetWindow::updateTotal()
{
    const SheetSetOptions o = options();
    const std::string problem = optionsProblem(o);
    QString text = QStringLiteral("每份合计：%1题").arg(problemsPerSheet(o));
    if (!problem.empty())
        text += QStringLiteral("（%1）").arg(QString::fromStdString(problem));
    total_->setText(text);
    total_->setStyleSheet(problem.empty() ? QString() : QStringLiteral("color: #b00000"));
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t i = static_cast<size_t>(type);
        counts_[i]->setEnabled(typeBoxes_[i]->isChecked());
    }
    newDraw_->setEnabled(problem.empty());
}

void SheetWindow::optionsChanged()
{
    if (loading_)
        return;
    saveSettings();
    updateTotal();
    newDraw();
}

void SheetWindow::newDraw()
{
    const SheetSetOptions o = options();
    if (optionsProblem(o).empty())
        set_ = builtin::fillClassSet(drawSheetSet(o, random_), clock_.now());
    else
        set_.clear();
    showSet();
}

void SheetWindow::showSet()
{
    print_->setEnabled(!set_.empty());
    savePdf_->setEnabled(!set_.empty());
    preview_->updatePreview();
    setWindowTitle(set_.empty()
                       ? QStringLiteral("练习纸")
                       : QStringLiteral("练习纸 - ") +
                             QFileInfo(builtin::classSetFileName(set_)).completeBaseName());
}

int SheetWindow::pageCount() const
{
    return set_.empty() ? 0 : preview_->pageCount();
}

QString SheetWindow::suggestedPdfPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(builtin::classSetFileName(set_));
}

WriteResult SheetWindow::savePdf(const QString& path)
{
    return builtin::writeClassSetPdf(path, set_);
}

void SheetWindow::savePdfAs()
{
    if (set_.empty())
        return;
    QFileDialog dialog(this, QStringLiteral("保存为PDF"));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    // Qt's own dialog, the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF文件 (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString suggested = suggestedPdfPath();
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (const WriteResult saved = savePdf(path); !saved.written()) {
        boxes_.show("保存失败：无法写入" + QDir::toNativeSeparators(path).toStdString() + "：" +
                        saved.reason,
                    "提示！", Buttons::Ok);
    }
}

void SheetWindow::printSet()
{
    if (set_.empty())
        return;
    const auto pages =
        builtin::classSetPages(set_, withKeys_->isChecked() ? builtin::SetPages::SheetsThenKeys
                                                            : builtin::SetPages::SheetsOnly);
    const int last = static_cast<int>(pages.size());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(builtin::sheetPageLayout());
    printer.setDocName(QFileInfo(builtin::classSetFileName(set_)).completeBaseName());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, last);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 1;
    int to = last;
    if (printer.printRange() == QPrinter::PageRange) {
        first = std::max(1, printer.fromPage());
        to = std::min(last, std::max(first, printer.toPage()));
    }
    const std::vector<builtin::SheetPage> chosen(pages.begin() + (first - 1), pages.begin() + to);
    if (!builtin::renderPages(printer, chosen) || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        boxes_.show("打印失败：" + printer.printerName().toStdString(), "提示！", Buttons::Ok);
    }
}

}  // namespace numbrook
