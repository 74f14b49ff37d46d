// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/sheet_page.h"

#include <cstdio>

#include "export/export_steps.h"
#include "generator/problem_text.h"

namespace numbrook {
namespace {

PageText pageOf(const Sheet& sheet, SheetSide side)
{
    const bool key = side == SheetSide::Answers;
    PageText page{key ? kSheetLayout.answerTitle : kSheetLayout.problemTitle,
                  headerText(side, sheet.time, sheet.number),
                  kSheetLayout.teacherLine,
                  {}};
    page.cells.reserve(sheet.problems.size());
    int n = 0;
    for (const Problem& problem : sheet.problems)
        page.cells.push_back(gridCellText(++n, key ? keyText(problem) : problemText(problem)));
    return page;
}

// "编号01", or "编号01-40" for more than one sheet.
std::string numbers(const std::vector<Sheet>& set)
{
    std::string text = "编号" + sheetNumberText(set.front().number);
    if (set.size() > 1)
        text += "-" + sheetNumberText(set.back().number);
    return text;
}

}  // namespace

PageText problemPage(const Sheet& sheet)
{
    return pageOf(sheet, SheetSide::Problems);
}

PageText keyPage(const Sheet& sheet)
{
    return pageOf(sheet, SheetSide::Answers);
}

std::vector<PageText> classSetPages(const std::vector<Sheet>& set, SetPages which)
{
    std::vector<PageText> pages;
    pages.reserve(set.size() * 2);
    for (const Sheet& sheet : set)
        pages.push_back(problemPage(sheet));
    if (which == SetPages::SheetsThenKeys) {
        for (const Sheet& sheet : set)
            pages.push_back(keyPage(sheet));
    }
    return pages;
}

std::string classSetFileName(const std::vector<Sheet>& set)
{
    return set.empty() ? "口算练习.pdf" : sheetFileName(set.front().time, numbers(set));
}

std::string sheetFileName(const LocalTime& day, const std::string& numbers)
{
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
    return std::string("口算练习-") + date + (numbers.empty() ? "" : "-" + numbers) + ".pdf";
}

std::string classSetJobName(const std::vector<Sheet>& set)
{
    return set.empty() ? "口算练习" : "口算练习 " + numbers(set);
}

}  // namespace numbrook
