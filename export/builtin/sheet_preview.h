// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window in which the built-in host shows the filled sheets: a print
// preview from which the teacher prints any pages or saves a PDF. It owns
// its copy of the sheets; closing it discards them.

#include <QMainWindow>

#include "export/builtin/filled_sheets.h"

class QLabel;
class QPrintPreviewWidget;
class QPrinter;

namespace numbrook::builtin {

class SheetPreviewWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit SheetPreviewWindow(const FilledSheets& sheets, QWidget* parent = nullptr);
    ~SheetPreviewWindow() override;

    // The PDF file name offered by "保存为PDF…": the documents folder,
    // "口算练习-<date>-编号<n>.pdf" from the problem sheet's header.
    QString suggestedPdfPath() const;
    // Writes both sheets to a PDF; false when the file can't be written.
    bool savePdf(const QString& path);
    int pageCount() const;

public slots:
    void printSheets();
    void savePdfAs();

private:
    FilledSheets sheets_;
    QPrinter* previewPrinter_;
    QPrintPreviewWidget* preview_;
    QLabel* pageCountLabel_;
};

}  // namespace numbrook::builtin
