// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: --help, --version, --sheets=office|builtin,
// --sheet-window, and --make-sheets with the options of a class set.
// Nothing of it is stored.

#include <QStringList>

#include <string>

#include "app/host_choice.h"
#include "generator/sheet_set.h"

namespace numbrook {

struct CommandLine {
    enum class Action {
        Run,          // open the window
        SheetWindow,  // open the sheet window alone
        MakeSheets,   // write the class set `sheetSet` to `pdfPath`, without a window
        Help,         // print `output` on standard output, exit 0
        Version,      // print `output` on standard output, exit 0
        UsageError,   // print `output` on standard error, exit 2
    };
    Action action = Action::Run;
    SheetsHost sheets = SheetsHost::Automatic;
    std::string output;        // UTF-8, ends in a line feed
    SheetSetOptions sheetSet;  // MakeSheets
    std::string pdfPath;       // MakeSheets
};

inline constexpr int kUsageExitStatus = 2;

// Reads the arguments left after Qt has taken its own (-platform, -style …);
// the first is the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace numbrook
