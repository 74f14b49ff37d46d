// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts the export writes and the order in which it writes the grids,
// as plain functions of the run's data.

#include <string>
#include <vector>

#include "core/clock.h"
#include "core/exercise_grid.h"

namespace numbrook {

// The author's contact number in both sheet headers.
inline constexpr const char* kAuthorContact = "31415926";

// The four tables of the exercise document, counted in document order.
inline constexpr int kProblemHeaderTable = 1;
inline constexpr int kProblemGridTable = 2;
inline constexpr int kAnswerHeaderTable = 3;
inline constexpr int kAnswerGridTable = 4;

enum class SheetSide { Problems, Answers };

// exportNumber in decimal, with a "0" in front below 10: 0 → "00", 7 → "07", 123 → "123".
std::string sheetNumberText(int exportNumber);
// "yyyy-mm-dd hh:mm:ss", hours on the 24-hour clock.
std::string dateTimeText(const LocalTime& time);
// The header line of a sheet: the title, the contact number, the time and the sheet number.
std::string headerText(SheetSide sheet, const LocalTime& time, int exportNumber);
// The progress caption after cell number n of the 100 grid cells: "n%".
std::string progressText(int cellNumber);
// A grid cell's text: "(" n ")" followed by the problem or answer text.
std::string gridCellText(int cellNumber, const std::string& text);

// One write of the grid walk: either a cell of a grid table or the progress caption.
struct GridStep {
    enum class Kind { Cell, Progress };
    Kind kind = Kind::Cell;
    int table = 0;   // Cell only
    int row = 0;     // Cell only, 1..10
    int column = 0;  // Cell only, 1..10
    std::string text;

    friend bool operator==(const GridStep&, const GridStep&) = default;
};

// Every write of the two grids in order: the problem cells with the progress
// caption after each position's two cells, then the blanking of the cells
// after the last problem with the caption before each position's two cells.
// The texts are indexed 1..problemCount (index 0 unused); problemCount is 1..100.
std::vector<GridStep> gridSteps(const std::vector<std::string>& problemTexts,
                                const std::vector<std::string>& answerTexts, int problemCount);

}  // namespace numbrook
