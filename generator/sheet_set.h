// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The problems of a class set of exercise sheets: how many of each type,
// without repeats if asked, as 求得数 or 填空 problems, and a fresh draw for
// every sheet of the set. Plain rules; the sheet window and the command line
// read their options into SheetSetOptions and lay the result out.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "generator/problem_text.h"
#include "generator/problem_types.h"
#include "generator/random_source.h"

namespace numbrook {

inline constexpr int kMaxSheetProblems = 100;  // one sheet's grid
inline constexpr int kMaxSheetCopies = 60;     // sheets in one class set

// What a problem asks for.
enum class ProblemForm {
    Result,  // 求得数: "8＋7=", the key "8＋7=15"
    Blank,   // 填空: one number is blank, "8＋（　　）=15"; the key "8＋7=15"
    Mixed,   // half of each, shuffled
    // 竖式: the + − × of two numbers one over the other, to be worked in
    // columns; the others as 求得数. The key as 求得数's.
    Vertical,
};

struct SheetSetOptions {
    // Problems of each type on a sheet; when all are 0, `count` problems
    // whose types are drawn from `types` as the drill draws them.
    std::array<int, kTypeCount> perType{};
    std::vector<int> types;
    int count = 0;
    bool noRepeats = false;
    ProblemForm form = ProblemForm::Result;
    int copies = 1;  // sheets in the set, each its own draw, numbered from 1
};

// Whether the counts per type are used.
bool hasCounts(const SheetSetOptions& options);
// The number of problems on each sheet.
int problemsPerSheet(const SheetSetOptions& options);
// Empty when the options make a set; else what is wrong, in the words of the
// sheet window and the command line.
std::string optionsProblem(const SheetSetOptions& options);

// A 填空 problem, its blank drawn: one of the numbers before "=", or of a
// division with a remainder the quotient or the remainder.
Problem blankProblem(Problem problem, RandomSource& random);

// The sheets of a set, each a list of problems in order on the sheet. The
// options must be valid (optionsProblem empty).
//  - Counts per type are shuffled over the sheet.
//  - Every problem of a type's pool is equally likely. Without repeats, a
//    sheet deals each type's problems from its shuffled pool and deals the
//    pool again, reshuffled, only when every one has come once.
using SheetProblems = std::vector<Problem>;
std::vector<SheetProblems> drawSheetSet(const SheetSetOptions& options, RandomSource& random);

// How a class set's pages are set: the teacher's title, the page's
// orientation and columns, the keys printed on one page and the time
// limit written in the header.
enum class PageOrientation { Landscape, Portrait };
inline constexpr int kAutomaticColumns = 0;

struct SheetPageOptions {
    std::string title = "口算练习";
    // None: upright up to kMaxPortraitProblems problems a sheet, across above.
    std::optional<PageOrientation> orientation;
    int columns = kAutomaticColumns;  // or 2 to 6, as the teacher sets them
    int keysPerPage = 1;              // 1, 2 or 4
    int timeLimit = 0;                // minutes; 0: a blank to fill in by hand

    friend bool operator==(const SheetPageOptions&, const SheetPageOptions&) = default;
};
inline constexpr int kMaxPortraitProblems = 50;

// The orientation the options give a sheet of `problems` problems.
inline PageOrientation orientationFor(const SheetPageOptions& page, int problems)
{
    if (page.orientation)
        return *page.orientation;
    return problems <= kMaxPortraitProblems ? PageOrientation::Portrait
                                            : PageOrientation::Landscape;
}

// One sheet of a class set: its number (from 1), the time it was made, its
// problems in order and the form they were drawn in. Its key is the same
// problems with every number in place.
struct Sheet {
    int number = 1;
    LocalTime time;
    SheetProblems problems;
    ProblemForm form = ProblemForm::Result;
};

// The sheets of a set drawn by drawSheetSet, numbered from 1, all made at `time`.
std::vector<Sheet> drawClassSet(const SheetSetOptions& options, RandomSource& random,
                                const LocalTime& time);

}  // namespace numbrook
