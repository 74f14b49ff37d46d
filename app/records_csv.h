// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// numbrook --records-csv FILE [--pupil NAME]: the practice records, one
// attempt a line, written as CSV without a window and without a display.

#include "app/command_line.h"

namespace numbrook {

// Writes the file; prints what went wrong on standard error. The exit
// status: 0 written, 1 not.
int writeRecordsCsv(int& argc, char** argv, const CommandLine& line);

}  // namespace numbrook
