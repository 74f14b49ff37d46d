// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: --help, --version and --sheets=office|builtin.
// Nothing of it is stored.

#include <QStringList>

#include <string>

#include "app/host_choice.h"

namespace numbrook {

struct CommandLine {
    enum class Action {
        Run,         // open the window
        Help,        // print `output` on standard output, exit 0
        Version,     // print `output` on standard output, exit 0
        UsageError,  // print `output` on standard error, exit 2
    };
    Action action = Action::Run;
    SheetsHost sheets = SheetsHost::Automatic;
    std::string output;  // UTF-8, ends in a line feed
};

inline constexpr int kUsageExitStatus = 2;

// Reads the arguments left after Qt has taken its own (-platform, -style …);
// the first is the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace numbrook
