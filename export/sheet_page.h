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

// The sheet's problems under the teacher's header (the title, the blanks
// for name, class, time and score, the time limit, the sheet's number and
// date), laid out for the problems on it.
PageText problemPage(const Sheet& sheet, const SheetPageOptions& options = {});
// The keys of one sheet or of several on one page (options.keysPerPage):
// each sheet's number and every problem with its answer, in the sheet's order.
PageText keyPage(const std::vector<const Sheet*>& sheets, const SheetPageOptions& options = {});
PageText keyPage(const Sheet& sheet, const SheetPageOptions& options = {});

// "姓名：________　班级：______　用时：______　得分：______　限时____分钟", the
// limit written in where it is given.
std::string teacherLine(int timeLimit);

enum class SetPages {
    SheetsThenKeys,  // every problem sheet, then the keys, in the same order
    SheetsOnly,
};
std::vector<PageText> classSetPages(const std::vector<Sheet>& set, SetPages which,
                                    const SheetPageOptions& options = {});

// "口算练习-<date>-编号<nn>.pdf" for one sheet, "…-编号01-40.pdf" for a set of 40.
std::string classSetFileName(const std::vector<Sheet>& set);
// The same name for sheets made on `day` and numbered as `numbers` says
// ("编号07"; empty: no number).
std::string sheetFileName(const LocalTime& day, const std::string& numbers);
// The print job: "口算练习 编号07", or "口算练习 编号01-40" for a set.
std::string classSetJobName(const std::vector<Sheet>& set);

}  // namespace numbrook
