// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace numbrook {

// Why a document-host operation failed, in the terms the teacher is told.
enum class HostFailure {
    Other,
    NotInstalled,
    DocumentUnusable,
    NotAnswering,  // missed its deadline, and was ended for it
    OfficeEnded,   // ended on its own (crashed, killed) in the middle of the export
    NoPrinter,
    PrintFailed,
    NoTempSpace  // no room in the temporary folder for the office's profile
};

// A failed document-host operation. what() is the technical detail (UTF-8),
// for standard error; failure() picks the short reason the teacher reads.
class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& detail, HostFailure failure = HostFailure::Other)
        : std::runtime_error(detail), failure_(failure)
    {
    }
    HostFailure failure() const noexcept { return failure_; }

private:
    HostFailure failure_;
};

// The word processor as the export drives it. One object drives at most one
// instance that it started itself, with at most one open document.
// Every operation but isInstanceRunning throws HostError on failure.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // True when the user already runs an instance of the word processor.
    virtual bool isInstanceRunning() = 0;
    // Starts a new, hidden instance that only this host drives.
    virtual void startInstance() = 0;
    // Opens the document at an absolute path (UTF-8) for editing.
    virtual void open(const std::string& path) = 0;
    // Makes cell (row, column) of the k-th table of the document, counted
    // from 1 in document order, the selection.
    virtual void selectCell(int table, int row, int column) = 0;
    // Replaces the whole content of the selected cell with text (UTF-8),
    // keeping the cell's formatting.
    virtual void typeText(const std::string& text) = 0;
    // Prints one copy of the listed pages ("1-1", "1-2") on the current printer.
    virtual void printPages(const std::string& pages) = 0;
    // What the teacher should know of the print just made although nothing
    // failed (it waits in a paused queue); empty: nothing.
    virtual std::string printNotice() { return {}; }
    // Closes the document without saving.
    virtual void closeDocument() = 0;
    // Ends the instance that startInstance started.
    virtual void quit() = 0;
    // Shows the instance's window with the document; the instance then
    // belongs to the user and outlives this program.
    virtual void show() = 0;
};

}  // namespace numbrook

// The LibreOffice host lives in a module loaded at run time; this is its
// entry. It throws HostError when LibreOffice can't make the exercise sheets.
extern "C" {
using NumbrookCreateHostFn = numbrook::DocumentHost* (*)();
}
#define NUMBROOK_CREATE_HOST_SYMBOL "numbrook_create_document_host"
