// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pages of a class set: each sheet's problem page and its key, the
// names the set is saved and printed under, all made from the sheets'
// numbers, times and problems.

#include <string>
#include <vector>

#include "export/page_layout.h"
#include "generator/sheet_set.h"

namespace numbrook {

// The sheet's problems, and its key with every answer in place; each
// under the sheet's number and time.
PageText problemPage(const Sheet& sheet);
PageText keyPage(const Sheet& sheet);

enum class SetPages {
    SheetsThenKeys,  // every problem sheet, then every key, in the same order
    SheetsOnly,
};
std::vector<PageText> classSetPages(const std::vector<Sheet>& set, SetPages which);

// "口算练习-<date>-编号<nn>.pdf" for one sheet, "…-编号01-40.pdf" for a set of 40.
std::string classSetFileName(const std::vector<Sheet>& set);
// The same name for sheets made on `day` and numbered as `numbers` says
// ("编号07"; empty: no number).
std::string sheetFileName(const LocalTime& day, const std::string& numbers);
// The print job: "口算练习 编号07", or "口算练习 编号01-40" for a set.
std::string classSetJobName(const std::vector<Sheet>& set);

}  // namespace numbrook
