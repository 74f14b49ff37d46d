// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A page of the exercise sheet laid out without a painter: what the page
// shows goes in, with the figures of sheet_layout.h and the font's measures
// (handed in by whoever paints); the boxes to draw and the texts to write in
// them come out, in millimetres from the top left of the area inside the
// margins. The painter draws what this returns and decides nothing.

#include <string>
#include <vector>

#include "export/sheet_layout.h"

namespace numbrook {

// What one page shows, from the top down.
struct PageText {
    std::string title;               // "口算练习" or "答案"
    std::string header;              // the header table's one line
    std::string teacherLine;         // the blanks for name, class, time and score
    std::vector<std::string> cells;  // the grid's cells row by row; missing ones are empty
};

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
enum class TextAlign { TopCentre, TopLeft, MiddleLeft };

struct PlacedText {
    BoxMm box;
    std::string text;
    FontSpec font;
    TextAlign align;
};

struct PageBoxes {
    std::vector<BoxMm> borders;  // drawn with the layout's border width
    std::vector<PlacedText> texts;
};

// The page's boxes. The grid's font is made smaller for the whole page
// where a text would not fit on one line of its cell.
PageBoxes layOutPage(const PageText& page, const FontMeasure& measure,
                     const SheetLayout& layout = kSheetLayout);

}  // namespace numbrook
