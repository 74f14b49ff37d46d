// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/page_layout.h"

#include <algorithm>
#include <cmath>

namespace numbrook {

PageBoxes layOutPage(const PageText& page, const FontMeasure& measure, const SheetLayout& l)
{
    if (page.fitted)
        return layOutFittedPage(*page.fitted, measure);
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

namespace numbrook {
namespace {

// The room a problem takes across in a font, without the cell's padding.
struct CellRoom {
    double label = 0;    // 竖式: the label "(3)"
    double sign = 0;     // 竖式: the sign
    double numbers = 0;  // 竖式: the wider number; on one line, the text and the answer's room
    double gap = 0;      // 竖式: a digit's width, between the label and the sign
};

CellRoom roomOf(const ProblemCell& cell, const FontMeasure& m, const FontSpec& font,
                const ClassSetLayout& l)
{
    CellRoom room;
    if (!cell.vertical()) {
        room.numbers = m.width(cell.text, font) + m.width(l.columnGap, font) +
                       (cell.answerRoom ? m.width(l.answerRoom, font) : 0);
        return room;
    }
    room.label = m.width(cell.label, font);
    room.sign = m.width(cell.sign, font);
    room.numbers = std::max(m.width(cell.top, font), m.width(cell.bottom, font));
    room.gap = m.width(l.columnGap, font);
    return room;
}

// The widest room of a block's problems: each part the widest of its kind,
// so that the 竖式 of a block stand in the same columns.
struct BlockRoom {
    CellRoom vertical;
    double line = 0;  // the widest problem on one line, with its answer's room
    bool anyVertical = false;

    double width() const
    {
        const double v = anyVertical ? vertical.label + 2 * vertical.gap + vertical.sign +
                                           vertical.gap / 2 + vertical.numbers
                                     : 0;
        return std::max(v, line);
    }
};

BlockRoom roomOf(const ProblemBlock& block, const FontMeasure& m, const FontSpec& font,
                 const ClassSetLayout& l)
{
    BlockRoom room;
    for (const ProblemCell& cell : block.cells) {
        const CellRoom r = roomOf(cell, m, font, l);
        if (cell.vertical()) {
            room.anyVertical = true;
            room.vertical.label = std::max(room.vertical.label, r.label);
            room.vertical.sign = std::max(room.vertical.sign, r.sign);
            room.vertical.numbers = std::max(room.vertical.numbers, r.numbers);
            room.vertical.gap = r.gap;
        } else {
            room.line = std::max(room.line, r.numbers);
        }
    }
    return room;
}

int rowsFor(int cells, int columns)
{
    return (cells + columns - 1) / columns;
}

// The columns and the font of a block of problems in a box: the font as
// large as fits both ways (up to the cap), for the columns given or for the
// number of columns that gives the largest; every row full wins where its
// font is nearly as large.
struct Fitted {
    int columns;
    double pt;
    BlockRoom room;  // measured at pt
};

Fitted columnsAndFont(const ProblemBlock& block, const BoxMm& box, int given,
                                      bool wholePage, double cap, double lines,
                                      const FontMeasure& m, const ClassSetLayout& l)
{
    const int n = std::max<int>(1, static_cast<int>(block.cells.size()));
    const FontSpec base = l.problemFont;
    const double wide = std::max(roomOf(block, m, base, l).width(), 1e-6);
    const double tall = lines * m.lineHeight(base);
    const auto fontFor = [&](int columns) {
        const double across = box.width / columns - 2 * l.cellPaddingMm;
        const double down = box.height / rowsFor(n, columns);
        return std::min({cap, base.pointSize * across / wide, base.pointSize * down / tall});
    };
    std::vector<std::pair<int, double>> choices;
    if (given != kAutomaticColumns) {
        choices.emplace_back(given, fontFor(given));
    } else if (wholePage && n > l.rowsOfTenFrom && box.width > box.height &&
               fontFor(kGridSide) >= l.rowsOfTenMinPt) {
        // Many problems across the page: rows of ten, as the exercise
        // document has them, while their font stays legible.
        choices.emplace_back(kGridSide, fontFor(kGridSide));
    } else {
        for (int c = 1; c <= std::min(n, l.maxAutomaticColumns); ++c)
            choices.emplace_back(c, fontFor(c));
    }
    auto best = std::max_element(choices.begin(), choices.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    auto chosen = best;
    for (auto c = choices.begin(); c != choices.end(); ++c) {
        if (n % c->first == 0 && c->second >= l.fullRowsShare * best->second &&
            (n % chosen->first != 0 || c->second > chosen->second))
            chosen = c;
    }
    // Worked out in proportion; a real font is measured at that size and
    // the size corrected in proportion again, where its measures don't
    // quite follow, until it fits.
    const int columns = chosen->first;
    double pt = std::floor(std::max(l.minPt, chosen->second) * 10) / 10;
    const double across = box.width / columns - 2 * l.cellPaddingMm;
    const double down = box.height / rowsFor(n, columns);
    BlockRoom room;
    for (FontSpec font = base;;) {
        font.pointSize = pt = std::max(pt, l.minPt);
        room = roomOf(block, m, font, l);
        const double scale = std::min(across / room.width(), down / (lines * m.lineHeight(font)));
        if (scale >= 1 - 1e-9 || pt <= l.minPt)
            break;
        pt = std::floor(pt * std::min(scale, 0.99) * 10) / 10;
    }
    return {columns, pt, room};
}

// A block's problems in the box: cells row by row, the rows spread over the
// box's height with a light line between them.
void layOutBlock(const ProblemBlock& block, BoxMm box, int givenColumns, bool wholePage,
                 bool key, const FontMeasure& m, const ClassSetLayout& l, PageBoxes& boxes)
{
    if (!block.heading.empty()) {
        const double h = m.lineHeight(l.headingFont);
        boxes.texts.push_back(
            {{box.x, box.y, box.width, h}, block.heading, l.headingFont, TextAlign::TopLeft});
        box.y += h + l.lineSpaceMm;
        box.height -= h + l.lineSpaceMm;
    }
    const bool anyVertical = std::any_of(block.cells.begin(), block.cells.end(),
                                         [](const ProblemCell& c) { return c.vertical(); });
    const double lines = anyVertical ? l.verticalLines : l.rowLines;
    const auto [columns, pt, room] = columnsAndFont(block, box, givenColumns, wholePage,
                                                    key ? l.keyMaxPt : l.maxPt, lines, m, l);
    FontSpec font = l.problemFont;
    font.pointSize = pt;
    const int n = static_cast<int>(block.cells.size());
    const int rows = std::max(1, rowsFor(n, columns));
    const double width = box.width / columns;
    const double pitch = box.height / rows;
    const double lh = m.lineHeight(font);
    const double pad = l.cellPaddingMm;
    if (boxes.columns == 0) {
        boxes.columns = columns;
        boxes.rows = rows;
        boxes.problemPt = pt;
    }
    for (int i = 0; i < n; ++i) {
        const ProblemCell& cell = block.cells[static_cast<size_t>(i)];
        const double x = box.x + (i % columns) * width + pad;
        const double y = box.y + (i / columns) * pitch;
        if (!cell.vertical()) {
            // In the middle of its row; at the top beside 竖式.
            const double top = anyVertical ? y + pad : y + (pitch - lh) / 2;
            boxes.texts.push_back({{x, top, width - 2 * pad, lh}, cell.text, font, TextAlign::TopLeft});
            continue;
        }
        const CellRoom& v = room.vertical;
        const double signX = x + v.label + v.gap;
        const double numbers = v.sign + v.gap / 2 + v.numbers;
        const double top = y + pad;
        boxes.texts.push_back({{x, top, v.label, lh}, cell.label, font, TextAlign::TopLeft});
        boxes.texts.push_back({{signX, top, numbers, lh}, cell.top, font, TextAlign::TopRight});
        boxes.texts.push_back({{signX, top + lh, v.sign, lh}, cell.sign, font, TextAlign::TopLeft});
        boxes.texts.push_back(
            {{signX, top + lh, numbers, lh}, cell.bottom, font, TextAlign::TopRight});
        boxes.rules.push_back({signX, top + 2.15 * lh, numbers, l.verticalRulePt, false});
    }
    for (int r = 1; r < rows; ++r)
        boxes.rules.push_back({box.x, box.y + r * pitch, box.width, l.rowRulePt, true});
}

}  // namespace

BoxMm fittedArea(PageOrientation orientation, const ClassSetLayout& l)
{
    const bool portrait = orientation == PageOrientation::Portrait;
    return {0, 0, (portrait ? l.a4ShortMm : l.a4LongMm) - 2 * l.marginSideMm,
            (portrait ? l.a4LongMm : l.a4ShortMm) - 2 * l.marginTopBottomMm};
}

PageBoxes layOutFittedPage(const FittedPage& page, const FontMeasure& m, const ClassSetLayout& l)
{
    PageBoxes boxes;
    const BoxMm area = fittedArea(page.orientation, l);
    const double width = area.width;
    double y = 0;

    const double titleHeight = m.lineHeight(l.titleFont);
    boxes.texts.push_back({{0, y, width, titleHeight}, page.title, l.titleFont, TextAlign::TopCentre});
    y += titleHeight + l.titleSpaceBelowMm;

    // The teacher's blanks on the left, the number and date on the right;
    // on two lines where one would not hold both.
    const double lh = m.lineHeight(l.lineFont);
    if (page.teacherLine.empty()) {
        boxes.texts.push_back(
            {{0, y, width, lh}, page.numberLine, l.lineFont, TextAlign::TopCentre});
    } else {
        boxes.texts.push_back(
            {{0, y, width, lh}, page.teacherLine, l.lineFont, TextAlign::TopLeft});
        const double both = m.width(page.teacherLine, l.lineFont) +
                            m.width(page.numberLine, l.lineFont) + m.width("　　", l.lineFont);
        if (both > width)
            y += lh + l.lineSpaceMm;
        boxes.texts.push_back({{0, y, width, lh}, page.numberLine, l.lineFont, TextAlign::TopRight});
    }
    y += lh + l.ruleSpaceMm;
    boxes.rules.push_back({0, y, width, l.headerRulePt, false});
    y += l.ruleSpaceMm;

    // The problems below; several keys in equal parts, one above the other
    // on an upright page, side by side across, in twos.
    const BoxMm rest{0, y, width, area.height - y};
    const int parts = std::max(1, page.parts);
    int across = 1;
    int down = 1;
    if (parts == 2)
        (page.orientation == PageOrientation::Portrait ? down : across) = 2;
    else if (parts >= 3)
        across = down = 2;
    const double gap = parts > 1 ? l.keyGapMm : 0;
    const double partWidth = (rest.width - (across - 1) * gap) / across;
    const double partHeight = (rest.height - (down - 1) * gap) / down;
    for (size_t i = 0; i < page.blocks.size(); ++i) {
        const int a = static_cast<int>(i) % across;
        const int d = static_cast<int>(i) / across;
        const BoxMm part{rest.x + a * (partWidth + gap), rest.y + d * (partHeight + gap),
                         partWidth, partHeight};
        layOutBlock(page.blocks[i], part, parts > 1 ? kAutomaticColumns : page.columns,
                    parts == 1, page.key, m, l, boxes);
    }
    return boxes;
}

}  // namespace numbrook
