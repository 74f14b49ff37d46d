// SPDX-License-Identifier: GPL-3.0-or-later
// A page laid out without a painter: every box inside the page, the grid's
// rows and columns where the exercise document has them, a wide text
// shrinking the grid's font; and the document's own figures the same as
// the layout's.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "export/page_layout.h"
#include "export/sheet_page.h"

namespace numbrook {
namespace {

// Every character half a point size wide in millimetres, lines a point size tall.
class EvenFont final : public FontMeasure {
public:
    double width(const std::string& text, const FontSpec& font) const override
    {
        size_t characters = 0;
        for (unsigned char c : text)
            characters += (c & 0xC0) != 0x80;
        return static_cast<double>(characters) * font.pointSize / 2;
    }
    double lineHeight(const FontSpec& font) const override { return font.pointSize * 0.45; }
};

TEST(PageLayout, EveryBoxInsideThePageAndTheGridAsTheDocumentHasIt)
{
    const SheetLayout& l = kSheetLayout;
    const double pageHeight = l.pageHeightMm - 2 * l.marginTopBottomMm;
    for (const char* widest : {"(100)99×9=891", "(100)（　　）×9=891（　　）（　　）（　　）"}) {
        Sheet sheet{7, {2026, 12, 8, 9, 30, 0, 0}, {}};
        PageText page = problemPage(sheet);
        page.cells.assign(kGridCells, "(1)8＋7=");
        page.cells.back() = widest;
        const PageBoxes boxes = layOutPage(page, EvenFont());
        ASSERT_EQ(boxes.borders.size(), 1u + kGridCells);
        for (const BoxMm& b : boxes.borders) {
            EXPECT_GE(b.x, 0);
            EXPECT_GE(b.y, 0);
            EXPECT_LE(b.right(), l.tableWidthMm + 1e-9);
            EXPECT_LE(b.bottom(), pageHeight);
        }
        const BoxMm& firstCell = boxes.borders[1];
        const BoxMm& lastCell = boxes.borders.back();
        EXPECT_DOUBLE_EQ(firstCell.width, l.tableWidthMm / kGridSide);
        EXPECT_DOUBLE_EQ(lastCell.bottom() - firstCell.y, kGridSide * l.gridRowMm);
        // The widest text fits its cell, in the font of the whole grid.
        const PlacedText& last = boxes.texts.back();
        EXPECT_EQ(last.text, widest);
        EXPECT_LE(EvenFont().width(widest, last.font),
                  firstCell.width - 2 * l.gridPaddingLeftMm + 1e-9);
        EXPECT_EQ(boxes.texts[3].font.pointSize, last.font.pointSize);
    }
}

TEST(PageLayout, TheExerciseDocumentIsMadeWithTheLayoutsFigures)
{
    std::ifstream file(NUMBROOK_SOURCE_DIR "/export/document/make_document.py");
    std::stringstream source;
    source << file.rdbuf();
    const std::string text = source.str();
    const auto value = [&text](const std::string& name) {
        std::smatch m;
        const std::regex line("\\n" + name + " = \"?([^\"\\n]+)\"?\\n");
        return std::regex_search(text, m, line) ? m[1].str() : "";
    };
    const SheetLayout& l = kSheetLayout;
    EXPECT_DOUBLE_EQ(std::stod(value("PAGE_WIDTH_CM")) * 10, l.pageWidthMm);
    EXPECT_DOUBLE_EQ(std::stod(value("PAGE_HEIGHT_CM")) * 10, l.pageHeightMm);
    EXPECT_DOUBLE_EQ(std::stod(value("MARGIN_SIDE_CM")) * 10, l.marginSideMm);
    EXPECT_DOUBLE_EQ(std::stod(value("MARGIN_TOP_CM")) * 10, l.marginTopBottomMm);
    EXPECT_DOUBLE_EQ(std::stod(value("GRID_ROW_CM")) * 10, l.gridRowMm);
    EXPECT_EQ(std::stoi(value("GRID_SIDE")), l.gridSide);
    EXPECT_EQ(value("TEACHER_LINE"), l.teacherLine);
    EXPECT_EQ(value("FONT"), l.fontFamily);
}

}  // namespace
}  // namespace numbrook
