// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The document host built into the program: the exercise sheet laid out
// with Qt's own painting (sheet_layout.h), printed on the system's default
// printer or handed to the window that shows them. Nothing outside the program
// runs, so "a word processor is already running" is never true.
// Runs on the user-interface thread.

#include <functional>
#include <string>

#include <vector>

#include "export/builtin/filled_sheets.h"
#include "export/page_layout.h"
#include "export/document_host.h"

namespace numbrook::builtin {

// What "leave the document open" hands to the window that shows it: the
// problem sheet and the answer sheet as pages, and the name the sheet is
// printed under ("口算练习 编号07"). The window keeps its own copy, which
// outlives the export.
struct ShownSheets {
    std::vector<PageText> pages;
    std::string jobName;
};
using ShowSheets = std::function<void(const ShownSheets&)>;

class BuiltinHost final : public DocumentHost {
public:
    // show: what "leave the document open" does; without it show() fails.
    explicit BuiltinHost(ShowSheets show = {}) : show_(std::move(show)) {}

    bool isInstanceRunning() override { return false; }
    void startInstance() override;
    void open(const std::string& path) override;
    void selectCell(int table, int row, int column) override;
    void typeText(const std::string& text) override;
    void printPages(const std::string& pages) override;
    std::string printNotice() override { return printNotice_; }
    void closeDocument() override;
    void quit() override;
    void show() override;

    // For tests and tools.
    // Prints go to this PDF file instead of the printer; empty: the printer.
    void setPrintFile(const std::string& path) { printFile_ = path; }
    // What has been typed so far, as it is laid out.
    const FilledSheets& sheets() const { return sheets_; }

private:
    void requireDocument(const char* operation) const;

    FilledSheets sheets_;
    bool started_ = false;
    bool documentOpen_ = false;
    int selectedTable_ = 0;
    int selectedRow_ = 0;
    int selectedColumn_ = 0;
    std::string printFile_;
    std::string printNotice_;
    ShowSheets show_;
};

}  // namespace numbrook::builtin
