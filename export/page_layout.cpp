// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/page_layout.h"

#include <algorithm>

namespace numbrook {

PageBoxes layOutPage(const PageText& page, const FontMeasure& measure, const SheetLayout& l)
{
    PageBoxes boxes;
    const double width = l.tableWidthMm;
    double y = 0;

    // Title.
    const double titleHeight = measure.lineHeight(l.titleFont);
    boxes.texts.push_back(
        {{0, y, width, titleHeight}, page.title, l.titleFont, TextAlign::TopCentre});
    y += titleHeight + l.titleSpaceBelowMm;

    // Header table: one cell, its text inside the padding.
    const double padding = l.headerPaddingMm;
    const double headerHeight = measure.lineHeight(l.headerFont) + 2 * padding;
    boxes.borders.push_back({0, y, width, headerHeight});
    boxes.texts.push_back({{padding, y + padding, width - 2 * padding, headerHeight - 2 * padding},
                           page.header,
                           l.headerFont,
                           TextAlign::MiddleLeft});
    y += headerHeight;

    // The teacher's line.
    y += l.teacherSpaceAboveMm;
    const double teacherHeight = measure.lineHeight(l.teacherFont);
    boxes.texts.push_back(
        {{0, y, width, teacherHeight}, page.teacherLine, l.teacherFont, TextAlign::TopLeft});
    y += teacherHeight + l.teacherSpaceBelowMm;

    // Grid, in one font that fits its widest text.
    const double column = l.gridColumnMm();
    const double room = column - 2 * l.gridPaddingLeftMm;
    FontSpec font = l.gridFont;
    double widest = 0;
    for (const std::string& cell : page.cells)
        widest = std::max(widest, measure.width(cell, font));
    if (widest > room)
        font.pointSize *= room / widest;
    static const std::string kEmpty;
    for (int r = 0; r < l.gridSide; ++r) {
        for (int c = 0; c < l.gridSide; ++c) {
            const BoxMm cell{c * column, y + r * l.gridRowMm, column, l.gridRowMm};
            boxes.borders.push_back(cell);
            const auto n = static_cast<size_t>(r * l.gridSide + c);
            boxes.texts.push_back(
                {{cell.x + l.gridPaddingLeftMm, cell.y + l.gridPaddingTopMm,
                  cell.width - l.gridPaddingLeftMm, cell.height - l.gridPaddingTopMm},
                 n < page.cells.size() ? page.cells[n] : kEmpty,
                 font,
                 TextAlign::TopLeft});
        }
    }
    return boxes;
}

}  // namespace numbrook
