// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: --help, --version, --sheets=office|builtin,
// --sheet-window, and --make-sheets with the options of a class set; read
// before the window system is opened, so that every answer (the usage, an
// error) comes without a display too. Nothing of it is stored.

#include <QStringList>

#include <string>

#include "app/host_choice.h"
#include "app/preset_file.h"
#include "generator/sheet_set.h"

namespace numbrook {

struct CommandLine {
    enum class Action {
        Run,          // open the window
        SheetWindow,  // open the sheet window alone
        MakeSheets,   // write the class set `sheetSet` to `pdfPath`, without a window
        Practice,     // open the practice window alone (for `pupil`, if given)
        RecordsCsv,   // write the attempts (of `pupil`, or all) to `csvPath`, without a window
        Help,         // print `output` on standard output, exit 0
        Version,      // print `output` on standard output, exit 0
        UsageError,   // print `output` on standard error, exit 2
        ListPresets,  // print `output` (the presets' names) on standard output, exit 0
        Failure,      // print `output` on standard error, exit 1
    };
    Action action = Action::Run;
    SheetsHost sheets = SheetsHost::Automatic;
    std::string output;        // UTF-8, ends in a line feed
    SheetSetOptions sheetSet;  // MakeSheets
    SheetPageOptions sheetPage;  // MakeSheets: the title, orientation, columns, keys a page
    std::string pdfPath;       // MakeSheets
    std::string csvPath;       // RecordsCsv
    std::string pupil;         // Practice, RecordsCsv: empty for none
};

inline constexpr int kUsageExitStatus = 2;

// Reads the whole command line; the first argument is the program's name.
// Qt's own options (-platform, -style …) are let through for the
// application object to take. The usage is wrapped at helpWidth columns.
// presets gives the presets for --preset and --list-presets, called only
// when one of them is given; a PresetError it throws makes a Failure.
using PresetSource = std::vector<Preset> (*)();
CommandLine parseCommandLine(const QStringList& arguments, int helpWidth = 80,
                             PresetSource presets = shippedPresets);

// The columns of a terminal that a text takes: two for a wide (CJK)
// character, one for any other.
int displayWidth(const QString& text);

// text broken into lines of at most width columns (where no single word is
// wider), every line after the first indented by indent blanks. Breaks at
// blanks, and between two wide characters unless the second is closing
// punctuation.
QString wrapText(const QString& text, int width, int indent);

// The columns of the terminal on standard output; 80 when it is none.
int terminalWidth();

// The one line, ending in a line feed, that says the window system can't be
// opened; display and wayland are the environment's DISPLAY and
// WAYLAND_DISPLAY (null when unset).
std::string noDisplayText(const char* display, const char* wayland);

}  // namespace numbrook
