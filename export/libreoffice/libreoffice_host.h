// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

// The host's code is built with hidden visibility; the interface and its
// error type stay visible so that the program can catch what the module throws.
#pragma GCC visibility push(default)
#include "export/document_host.h"
#pragma GCC visibility pop

namespace numbrook {

// The document host on LibreOffice Writer: starts a private, hidden
// soffice with a profile of its own, drives it over a UNO pipe connection
// and ends it again. Every UNO failure comes out as HostError; every call
// has a deadline, and an office that misses it is ended.
// Unless the instance was shown, the destructor leaves no process behind,
// and neither does this program's death: the instance runs under a keeper
// that ends it then (see office::startKept, kept_office.h).
class LibreOfficeHost final : public DocumentHost {
public:
    struct Options {
        // LibreOffice's program folder (holding soffice); empty: the one built against.
        std::string programFolder;
        // How long a start may take before it counts as failed.
        int startTimeoutMs = 60000;
        // How long any other call may take, and a print: an office that
        // misses the deadline has stopped answering and is ended.
        int callTimeoutMs = 20000;
        int printTimeoutMs = 60000;
    };

    LibreOfficeHost();
    explicit LibreOfficeHost(Options options);
    ~LibreOfficeHost() override;
    LibreOfficeHost(const LibreOfficeHost&) = delete;
    LibreOfficeHost& operator=(const LibreOfficeHost&) = delete;

    // Throws HostError (NotInstalled) unless the office is installed with a
    // Writer that can load the exercise document's type. Reads files only.
    void requireWriter() const;

    bool isInstanceRunning() override;
    void startInstance() override;
    void open(const std::string& path) override;
    void selectCell(int table, int row, int column) override;
    void typeText(const std::string& text) override;
    void printPages(const std::string& pages) override;
    void closeDocument() override;
    void quit() override;
    void show() override;

    // ---- for tests and tools (libreoffice_host_inspection.cpp) ----
    // Looks into the instance and its open document; the program itself
    // only uses the DocumentHost operations above.
    struct TableShape {
        int rows = 0;
        int columns = 0;
        int firstPage = 0;  // page of the first cell
        int lastPage = 0;   // page of the last cell
    };
    // Prints go to this file (PostScript or PDF, as the office makes it)
    // instead of the printer; empty: the printer.
    void setPrintFile(const std::string& path);
    // The process id of the started instance's keeper (its group's leader), or -1.
    pid_t instancePid() const;
    // The instance's private profile folder, or empty.
    std::string profileFolder() const;
    // Where the open document is stored: empty while it is untitled.
    std::string documentLocation();
    // The text of a cell, read back from the open document.
    std::string cellText(int table, int row, int column);
    // The document's tables in document order, with their pages in the layout.
    std::vector<TableShape> tableShapes();
    int pageCount();
    // Whether a cell's text stands on one line in the layout.
    bool cellTextOnOneLine(int table, int row, int column);
    // Saves a PDF copy of the open document.
    void exportPdf(const std::string& path);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace numbrook
