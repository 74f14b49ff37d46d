// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A page of the exercise sheet laid out without a painter: what the page
// shows goes in, with the figures of sheet_layout.h and the font's measures
// (handed in by whoever paints); the boxes to draw and the texts to write in
// them come out, in millimetres from the top left of the area inside the
// margins. The painter draws what this returns and decides nothing.

#include <optional>
#include <string>
#include <vector>

#include "export/sheet_layout.h"
#include "generator/sheet_set.h"

namespace numbrook {

// One problem on a class set's page.
struct ProblemCell {
    std::string text;         // on one line: "(3)8＋7=", the key's "(3)8＋7=15"
    bool answerRoom = false;  // 求得数: room after the text for the answer
    // 竖式: the numbers one over the other, right-aligned, the sign before
    // the second, under its label "(3)"; empty on one line.
    std::string label;
    std::string top;
    std::string sign;
    std::string bottom;

    bool vertical() const { return !top.empty(); }
};

// The problems of one sheet; a key among several on a page under its number.
struct ProblemBlock {
    std::string heading;  // "编号：07" among several keys; else empty
    std::vector<ProblemCell> cells;
};

// A class set's page, laid out for its problems (kClassSetLayout).
struct FittedPage {
    PageOrientation orientation = PageOrientation::Portrait;
    int columns = kAutomaticColumns;
    bool key = false;             // a key: the smaller font suits it
    std::string title;            // "一年级（2）班 口算练习"
    std::string teacherLine;      // the blanks for name, class, time and score; empty on a key
    std::string numberLine;       // "编号：07　日期：2026-12-08"
    std::vector<ProblemBlock> blocks;  // the sheet's problems, or up to `parts` keys
    int parts = 1;                     // the page's parts: 1, or 2 or 4 keys
};

// What one page shows, from the top down: the exercise document's page, or
// a class set's (fitted).
struct PageText {
    std::string title;               // "口算练习" or "答案"
    std::string header;              // the header table's one line
    std::string teacherLine;         // the blanks for name, class, time and score
    std::vector<std::string> cells;  // the grid's cells row by row; missing ones are empty
    std::optional<FittedPage> fitted;
};

// The orientation a page is printed in: the exercise document's across.
inline PageOrientation orientationOf(const PageText& page)
{
    return page.fitted ? page.fitted->orientation : PageOrientation::Landscape;
}

// A font's measures in millimetres, as the device that paints sets them.
class FontMeasure {
public:
    virtual ~FontMeasure() = default;
    virtual double width(const std::string& text, const FontSpec& font) const = 0;
    virtual double lineHeight(const FontSpec& font) const = 0;
};

struct BoxMm {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double right() const { return x + width; }
    double bottom() const { return y + height; }
};

// Where in its box a text stands; every text is one line.
enum class TextAlign { TopCentre, TopLeft, MiddleLeft, TopRight };

struct PlacedText {
    BoxMm box;
    std::string text;
    FontSpec font;
    TextAlign align;
};

// A straight line across, at y from x for length.
struct RuleMm {
    double x = 0;
    double y = 0;
    double length = 0;
    double widthPt = 0.5;
    bool light = false;  // grey
};

struct PageBoxes {
    std::vector<BoxMm> borders;  // drawn with the layout's border width
    std::vector<PlacedText> texts;
    std::vector<RuleMm> rules;
    // A class set's page: its columns and rows, and the problems' font.
    int columns = 0;
    int rows = 0;
    double problemPt = 0;
};

// The page's boxes. The grid's font is made smaller for the whole page
// where a text would not fit on one line of its cell. A class set's page
// is laid out by layOutFittedPage.
PageBoxes layOutPage(const PageText& page, const FontMeasure& measure,
                     const SheetLayout& layout = kSheetLayout);

// The width and height of a page of that orientation inside its margins.
BoxMm fittedArea(PageOrientation orientation, const ClassSetLayout& layout = kClassSetLayout);

// A class set's page: the header, then each block's problems in columns
// (the page's, or as many as give the largest font), the rows spread over
// the height left; several keys share the page in equal parts.
PageBoxes layOutFittedPage(const FittedPage& page, const FontMeasure& measure,
                           const ClassSetLayout& layout = kClassSetLayout);

}  // namespace numbrook
