// SPDX-License-Identifier: GPL-3.0-or-later
// A page laid out without a painter: every box inside the page, the grid's
// rows and columns where the exercise document has them, a wide text
// shrinking the grid's font; and the document's own figures the same as
// the layout's.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <ostream>
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
        PageText page{kSheetLayout.problemTitle, "口算练习 编号07", kSheetLayout.teacherLine, {}, {}};
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

// A class set's page: problems × orientation × form → the columns, the
// font, every box inside the page, each problem with its room on one line
// of its column, the rows down at least two thirds of the page; the keys
// of several sheets each in its part under its number.
struct FittedCase {
    int problems;
    std::optional<PageOrientation> orientation;
    int columns;  // the teacher's, or 0
    ProblemForm form;
    int keysPerPage;  // 0: the problem page
    PageOrientation expectOrientation;
    int expectColumns;
    double minPt;
    friend void PrintTo(const FittedCase& c, std::ostream* out)
    {
        *out << c.problems << " problems, keys " << c.keysPerPage << ", columns " << c.columns;
    }
};

// As a CJK face measures: a Latin character a little over half an em
// wide, any other an em; lines 1.45 em apart.
class CjkFont final : public FontMeasure {
public:
    double width(const std::string& text, const FontSpec& font) const override
    {
        double ems = 0;
        for (unsigned char c : text)
            ems += c < 0x80 ? 0.55 : (c & 0xC0) == 0xC0 ? 1.0 : 0.0;
        return ems * em(font);
    }
    double lineHeight(const FontSpec& font) const override { return 1.45 * em(font); }

private:
    static double em(const FontSpec& font) { return font.pointSize * 25.4 / 72; }
};

class FittedLayout : public ::testing::TestWithParam<FittedCase> {};

Problem sample(int n, ProblemForm form)
{
    Problem p;  // 8＋7=15, or 38＋27=65
    p.operands = {n % 2 ? 8 : 38, n % 2 ? 7 : 27, 0};
    p.result = p.operands[0] + p.operands[1];
    if (form == ProblemForm::Blank || (form == ProblemForm::Mixed && n % 2))
        p.blank = 1;
    return p;
}

TEST_P(FittedLayout, FillsThePageInsideItsMargins)
{
    const FittedCase c = GetParam();
    std::vector<Sheet> set;
    for (int number = 1; number <= std::max(1, c.keysPerPage); ++number) {
        Sheet sheet{number, {2026, 12, 8, 9, 30, 0, 0}, {}, c.form};
        for (int n = 0; n < c.problems; ++n)
            sheet.problems.push_back(sample(n, c.form));
        set.push_back(sheet);
    }
    SheetPageOptions options;
    options.orientation = c.orientation;
    options.columns = c.columns;
    options.keysPerPage = std::max(1, c.keysPerPage);
    const std::vector<PageText> pages = classSetPages(set, SetPages::SheetsThenKeys, options);
    ASSERT_EQ(pages.size(), set.size() + 1);
    const PageText& page = c.keysPerPage ? pages.back() : pages.front();
    ASSERT_TRUE(page.fitted);
    EXPECT_EQ(orientationOf(page), c.expectOrientation);
    const CjkFont font;
    const PageBoxes boxes = layOutPage(page, font);
    EXPECT_EQ(boxes.columns, c.expectColumns);
    EXPECT_GE(boxes.problemPt, c.minPt);
    const BoxMm area = fittedArea(c.expectOrientation);
    double firstTop = area.height;
    double lastBottom = 0;
    int problems = 0;
    int headings = 0;
    for (const PlacedText& t : boxes.texts) {
        SCOPED_TRACE(t.text);
        EXPECT_GE(t.box.x, -1e-9);
        EXPECT_GE(t.box.y, -1e-9);
        EXPECT_LE(t.box.right(), area.width + 1e-9);
        EXPECT_LE(t.box.bottom(), area.height + 1e-9);
        EXPECT_LE(font.width(t.text, t.font), t.box.width + 1e-9);
        headings += t.text.rfind("编号：", 0) == 0 && t.font.bold;
        if (t.text.rfind("(", 0) != 0)
            continue;
        ++problems;
        EXPECT_DOUBLE_EQ(t.font.pointSize, boxes.problemPt);
        const bool result = !c.keysPerPage && t.text.find("（") == std::string::npos;
        if (result) {  // room for three digits after it
            EXPECT_GE(t.box.width, font.width(t.text + "000", t.font) - 1e-9);
        }
        firstTop = std::min(firstTop, t.box.y);
        lastBottom = std::max(lastBottom, t.box.bottom());
    }
    EXPECT_EQ(problems, c.problems * std::max(1, c.keysPerPage));
    EXPECT_EQ(headings, c.keysPerPage > 1 ? c.keysPerPage : 0);
    if (!c.keysPerPage) {
        EXPECT_GE(lastBottom - firstTop, area.height * 2 / 3);
    }
    for (const RuleMm& r : boxes.rules) {
        EXPECT_GE(r.x, -1e-9);
        EXPECT_LE(r.x + r.length, area.width + 1e-9);
        EXPECT_LE(r.y, area.height + 1e-9);
    }
}

using enum PageOrientation;
INSTANTIATE_TEST_SUITE_P(
    Pages, FittedLayout,
    ::testing::Values(FittedCase{20, {}, 0, ProblemForm::Result, 0, Portrait, 2, 20},
                      FittedCase{30, {}, 0, ProblemForm::Blank, 0, Portrait, 2, 16},
                      FittedCase{50, {}, 0, ProblemForm::Mixed, 0, Portrait, 3, 16},
                      FittedCase{50, {}, 0, ProblemForm::Result, 0, Portrait, 3, 16},
                      FittedCase{51, {}, 0, ProblemForm::Result, 0, Landscape, 10, 9},
                      FittedCase{100, {}, 0, ProblemForm::Result, 0, Landscape, 10, 9},
                      FittedCase{100, Portrait, 6, ProblemForm::Result, 0, Portrait, 6, 7},
                      FittedCase{20, Landscape, 4, ProblemForm::Mixed, 0, Landscape, 4, 16},
                      FittedCase{10, {}, 0, ProblemForm::Result, 0, Portrait, 1, 24},
                      FittedCase{30, {}, 0, ProblemForm::Result, 2, Portrait, 3, 10},
                      FittedCase{100, {}, 0, ProblemForm::Result, 4, Landscape, 7, 4}));

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
