// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/sheet_preview.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

#include "export/builtin/sheet_renderer.h"

namespace numbrook::builtin {

namespace {

constexpr int kSheetPages = 2;

void tellFailure(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示！"), text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

}  // namespace

SheetPreviewWindow::SheetPreviewWindow(const FilledSheets& sheets, QWidget* parent)
    : QMainWindow(parent), sheets_(sheets), previewPrinter_(new QPrinter(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("SheetPreviewWindow"));
    previewPrinter_->setPageLayout(sheetPageLayout());
    preview_ = new QPrintPreviewWidget(previewPrinter_, this);
    preview_->setObjectName(QStringLiteral("SheetPreview"));
    preview_->setViewMode(QPrintPreviewWidget::AllPagesView);
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { renderSheets(*printer, sheets_, 1, kSheetPages); });
    setCentralWidget(preview_);

    auto* tools = addToolBar(QStringLiteral("练习纸"));
    tools->setObjectName(QStringLiteral("SheetTools"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto addTool = [&](const QString& text, const QString& name, auto slot) {
        QAction* action = tools->addAction(text);
        connect(action, &QAction::triggered, this, slot);
        tools->widgetForAction(action)->setObjectName(name);
        return action;
    };
    addTool(QStringLiteral("打印…"), QStringLiteral("PrintButton"),
            &SheetPreviewWindow::printSheets)
        ->setShortcut(QKeySequence::Print);
    addTool(QStringLiteral("保存为PDF…"), QStringLiteral("SavePdfButton"),
            &SheetPreviewWindow::savePdfAs)
        ->setShortcut(QKeySequence::Save);
    tools->addSeparator();
    addTool(QStringLiteral("放大"), QStringLiteral("ZoomInButton"), [this] { preview_->zoomIn(); });
    addTool(QStringLiteral("缩小"), QStringLiteral("ZoomOutButton"),
            [this] { preview_->zoomOut(); });
    addTool(QStringLiteral("单页"), QStringLiteral("SinglePageButton"), [this] {
        preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
        preview_->fitToWidth();
    });
    addTool(QStringLiteral("全部页"), QStringLiteral("AllPagesButton"), [this] {
        preview_->setViewMode(QPrintPreviewWidget::AllPagesView);
        preview_->fitInView();
    });
    tools->addSeparator();
    addTool(QStringLiteral("关闭"), QStringLiteral("ClosePreviewButton"), &QWidget::close);

    pageCountLabel_ = new QLabel(this);
    pageCountLabel_->setObjectName(QStringLiteral("PageCountLabel"));
    statusBar()->addWidget(pageCountLabel_);
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, [this] {
        pageCountLabel_->setText(QStringLiteral("共%1页").arg(preview_->pageCount()));
    });

    setWindowTitle(QStringLiteral("练习纸预览 - ") +
                   QFileInfo(suggestedPdfPath()).completeBaseName());
    resize(1000, 720);
}

SheetPreviewWindow::~SheetPreviewWindow()
{
    delete preview_;  // before the printer it paints on
    preview_ = nullptr;
    delete previewPrinter_;
}

int SheetPreviewWindow::pageCount() const
{
    return preview_->pageCount();
}

QString SheetPreviewWindow::suggestedPdfPath() const
{
    // The header ends "日期：yyyy-mm-dd hh:mm:ss编号：nn".
    static const QRegularExpression stamp(
        QStringLiteral("日期：(\\d{4}-\\d{2}-\\d{2}) \\d{2}:\\d{2}:\\d{2}编号：(\\d+)$"));
    const auto match = stamp.match(QString::fromStdString(sheets_.text(1, 1, 1)));
    QString name = QStringLiteral("口算练习");
    if (match.hasMatch()) {
        name += QStringLiteral("-%1-编号%2").arg(match.captured(1), match.captured(2));
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

bool SheetPreviewWindow::savePdf(const QString& path)
{
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("NumbrookV1.6"));
    writer.setTitle(QFileInfo(path).completeBaseName());
    return renderSheets(writer, sheets_, 1, kSheetPages);
}

void SheetPreviewWindow::savePdfAs()
{
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    if (!savePdf(path)) {
        tellFailure(this, QStringLiteral("保存失败：无法写入") + QDir::toNativeSeparators(path));
    }
}

void SheetPreviewWindow::printSheets()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheetPageLayout());
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, kSheetPages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    int first = 1;
    int last = kSheetPages;
    if (printer.printRange() == QPrinter::PageRange) {
        first = std::max(1, printer.fromPage());
        last = std::min(kSheetPages, std::max(first, printer.toPage()));
    }
    if (!renderSheets(printer, sheets_, first, last) || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        tellFailure(this, QStringLiteral("打印失败：") + printer.printerName());
    }
}

}  // namespace numbrook::builtin
