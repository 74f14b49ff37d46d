// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A class set laid out as the built-in host lays out the exercise sheet:
// each sheet of the set with its answer key, numbered 01, 02 … in both
// headers, and the whole set as pages to print or save.

#include <string>
#include <vector>

#include "core/clock.h"
#include "core/whole_file.h"
#include "export/builtin/filled_sheets.h"
#include "export/builtin/sheet_renderer.h"
#include "generator/sheet_set.h"

class QPagedPaintDevice;
class QString;

namespace numbrook::builtin {

// One sheet and its key, filled as the export fills the exercise document.
FilledSheets fillSheets(const SheetProblems& problems, int number, const LocalTime& time);
// The sheets of a set, numbered from 1, all with one time in their headers.
std::vector<FilledSheets> fillClassSet(const std::vector<SheetProblems>& sheets,
                                       const LocalTime& time);

enum class SetPages {
    SheetsThenKeys,  // every problem sheet, then every key, in the same order
    SheetsOnly,
};
std::vector<SheetPage> classSetPages(const std::vector<FilledSheets>& set, SetPages which);

// Writes the pages to a PDF file whole or not at all (core/whole_file.h);
// when it can't be, the reason says why and a file already there is kept.
WriteResult writeClassSetPdf(const QString& path, const std::vector<FilledSheets>& set,
                             SetPages which = SetPages::SheetsThenKeys);

// The file name a set is offered under: "口算练习-<date>-编号<nn>.pdf" from the
// first sheet's header, "…-编号01-40.pdf" for a set of 40.
QString classSetFileName(const std::vector<FilledSheets>& set);

}  // namespace numbrook::builtin
