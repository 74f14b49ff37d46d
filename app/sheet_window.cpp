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
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

#include "app/preset_file.h"
#include "app/window_look.h"
#include "export/builtin/print_job.h"
#include "export/document_host.h"

namespace numbrook {

namespace {

// The size the window asks for where the screen has room.
constexpr QSize kWantedSize(1100, 720);

const QString kSettingsGroup = QStringLiteral("sheets");
// The teacher's own presets, each a name and the options as the settings keep them.
const QString kOwnPresets = QStringLiteral("sheetPresets");
// The 预设 list's entries: shipped ones by their index, own ones by name.
constexpr int kShippedPreset = 1;
constexpr int kOwnPreset = 2;

// A number box for an option: any number of up to three digits may be
// typed, so that one beyond the option's range is shown and refused in the
// total line instead of cut silently; the arrows stay within the range.
class OptionSpinBox final : public QSpinBox {
public:
    OptionSpinBox(const NumberOption& option, QWidget* parent) : QSpinBox(parent), option_(option)
    {
        setRange(0, 999);
        setValue(option.fallback);
    }

    void stepBy(int steps) override
    {
        setValue(std::clamp(value() + steps, option_.min, option_.max));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (value() > option_.min)
            enabled |= StepDownEnabled;
        if (value() < option_.max)
            enabled |= StepUpEnabled;
        return enabled;
    }

private:
    const NumberOption& option_;
};

}  // namespace

SheetWindows::SheetWindows(SheetWindowServices services, std::function<void(SheetWindow&)> whenMade)
    : services_(services), whenMade_(std::move(whenMade))
{
}

SheetWindows::~SheetWindows()
{
    delete window_;  // it uses the services, which end with this
}

SheetWindow* SheetWindows::open(QWidget* over)
{
    if (!window_) {
        window_ = new SheetWindow(services_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the drill window still ends the program.
        window_->setAttribute(Qt::WA_QuitOnClose, over == nullptr);
        if (whenMade_)
            whenMade_(*window_);
        placeOnScreen(*window_, kWantedSize, over);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    return window_;
}

SheetWindow::SheetWindow(SheetWindowServices services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      boxes_(services.boxes),
      previewPrinter_(new QPrinter(QPrinter::HighResolution))
{
    services_.random.reseedFrom(services_.clock);
    buildControls();
    services_.settings.beginGroup(kSettingsGroup);
    options_ = readSheetOptions([this](const std::string& name) -> std::optional<std::string> {
        const QVariant value = services_.settings.value(QString::fromStdString(name));
        if (!value.isValid())
            return std::nullopt;
        // "types=0, 8" reads as a list.
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QLatin1Char(',')).toStdString();
        return value.toString().toStdString();
    });
    services_.settings.endGroup();
    showOptions(options_);
    fillPresets();
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
    // The program's own colours, as the drill window has them, whatever the
    // desktop's theme; set before the controls inherit them.
    setPalette(classicPalette());

    // The list of types scrolls where the screen is low; the options, the
    // buttons below it and the status line stay in view.
    auto* panel = new QWidget(this);
    // The presets: choosing one sets the types, counts, form and page.
    auto* presetLine = new QHBoxLayout;
    presets_ = new QComboBox(panel);
    presets_->setObjectName(QStringLiteral("Presets"));
    presets_->setToolTip(
        QStringLiteral("按教材单元预设题型、题数、形式和纸张方向，或自己保存的预设"));
    presets_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    presets_->setMinimumContentsLength(12);
    connect(presets_, &QComboBox::activated, this, &SheetWindow::applyPreset);
    auto* savePreset = new QPushButton(QStringLiteral("保存为预设…"), panel);
    savePreset->setObjectName(QStringLiteral("SavePresetButton"));
    connect(savePreset, &QPushButton::clicked, this, &SheetWindow::savePresetAs);
    deletePreset_ = new QPushButton(QStringLiteral("删除"), panel);
    deletePreset_->setObjectName(QStringLiteral("DeletePresetButton"));
    deletePreset_->setToolTip(QStringLiteral("删除自己保存的这个预设"));
    connect(deletePreset_, &QPushButton::clicked, this, &SheetWindow::deletePreset);
    presetLine->addWidget(new QLabel(QStringLiteral("预设"), panel));
    presetLine->addWidget(presets_, 1);
    presetLine->addWidget(savePreset);
    presetLine->addWidget(deletePreset_);
    typesBox_ = new QGroupBox(QStringLiteral("题型与每份题数"), panel);
    auto* list = new QWidget;
    auto* grid = new QGridLayout(list);
    for (int type = 0; type < kTypeCount; ++type) {
        auto* box = new QCheckBox(QString::fromUtf8(problemType(type).caption), list);
        box->setObjectName(QStringLiteral("Type(%1)").arg(type));
        auto* count = new OptionSpinBox(kTypeCountOption, list);
        count->setObjectName(QStringLiteral("Count(%1)").arg(type));
        count->setSuffix(QStringLiteral(" 题"));
        count->setAccessibleName(QString::fromUtf8(problemType(type).caption) +
                                 QStringLiteral("的题数"));
        grid->addWidget(box, type, 0);
        grid->addWidget(count, type, 1);
        connect(box, &QCheckBox::toggled, this, [this] { optionsChanged(); });
        connect(count, &QSpinBox::valueChanged, this, [this] { optionsChanged(); });
        typeBoxes_[static_cast<size_t>(type)] = box;
        counts_[static_cast<size_t>(type)] = count;
    }
    QScrollArea* types = scrollingList(list, typesBox_);
    total_ = new QLabel(typesBox_);
    total_->setObjectName(QStringLiteral("TotalLabel"));
    total_->setWordWrap(true);
    auto* typesLayout = new QVBoxLayout(typesBox_);
    typesLayout->addWidget(types, 1);
    typesLayout->addWidget(total_);

    optionsBox_ = new QGroupBox(QStringLiteral("选项"), panel);
    auto* form = new QFormLayout(optionsBox_);
    noRepeats_ = new QCheckBox(QStringLiteral("不重复"), optionsBox_);
    noRepeats_->setObjectName(QStringLiteral("NoRepeats"));
    noRepeats_->setToolTip(QStringLiteral("同一份里，一种题型的题全部出过一遍之前不再重复"));
    form->addRow(noRepeats_);
    form_ = new QComboBox(optionsBox_);
    form_->setObjectName(QStringLiteral("Form"));
    for (const FormName& f : kFormNames)
        form_->addItem(QString::fromUtf8(f.caption), static_cast<int>(f.form));
    form->addRow(QStringLiteral("形式"), form_);
    copies_ = new OptionSpinBox(kCopiesOption, optionsBox_);
    copies_->setObjectName(QStringLiteral("Copies"));
    copies_->setSuffix(QStringLiteral(" 份"));
    copies_->setToolTip(QStringLiteral("%1份，每份各自抽题，编号01、02……，答案的编号与之相同")
                            .arg(QString::fromStdString(kCopiesOption.range())));
    form->addRow(QStringLiteral("份数"), copies_);
    title_ = new QLineEdit(optionsBox_);
    title_->setObjectName(QStringLiteral("Title"));
    title_->setMaxLength(kTitleOption.maxCharacters);
    title_->setPlaceholderText(QString::fromUtf8(kTitleOption.fallback));
    title_->setToolTip(QStringLiteral("如“一年级（2）班 口算练习”"));
    form->addRow(QStringLiteral("标题"), title_);
    orientation_ = new QComboBox(optionsBox_);
    orientation_->setObjectName(QStringLiteral("Orientation"));
    for (int i = 0; i < static_cast<int>(std::size(kOrientationNames)); ++i)
        orientation_->addItem(QString::fromUtf8(kOrientationNames[i].caption), i);
    orientation_->setToolTip(
        QStringLiteral("自动：每份%1题以内纵向，以上横向").arg(kMaxPortraitProblems));
    columns_ = new QComboBox(optionsBox_);
    columns_->setObjectName(QStringLiteral("Columns"));
    columns_->addItem(QStringLiteral("自动分列"), kAutomaticColumns);
    for (int n = kColumnsOption.min; n <= kColumnsOption.max; ++n)
        columns_->addItem(QStringLiteral("%1列").arg(n), n);
    columns_->setToolTip(QStringLiteral("每行几题；自动：按题数和题目长短，字尽量大"));
    auto* page = new QHBoxLayout;
    page->addWidget(orientation_);
    page->addWidget(columns_);
    form->addRow(QStringLiteral("纸张"), page);
    keysPerPage_ = new QComboBox(optionsBox_);
    keysPerPage_->setObjectName(QStringLiteral("KeysPerPage"));
    for (int n = kKeysPerPageOption.min; n <= kKeysPerPageOption.max; ++n) {
        if (kKeysPerPageOption.accepts(n))
            keysPerPage_->addItem(
                n == 1 ? QStringLiteral("每页1份") : QStringLiteral("每页%1份（合页）").arg(n), n);
    }
    keysPerPage_->setToolTip(QStringLiteral("几份练习纸的答案印在一页上，各标编号"));
    form->addRow(QStringLiteral("答案"), keysPerPage_);
    timeLimit_ = new QSpinBox(optionsBox_);
    timeLimit_->setObjectName(QStringLiteral("TimeLimit"));
    timeLimit_->setRange(kTimeLimitOption.besides, kTimeLimitOption.max);
    timeLimit_->setSpecialValueText(QStringLiteral("不填"));
    timeLimit_->setSuffix(QStringLiteral(" 分钟"));
    timeLimit_->setToolTip(QStringLiteral("表头的“限时____分钟”；不填则留空由老师手写"));
    form->addRow(QStringLiteral("限时"), timeLimit_);
    connect(noRepeats_, &QCheckBox::toggled, this, [this] { optionsChanged(); });
    connect(form_, &QComboBox::currentIndexChanged, this, [this] { optionsChanged(); });
    connect(copies_, &QSpinBox::valueChanged, this, [this] { optionsChanged(); });
    connect(title_, &QLineEdit::textChanged, this, [this] { optionsChanged(); });
    for (QComboBox* box : {orientation_, columns_, keysPerPage_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { optionsChanged(); });
    connect(timeLimit_, &QSpinBox::valueChanged, this, [this] { optionsChanged(); });

    const auto button = [this](const QString& text, const QString& name, QWidget* parent) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(name);
        return b;
    };
    newDraw_ = button(QStringLiteral("换一批"), QStringLiteral("NewDrawButton"), panel);
    newDraw_->setToolTip(QStringLiteral("同样的选项，重新抽题（F5）"));
    connect(newDraw_, &QPushButton::clicked, this, &SheetWindow::newDraw);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addLayout(presetLine);
    panelLayout->addWidget(typesBox_, 1);
    panelLayout->addWidget(optionsBox_);
    panelLayout->addWidget(newDraw_);
    sidePanel_ = panel;
    sidePanel_->setObjectName(QStringLiteral("SidePanel"));

    // An export's own sheets: the options above are set aside until the
    // teacher turns back to them.
    exportNote_ = new QWidget(this);
    exportNote_->setObjectName(QStringLiteral("ExportNote"));
    auto* noteLayout = new QHBoxLayout(exportNote_);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    auto* noteText = new QLabel(QStringLiteral("本次导出的练习纸"), exportNote_);
    noteText->setObjectName(QStringLiteral("ExportNoteLabel"));
    noteText->setToolTip(QStringLiteral("预览的是刚导出的练习纸，下面的选项暂不适用"));
    QFont bold = noteText->font();
    bold.setBold(true);
    noteText->setFont(bold);
    QPushButton* own =
        button(QStringLiteral("改为自选"), QStringLiteral("OwnOptionsButton"), exportNote_);
    own->setToolTip(QStringLiteral("按下面的选项出题"));
    connect(own, &QPushButton::clicked, this, &SheetWindow::useOwnOptions);
    noteLayout->addWidget(noteText, 1);
    noteLayout->addWidget(own);
    exportNote_->hide();

    withKeys_ = new QCheckBox(QStringLiteral("打印时附答案"), this);
    withKeys_->setObjectName(QStringLiteral("WithKeys"));
    withKeys_->setToolTip(QStringLiteral("先印全部练习纸，再印全部答案"));
    connect(withKeys_, &QCheckBox::toggled, this, [this] {
        options_.withKeys = withKeys_->isChecked();
        if (!loading_ && sheetOptionsProblem(options_).empty())
            saveSettings();
    });
    print_ = button(QStringLiteral("打印…"), QStringLiteral("PrintButton"), this);
    savePdf_ = button(QStringLiteral("保存为PDF…"), QStringLiteral("SavePdfButton"), this);
    QPushButton* close = button(QStringLiteral("关闭"), QStringLiteral("CloseButton"), this);
    print_->setToolTip(QStringLiteral("Ctrl+P"));
    savePdf_->setToolTip(QStringLiteral("Ctrl+S"));
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
    side->addWidget(exportNote_);
    side->addWidget(sidePanel_, 1);
    side->addWidget(withKeys_);
    side->addWidget(print_);
    side->addWidget(savePdf_);
    side->addWidget(close);

    previewPrinter_->setPageLayout(builtin::sheetPageLayout());
    preview_ = new QPrintPreviewWidget(previewPrinter_, this);
    preview_->setObjectName(QStringLiteral("SheetPreview"));
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->setZoomMode(QPrintPreviewWidget::FitToWidth);
    preview_->setMinimumSize(200, 150);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        builtin::renderPages(*printer, pages(SetPages::SheetsThenKeys));
    });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, [this] {
        pageCount_->setText(!holdsSheets() ? QString()
                                           : QStringLiteral("%1份练习纸和答案，共%2页")
                                                 .arg(std::max<size_t>(set_.size(), 1))
                                                 .arg(preview_->pageCount()));
        emit previewUpdated();
    });
    pageCount_ = new QLabel(this);
    pageCount_->setObjectName(QStringLiteral("PageCountLabel"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* statusLine = new QHBoxLayout;
    statusLine->addWidget(pageCount_);
    statusLine->addWidget(status_, 1, Qt::AlignRight);
    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addLayout(statusLine);

    auto* whole = new QHBoxLayout(this);
    whole->addLayout(side);
    whole->addLayout(right, 1);
    resize(kWantedSize);
}

void SheetWindow::showOptions(const SheetOptions& o)
{
    loading_ = true;
    for (size_t i = 0; i < typeBoxes_.size(); ++i) {
        typeBoxes_[i]->setChecked(o.ticked[i]);
        counts_[i]->setValue(o.counts[i]);
    }
    noRepeats_->setChecked(o.noRepeats);
    form_->setCurrentIndex(form_->findData(static_cast<int>(o.form)));
    copies_->setValue(o.copies);
    withKeys_->setChecked(o.withKeys);
    title_->setText(QString::fromStdString(o.page.title));
    orientation_->setCurrentIndex(0);
    for (int i = 0; i < static_cast<int>(std::size(kOrientationNames)); ++i) {
        if (kOrientationNames[i].orientation == o.page.orientation)
            orientation_->setCurrentIndex(i);
    }
    columns_->setCurrentIndex(std::max(0, columns_->findData(o.page.columns)));
    keysPerPage_->setCurrentIndex(std::max(0, keysPerPage_->findData(o.page.keysPerPage)));
    timeLimit_->setValue(o.page.timeLimit);
    loading_ = false;
}

SheetOptions SheetWindow::readControls() const
{
    SheetOptions o;
    for (size_t i = 0; i < typeBoxes_.size(); ++i) {
        o.ticked[i] = typeBoxes_[i]->isChecked();
        o.counts[i] = counts_[i]->value();
    }
    o.noRepeats = noRepeats_->isChecked();
    o.form = static_cast<ProblemForm>(form_->currentData().toInt());
    o.copies = copies_->value();
    o.withKeys = withKeys_->isChecked();
    // An empty title: the default one, shown greyed in the box.
    const QString title = title_->text().trimmed();
    o.page.title = title.isEmpty() ? kTitleOption.fallback : title.toStdString();
    o.page.orientation = kOrientationNames[std::max(0, orientation_->currentIndex())].orientation;
    o.page.columns = columns_->currentData().toInt();
    o.page.keysPerPage = keysPerPage_->currentData().toInt();
    o.page.timeLimit = timeLimit_->value();
    return o;
}

void SheetWindow::saveSettings() const
{
    QSettings& s = services_.settings;
    s.beginGroup(kSettingsGroup);
    for (const auto& [name, value] : sheetOptionSettings(options_))
        s.setValue(QString::fromStdString(name), QString::fromStdString(value));
    s.endGroup();
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

void SheetWindow::showSheets(const builtin::ShownSheets& sheets)
{
    set_.clear();
    exportPages_ = sheets.pages;
    // The export's sheet goes by the number the export gave it, and today.
    exportJobName_ = sheets.jobName;
    const std::string title = "口算练习";
    exportFileName_ =
        sheetFileName(services_.clock.now(), exportJobName_.size() > title.size()
                                                 ? exportJobName_.substr(title.size() + 1)
                                                 : std::string());
    fromExport_ = true;
    exportNote_->show();
    sidePanel_->setEnabled(false);
    setStatus({});
    showSet();
}

void SheetWindow::useOwnOptions()
{
    optionsChanged();
}

void SheetWindow::updateTotal(const std::string& problem)
{
    QString text = QStringLiteral("每份合计：%1题").arg(problemsPerSheet(drawOptions(options_)));
    if (!problem.empty())
        text += QStringLiteral("（%1）").arg(QString::fromStdString(problem));
    total_->setText(text);
    total_->setStyleSheet(problem.empty() ? QString() : QStringLiteral("color: #b00000"));
    for (size_t i = 0; i < typeBoxes_.size(); ++i)
        counts_[i]->setEnabled(typeBoxes_[i]->isChecked());
    newDraw_->setEnabled(problem.empty());
}

void SheetWindow::optionsChanged()
{
    if (loading_)
        return;
    // Any change of an option turns back from an export's sheets to the
    // options' own set.
    fromExport_ = false;
    exportPages_.clear();
    exportNote_->hide();
    sidePanel_->setEnabled(true);
    SheetOptions before = options_;
    options_ = readControls();
    const std::string problem = sheetOptionsProblem(options_);
    // Only a set that can be drawn is remembered.
    if (problem.empty())
        saveSettings();
    updateTotal(problem);
    // Only the page changed: the same problems laid out anew.
    before.page = options_.page;
    if (problem.empty() && before == options_ && !set_.empty()) {
        showSet();
    } else if (problem.empty()) {
        newDraw();
    } else {
        set_.clear();
        setStatus(QStringLiteral("未出题：%1").arg(QString::fromStdString(problem)), true);
        showSet();
    }
}

void SheetWindow::newDraw()
{
    if (fromExport_ || !sheetOptionsProblem(options_).empty())
        return;
    set_ = drawClassSet(drawOptions(options_), services_.random, services_.clock.now());
    setStatus({});
    showSet();
}

void SheetWindow::showSet()
{
    print_->setEnabled(holdsSheets());
    savePdf_->setEnabled(holdsSheets());
    newDraw_->setEnabled(!fromExport_ && sheetOptionsProblem(options_).empty());
    // The preview's pages upright or across as the sheets are.
    const std::vector<PageText> shown = pages(SetPages::SheetsOnly);
    previewPrinter_->setPageLayout(shown.empty() ? builtin::sheetPageLayout()
                                                 : builtin::pageLayoutOf(shown.front()));
    preview_->updatePreview();
    preview_->setCurrentPage(1);
    setWindowTitle(!holdsSheets()
                       ? QStringLiteral("练习纸")
                       : QStringLiteral("练习纸 - ") +
                             QFileInfo(QString::fromStdString(fileName())).completeBaseName());
}

std::vector<PageText> SheetWindow::pages(SetPages which) const
{
    if (!set_.empty())
        return classSetPages(set_, which, options_.page);
    if (which == SetPages::SheetsOnly && !exportPages_.empty())
        return {exportPages_.front()};
    return exportPages_;
}

std::string SheetWindow::jobName() const
{
    return set_.empty() ? exportJobName_ : classSetJobName(set_);
}

std::string SheetWindow::fileName() const
{
    return set_.empty() ? exportFileName_ : classSetFileName(set_);
}

int SheetWindow::pageCount() const
{
    return holdsSheets() ? preview_->pageCount() : 0;
}

void SheetWindow::setStatus(const QString& text, bool failed)
{
    status_->setText(text);
    status_->setStyleSheet(failed ? QStringLiteral("color: #b00000") : QString());
}

QString SheetWindow::suggestedPdfPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(QString::fromStdString(fileName()));
}

WriteResult SheetWindow::savePdf(const QString& path)
{
    return builtin::writePagesPdf(path, pages(SetPages::SheetsThenKeys));
}

void SheetWindow::savePdfAs()
{
    if (!holdsSheets())
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

std::vector<PageText> SheetWindow::printedPages() const
{
    return pages(withKeys_->isChecked() ? SetPages::SheetsThenKeys : SetPages::SheetsOnly);
}

void SheetWindow::printSet()
{
    if (!holdsSheets())
        return;
    const std::vector<PageText> pages = printedPages();
    const int last = static_cast<int>(pages.size());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(builtin::pageLayoutOf(pages.front()));
    printer.setDocName(QString::fromStdString(jobName()));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, last);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 1;
    int to = last;
    if (printer.printRange() == QPrinter::PageRange) {
        first = std::clamp(printer.fromPage(), 1, last);
        to = std::clamp(printer.toPage(), first, last);
    }
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // The dialog's "print to file": the pages into the file it names.
        const std::vector<PageText> chosen(pages.begin() + (first - 1), pages.begin() + to);
        const QString file = QDir::toNativeSeparators(printer.outputFileName());
        if (builtin::renderPages(printer, chosen) && printer.printerState() != QPrinter::Error) {
            setStatus(QStringLiteral("已打印到文件%1").arg(file));
        } else {
            setStatus(QStringLiteral("打印失败"), true);
            boxes_.show("打印失败：无法写入" + file.toStdString(), "提示！", Buttons::Ok);
        }
        return;
    }
    submitPrint(printer.printerName().toStdString(), printer.copyCount(), first, to);
}

void SheetWindow::fillPresets()
{
    presets_->clear();
    presets_->addItem(QStringLiteral("（选择预设）"));
    try {
        shipped_ = shippedPresets();
    } catch (const PresetError& e) {
        shipped_.clear();
        setStatus(QString::fromStdString(e.what()), true);
    }
    for (size_t i = 0; i < shipped_.size(); ++i)
        presets_->addItem(QString::fromStdString(shipped_[i].name),
                          QVariantList{kShippedPreset, static_cast<int>(i)});
    const auto own = ownPresets();
    if (!own.empty() && !shipped_.empty())
        presets_->insertSeparator(presets_->count());
    for (const auto& [name, options] : own)
        presets_->addItem(name, QVariantList{kOwnPreset, name});
    deletePreset_->setEnabled(false);
}

void SheetWindow::applyPreset(int index)
{
    const QVariantList entry = presets_->itemData(index).toList();
    deletePreset_->setEnabled(entry.size() == 2 && entry[0].toInt() == kOwnPreset);
    if (entry.size() != 2)
        return;
    SheetOptions o = options_;
    if (entry[0].toInt() == kShippedPreset) {
        const Preset& preset = shipped_.at(static_cast<size_t>(entry[1].toInt()));
        for (size_t type = 0; type < o.ticked.size(); ++type) {
            o.ticked[type] = preset.options.perType[type] > 0;
            if (o.ticked[type])
                o.counts[type] = preset.options.perType[type];
        }
        o.form = preset.options.form;
        o.page.orientation = preset.page;
    } else {
        for (const auto& [name, options] : ownPresets()) {
            if (name == entry[1].toString())
                o = options;
        }
    }
    showOptions(o);
    optionsChanged();
}

bool SheetWindow::choosePreset(const QString& name)
{
    const int index = presets_->findText(name);
    if (index < 1)
        return false;
    presets_->setCurrentIndex(index);
    applyPreset(index);
    return true;
}

std::vector<std::pair<QString, SheetOptions>> SheetWindow::ownPresets() const
{
    std::vector<std::pair<QString, SheetOptions>> presets;
    QSettings& s = services_.settings;
    const int n = s.beginReadArray(kOwnPresets);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        const QString name = s.value(QStringLiteral("name")).toString().trimmed();
        if (name.isEmpty())
            continue;
        presets.emplace_back(
            name, readSheetOptions([&s](const std::string& key) -> std::optional<std::string> {
                const QVariant value = s.value(QString::fromStdString(key));
                if (!value.isValid())
                    return std::nullopt;
                if (value.typeId() == QMetaType::QStringList)
                    return value.toStringList().join(QLatin1Char(',')).toStdString();
                return value.toString().toStdString();
            }));
    }
    s.endArray();
    return presets;
}

