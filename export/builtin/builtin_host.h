// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The document host built into the program: the exercise sheet laid out
// with Qt's own painting (sheet_layout.h), printed on the system's default
// printer or shown in a print-preview window. Nothing outside the program
// runs, so "a word processor is already running" is never true.
// Runs on the user-interface thread.

#include <QPointer>

#include <string>

#include "export/builtin/filled_sheets.h"
#include "export/builtin/sheet_preview.h"
#include "export/document_host.h"

namespace numbrook::builtin {

class BuiltinHost final : public DocumentHost {
public:
    BuiltinHost() = default;

    bool isInstanceRunning() override { return false; }
    void startInstance() override;
    void open(const std::string& path) override;
    void selectCell(int table, int row, int column) override;
    void typeText(const std::string& text) override;
    void printPages(const std::string& pages) override;
    void closeDocument() override;
    void quit() override;
    void show() override;

    // For tests and tools.
    // Prints go to this PDF file instead of the printer; empty: the printer.
    void setPrintFile(const std::string& path) { printFile_ = path; }
    // What has been typed so far, as it is laid out.
    const FilledSheets& sheets() const { return sheets_; }
    // The preview window that show() opened, while it is open.
    SheetPreviewWindow* previewWindow() const { return preview_; }

private:
    void requireDocument(const char* operation) const;

    FilledSheets sheets_;
    bool started_ = false;
    bool documentOpen_ = false;
    int selectedTable_ = 0;
    int selectedRow_ = 0;
    int selectedColumn_ = 0;
    std::string printFile_;
    QPointer<SheetPreviewWindow> preview_;
};

}  // namespace numbrook::builtin
