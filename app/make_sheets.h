// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// numbrook --make-sheets FILE.pdf …: a class set written to a PDF file
// without a window, and without a display.

#include "app/command_line.h"

namespace numbrook {

// Draws the set, lays it out and writes it; prints what went wrong on
// standard error. The exit status: 0 written, 1 not.
int makeSheetsFile(int& argc, char** argv, const CommandLine& line);

}  // namespace numbrook