void SheetWindow::writeOwnPresets(
    const std::vector<std::pair<QString, SheetOptions>>& presets) const
{
    QSettings& s = services_.settings;
    s.remove(kOwnPresets);
    s.beginWriteArray(kOwnPresets, static_cast<int>(presets.size()));
    for (int i = 0; i < static_cast<int>(presets.size()); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("name"), presets[static_cast<size_t>(i)].first);
        for (const auto& [key, value] : sheetOptionSettings(presets[static_cast<size_t>(i)].second))
            s.setValue(QString::fromStdString(key), QString::fromStdString(value));
    }
    s.endArray();
}

bool SheetWindow::savePreset(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || !sheetOptionsProblem(options_).empty())
        return false;
    auto presets = ownPresets();
    std::erase_if(presets, [&](const auto& p) { return p.first == trimmed; });
    presets.emplace_back(trimmed, options_);
    writeOwnPresets(presets);
    fillPresets();
    presets_->setCurrentIndex(presets_->findText(trimmed));
    deletePreset_->setEnabled(true);
    setStatus(QStringLiteral("已保存预设“%1”").arg(trimmed));
    return true;
}

void SheetWindow::savePresetAs()
{
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("保存为预设"), QStringLiteral("预设的名称："),
                              QLineEdit::Normal, QString(), &ok);
    if (ok)
        savePreset(name);
}

