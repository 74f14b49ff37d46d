// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exercise sheet as the built-in document host lays it out: the same
// page, paragraphs, tables, fonts and borders as the exercise document
// 式题导出.doc (made by export/document/make_document.py), described here
// once. The painter in sheet_renderer.cpp only reads these figures.
//
// Each of the two pages, from the top margin down:
//   title paragraph      "口算练习" or "答案", centred, bold
//   header table         one cell across the width: the header line
//   teacher's line       a paragraph with blanks to fill by hand
//   grid table           10 × 10 cells, "(n)" texts at the top left
// Page 1 is the problem sheet (tables 1 and 2), page 2 the answer sheet
// (tables 3 and 4).

#include "core/exercise_grid.h"

namespace numbrook {

struct FontSpec {
    const char* family;
    double pointSize;
    bool bold;
};

struct SheetLayout {
    // A4 landscape; all lengths in millimetres, line widths in points.
    double pageWidthMm = 297.0;
    double pageHeightMm = 210.0;
    double marginSideMm = 8.0;        // left and right
    double marginTopBottomMm = 10.0;  // top and bottom
    double tableWidthMm = 297.0 - 2 * 8.0;
    double borderPt = 0.5;  // every cell's border, solid black

    // The document's font: a CJK face whose Latin digits are narrow enough
    // for "(100)99×9=891" on one line of a grid cell. The sheets are painted
    // in the program's own copy of it where that is installed (sheet_font.h),
    // so that a PDF's text reads back as written.
    const char* fontFamily = "Noto Sans CJK SC";

    // Title paragraph.
    const char* problemTitle = "口算练习";
    const char* answerTitle = "答案";
    FontSpec titleFont{fontFamily, 16.0, true};
    double titleSpaceBelowMm = 1.5;

    // Header table: one cell, its text vertically centred.
    FontSpec headerFont{fontFamily, 10.5, false};
    double headerPaddingMm = 0.8;

    // The teacher's line, left-aligned, between the header and the grid.
    const char* teacherLine = "姓名：______ 班级：______ 用时：______ 得分：______";
    FontSpec teacherFont{fontFamily, 10.5, false};
    double teacherSpaceAboveMm = 1.0;
    double teacherSpaceBelowMm = 1.0;

    // Grid table: equal columns across the width, fixed row height, texts
    // at the top left of the cell, on one line.
    int gridSide = kGridSide;
    double gridRowMm = 16.0;
    double gridPaddingLeftMm = 0.5;
    double gridPaddingTopMm = 0.5;
    FontSpec gridFont{fontFamily, 10.5, false};

    double gridColumnMm() const { return tableWidthMm / gridSide; }
};

inline constexpr SheetLayout kSheetLayout{};

// A class set's page, laid out for the problems on it (page_layout.h):
// the teacher's header, then the problems in columns with their numbers,
// in the largest font that fits, the rows spread down the page. The
// orientation, the columns and the font come from the problems; these are
// the figures they are worked out from. Lengths in millimetres.
//
//   title                          centred, bold
//   teacher's line    number line  the blanks on the left, 编号 and date on the right
//   ─────────────────────────────  a rule
//   (1)8＋7=         (2)9－3=       rows down to the bottom margin, a light
//   ┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄  line between them
struct ClassSetLayout {
    double a4ShortMm = 210.0;
    double a4LongMm = 297.0;
    double marginSideMm = 8.0;   // left and right, as the exercise document's
    double marginTopBottomMm = 10.0;

    FontSpec titleFont{kSheetLayout.fontFamily, 18.0, true};
    FontSpec lineFont{kSheetLayout.fontFamily, 11.0, false};  // teacher's and number line
    FontSpec headingFont{kSheetLayout.fontFamily, 11.0, true};  // a key's number among several
    double titleSpaceBelowMm = 2.0;
    double lineSpaceMm = 1.5;     // between the header's lines
    double ruleSpaceMm = 3.0;     // above and below the header's rule
    double headerRulePt = 0.6;
    double rowRulePt = 0.3;       // the light line between rows
    double keyGapMm = 6.0;        // between the keys on one page

    // The problems' font: as large as fits, up to maxPt (keyMaxPt on a key).
    FontSpec problemFont{kSheetLayout.fontFamily, 10.0, false};
    double maxPt = 24.0;
    double keyMaxPt = 16.0;
    double minPt = 5.0;
    int maxAutomaticColumns = 10;
    // More problems than this across the page stand in rows of ten where
    // that leaves them at least rowsOfTenMinPt.
    int rowsOfTenFrom = 50;
    double rowsOfTenMinPt = 8.0;
    // A row is at least this many lines tall; a 竖式 this many: two
    // numbers, the rule and the answer below.
    double rowLines = 1.6;
    double verticalLines = 4.6;
    double cellPaddingMm = 0.8;
    // Room left after a 求得数 problem for the answer: three digits.
    const char* answerRoom = "000";
    // Between a problem and the next column, and between a 竖式's label and sign.
    const char* columnGap = "0";
    // The blank of a 填空 problem on a class set's page: wider than the
    // drill's, so that two digits are written in it at any size.
    const char* blank = "（　　　）";
    // A font nearly as large (this share of the largest) with every row full
    // is chosen over the largest with a short last row.
    double fullRowsShare = 0.88;

    double verticalRulePt = 0.8;
};

inline constexpr ClassSetLayout kClassSetLayout{};

}  // namespace numbrook
