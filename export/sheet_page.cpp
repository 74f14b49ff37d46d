// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/sheet_page.h"

#include <algorithm>
#include <cstdio>

#include "export/export_steps.h"
#include "generator/problem_text.h"

namespace numbrook {
namespace {

std::string dateText(const LocalTime& time)
{
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", time.year, time.month, time.day);
    return date;
}

std::string numberText(const Sheet& sheet)
{
    return "编号：" + sheetNumberText(sheet.number);
}

// "8＋（　　）=15" with the class set's wider blank.
std::string widened(std::string text)
{
    static const std::string narrow = kBlank;
    const std::string wide = kClassSetLayout.blank;
    for (size_t at = text.find(narrow); at != std::string::npos;
         at = text.find(narrow, at + wide.size()))
        text.replace(at, narrow.size(), wide);
    return text;
}

// A problem as its sheet sets it: 竖式 where the form and the problem
// allow it, else on one line.
ProblemCell cellOf(int n, const Problem& problem, bool key, ProblemForm form)
{
    ProblemCell cell;
    cell.text = gridCellText(n, key ? keyText(problem) : widened(problemText(problem)));
    cell.answerRoom = !key && problem.blank == kNoBlank;
    if (const auto vertical = form == ProblemForm::Vertical && !key ? verticalText(problem)
                                                                    : std::nullopt) {
        cell.label = gridCellText(n, "");
        cell.top = vertical->top;
        cell.sign = vertical->sign;
        cell.bottom = vertical->bottom;
    }
    return cell;
}

FittedPage fittedPage(const SheetPageOptions& options, int problems)
{
    FittedPage page;
    page.orientation = orientationFor(options, problems);
    page.columns = options.columns;
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

std::string teacherLine(int timeLimit)
{
    return std::string("姓名：________　班级：______　用时：______　得分：______　限时") +
           (timeLimit > 0 ? std::to_string(timeLimit) : "____") + "分钟";
}

PageText problemPage(const Sheet& sheet, const SheetPageOptions& options)
{
    const int count = static_cast<int>(sheet.problems.size());
    FittedPage page = fittedPage(options, count);
    page.title = options.title;
    page.teacherLine = teacherLine(options.timeLimit);
    page.numberLine = numberText(sheet) + "　日期：" + dateText(sheet.time);
    ProblemBlock block;
    block.cells.reserve(sheet.problems.size());
    int n = 0;
    for (const Problem& problem : sheet.problems)
        block.cells.push_back(cellOf(++n, problem, false, sheet.form));
    page.blocks.push_back(std::move(block));
    PageText text;
    text.title = page.title;
    text.fitted = std::move(page);
    return text;
}

PageText keyPage(const std::vector<const Sheet*>& sheets, const SheetPageOptions& options)
{
    const Sheet& first = *sheets.front();
    FittedPage page = fittedPage(options, static_cast<int>(first.problems.size()));
    page.key = true;
    page.title = options.title + " 答案";
    // Several keys to a page: each under its number.
    page.parts = std::max(1, options.keysPerPage);
    const bool several = page.parts > 1;
    page.numberLine = (several ? "" : numberText(first) + "　") + "日期：" + dateText(first.time);
    for (const Sheet* sheet : sheets) {
        ProblemBlock block;
        if (several)
            block.heading = numberText(*sheet);
        int n = 0;
        for (const Problem& problem : sheet->problems)
            block.cells.push_back(cellOf(++n, problem, true, sheet->form));
        page.blocks.push_back(std::move(block));
    }
    PageText text;
    text.title = page.title;
    text.fitted = std::move(page);
    return text;
}

PageText keyPage(const Sheet& sheet, const SheetPageOptions& options)
{
    return keyPage(std::vector<const Sheet*>{&sheet}, options);
}

std::vector<PageText> classSetPages(const std::vector<Sheet>& set, SetPages which,
                                    const SheetPageOptions& options)
{
    std::vector<PageText> pages;
    pages.reserve(set.size() * 2);
    for (const Sheet& sheet : set)
        pages.push_back(problemPage(sheet, options));
    if (which == SetPages::SheetsThenKeys) {
        const size_t perPage = static_cast<size_t>(std::max(1, options.keysPerPage));
        for (size_t i = 0; i < set.size(); i += perPage) {
            std::vector<const Sheet*> keys;
            for (size_t k = i; k < std::min(set.size(), i + perPage); ++k)
                keys.push_back(&set[k]);
            pages.push_back(keyPage(keys, options));
        }
    }
    return pages;
}

std::string classSetFileName(const std::vector<Sheet>& set)
{
    return set.empty() ? "口算练习.pdf" : sheetFileName(set.front().time, numbers(set));
}

std::string sheetFileName(const LocalTime& day, const std::string& numbers)
{
    return "口算练习-" + dateText(day) + (numbers.empty() ? "" : "-" + numbers) + ".pdf";
}

std::string classSetJobName(const std::vector<Sheet>& set)
{
    return set.empty() ? "口算练习" : "口算练习 " + numbers(set);
}

}  // namespace numbrook