void SheetWindow::deletePreset()
{
    const QVariantList entry = presets_->currentData().toList();
    if (entry.size() != 2 || entry[0].toInt() != kOwnPreset)
        return;
    auto presets = ownPresets();
    std::erase_if(presets, [&](const auto& p) { return p.first == entry[1].toString(); });
    writeOwnPresets(presets);
    fillPresets();
    setStatus(QStringLiteral("已删除预设“%1”").arg(entry[1].toString()));
}

int SheetWindow::submitPrint(const std::string& printer, int copies, int first, int last)
{
    const std::vector<PageText> pages = printedPages();
    if (!holdsSheets() || first < 1 || last < first || last > static_cast<int>(pages.size()))
        return 0;
    const std::vector<PageText> chosen(pages.begin() + (first - 1), pages.begin() + last);
    const std::string jobName = this->jobName();
    // Rendered in memory and handed to the print server as it is, as the
    // built-in export prints its sheet: the server's answer tells at once
    // whether the job was taken.
    std::string failure;
    builtin::SubmittedJob job;
    const QByteArray pdf = builtin::pdfOf(chosen, QString::fromStdString(jobName));
    if (pdf.isEmpty())
        failure = "无法生成打印内容";
    if (failure.empty()) {
        try {
            job = builtin::submitPdfToPrinter(pdf.toStdString(), jobName, printer, copies);
        } catch (const HostError& error) {
            failure = error.what();
        }
    }
    if (!failure.empty()) {
        setStatus(QStringLiteral("打印失败"), true);
        boxes_.show("打印失败：" + failure, "提示！", Buttons::Ok);
        return 0;
    }
    setStatus(QStringLiteral("已送往打印机%1：%2，%3页×%4份（作业%5）")
                  .arg(QString::fromStdString(printer.empty() ? std::string("（默认）") : printer),
                       QString::fromStdString(jobName))
                  .arg(last - first + 1)
                  .arg(copies)
                  .arg(job.id));
    // Taken, but waiting in the queue: nothing is lost, the teacher is told.
    if (const std::string notice = builtin::waitNotice(job.wait); !notice.empty())
        boxes_.show(notice, "提示！", Buttons::Ok);
    return job.id;
}

}  // namespace numbrook
