// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in document host: its cells, its failures, and the sheets it
// renders, read back from the PDF with poppler's tools.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>
#include <utility>
#include <regex>
#include <string>
#include <vector>

#include "export/builtin/builtin_host.h"
#include "export/sheet_layout.h"
#include "export/builtin/class_set.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/sample_sheets.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;
using builtin::BuiltinHost;
using numbrook::kSheetLayout;

const std::string kProblemHeader = testing::problemHeader("32767");
const std::string kAnswerHeader = testing::answerHeader("32767");

HostFailure failureOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const HostError& error) {
        return error.failure();
    }
    ADD_FAILURE() << "no HostError";
    return HostFailure::Other;
}

TEST(BuiltinHost, NeverSeesAnInstanceRunningAndKeepsTheLastTextOfACell)
{
    BuiltinHost host;
    EXPECT_FALSE(host.isInstanceRunning());
    host.startInstance();
    host.open("/nowhere/式题导出.doc");  // the layout is built in; the file isn't read
    host.selectCell(2, 10, 10);
    host.typeText("(100)9×9=");
    host.typeText(" ");
    EXPECT_EQ(host.sheets().text(2, 10, 10), " ");
    host.selectCell(3, 1, 1);
    host.typeText("答案");
    EXPECT_EQ(host.sheets().text(3, 1, 1), "答案");
    EXPECT_EQ(host.sheets().text(1, 1, 1), "");
    // A new document starts empty.
    host.open("/nowhere/式题导出.doc");
    EXPECT_EQ(host.sheets().text(3, 1, 1), "");
}

TEST(BuiltinHost, RefusesCellsTheDocumentHasNotAndOperationsOutOfOrder)
{
    BuiltinHost host;
    EXPECT_EQ(failureOf([&] { host.open("x"); }), HostFailure::Other) << "open before start";
    host.startInstance();
    EXPECT_EQ(failureOf([&] { host.selectCell(2, 1, 1); }), HostFailure::Other) << "no document";
    host.open("x");
    EXPECT_EQ(failureOf([&] { host.typeText("x"); }), HostFailure::Other) << "nothing selected";
    for (const auto& [t, r, c] : {std::tuple{0, 1, 1},
                                  {5, 1, 1},
                                  {1, 1, 2},
                                  {3, 2, 1},
                                  {2, 0, 1},
                                  {4, 11, 1},
                                  {2, 1, 11}}) {
        EXPECT_EQ(failureOf([&, t = t, r = r, c = c] { host.selectCell(t, r, c); }),
                  HostFailure::DocumentUnusable)
            << t << "," << r << "," << c;
    }
    EXPECT_EQ(failureOf([&] { host.printPages("2-3"); }), HostFailure::PrintFailed);
}

TEST(BuiltinHost, WithoutADefaultPrinterPrintingFailsAsNoPrinter)
{
    // These tests see no print server at all (no_printer_environment.cpp).
    BuiltinHost host;
    host.startInstance();
    host.open("x");
    EXPECT_EQ(failureOf([&] { host.printPages("1-1"); }), HostFailure::NoPrinter);
}

// ---- the rendered sheets -------------------------------------------------------------

struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

std::vector<Word> wordsOf(const std::string& bboxXhtml)
{
    static const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = std::sregex_iterator(bboxXhtml.begin(), bboxXhtml.end(), word);
         it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        words.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return words;
}

std::string unescape(std::string text)
{
    for (const auto& [from, to] : {std::pair{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}}) {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) {
            text.replace(at, std::string(from).size(), to);
        }
    }
    return text;
}

constexpr double kPointsPerMm = 72.0 / 25.4;

// Qt's PDF text map names a glyph by the lowest code point that the font maps
// to it: in the system's CJK face, 口, 用 and 日 read back as the look-alike
// Kangxi radicals (U+2F1D, U+2F64, U+2F47). The sheets' own face leaves those
// out (sheet_font.h); the layout is compared in compatibility form, so that
// it holds in either face, and a class set's text as written.
std::string nfkc(const std::string& text)
{
    return QString::fromStdString(text).normalized(QString::NormalizationForm_KC).toStdString();
}

class RenderedSheets : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testing::havePoppler())
            GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed";
    }

    // 100 problems of the widest kind, two-digit by one-digit products:
    // cell 100 of the answer sheet holds "(100)99×9=891".
    std::string printed(const std::string& pages)
    {
        const std::string pdf = temp.file("sheets-" + pages + ".pdf");
        BuiltinHost host;
        host.setPrintFile(pdf);
        host.startInstance();
        host.open("x");
        host.selectCell(1, 1, 1);
        host.typeText(kProblemHeader);
        host.selectCell(3, 1, 1);
        host.typeText(kAnswerHeader);
        for (int n = 1; n <= 100; ++n) {
            host.selectCell(2, (n - 1) / 10 + 1, (n - 1) % 10 + 1);
            host.typeText(cellText(1, n));
            host.selectCell(4, (n - 1) / 10 + 1, (n - 1) % 10 + 1);
            host.typeText(cellText(2, n));
        }
        host.printPages(pages);
        return pdf;
    }
    static std::string cellText(int page, int n)
    {
        return "(" + std::to_string(n) + ")" +
               (page == 1 ? testing::sampleProblem(n) : testing::sampleAnswer(n));
    }

    testing::TempFolder temp;
};

TEST_F(RenderedSheets, PrintsOnePageOrTwoAsAsked)
{
    EXPECT_EQ(testing::pageCountOf(printed("1-1")), 1);
    EXPECT_EQ(testing::pageCountOf(printed("1-2")), 2);
}

TEST_F(RenderedSheets, EachPageHoldsItsTitleHeaderTeachersLineAndCellsInRowOrder)
{
    const std::string pdf = printed("1-2");
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::string text = nfkc(testing::pdfPageText(pdf, page));
        EXPECT_NE(text.find(nfkc(page == 1 ? kSheetLayout.problemTitle : kSheetLayout.answerTitle)),
                  std::string::npos);
        EXPECT_NE(text.find(nfkc(page == 1 ? kProblemHeader : kAnswerHeader)), std::string::npos)
            << text;
        // pdftotext may widen the gaps between the fields; each field is whole.
        for (const char* field : {"姓名：______", "班级：______", "用时：______", "得分：______"}) {
            EXPECT_NE(text.find(nfkc(field)), std::string::npos) << field;
        }
        size_t at = 0;
        for (int n = 1; n <= 100; ++n) {
            const std::string cell = cellText(page, n);
            const size_t found = text.find(cell, at);
            ASSERT_NE(found, std::string::npos) << cell << " after position " << at << " in\n"
                                                << text;
            at = found + cell.size();
        }
    }
}

TEST_F(RenderedSheets, EveryCellTextStandsWholeOnOneLineInsideItsCell)
{
    const std::string pdf = printed("1-2");
    const double gridLeft = kSheetLayout.marginSideMm * kPointsPerMm;
    const double column = kSheetLayout.gridColumnMm() * kPointsPerMm;
    const double row = kSheetLayout.gridRowMm * kPointsPerMm;
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::vector<Word> words = wordsOf(testing::pdfPageText(pdf, page, "-bbox"));
        std::vector<double> rowTops;
        for (int n = 1; n <= 100; ++n) {
            const std::string cell = cellText(page, n);
            const auto word = std::find_if(words.begin(), words.end(),
                                           [&](const Word& w) { return unescape(w.text) == cell; });
            ASSERT_NE(word, words.end()) << cell << " is not one word on one line";
            const int c = (n - 1) % 10;
            EXPECT_GE(word->xMin, gridLeft + c * column) << cell;
            EXPECT_LE(word->xMax, gridLeft + (c + 1) * column) << cell << " sticks out of its cell";
            EXPECT_LT(word->yMax - word->yMin, row) << cell;
            if (c == 0) {
                rowTops.push_back(word->yMin);
            } else {
                EXPECT_NEAR(word->yMin, rowTops.back(), 0.5) << cell << " on the line of its row";
            }
        }
        for (size_t r = 1; r < rowTops.size(); ++r)
            EXPECT_NEAR(rowTops[r] - rowTops[r - 1], row, 0.5);
        // The last row ends above the bottom margin.
        EXPECT_LT(rowTops.back() + row,
                  (kSheetLayout.pageHeightMm - kSheetLayout.marginTopBottomMm) * kPointsPerMm);
    }
}

TEST_F(RenderedSheets, AClassSetIsWrittenWholeSheetsThenKeysUnderItsNumbers)
{
    const LocalTime time{2026, 12, 5, 19, 8, 5, 0};
    Problem sum;  // 3＋5=8
    sum.operands = {3, 5, 0};
    sum.result = 8;
    Problem product = sum;  // 7×8=56
    product.type = 6;
    product.operands = {7, 8, 0};
    product.operators[0] = Operator::Multiply;
    product.result = 56;
    const std::vector<SheetProblems> problems{{sum}, {product}};
    const std::vector<Sheet> set{{1, time, problems[0]}, {2, time, problems[1]}};
    EXPECT_EQ(classSetFileName(set), "口算练习-2026-12-05-编号01-02.pdf");
    EXPECT_EQ(classSetJobName(set), "口算练习 编号01-02");
    const std::string pdf = temp.file("set.pdf");
    ASSERT_TRUE(builtin::writeClassSetPdf(QString::fromStdString(pdf), set).written());
    // Every sheet, then every key, each under its sheet's number.
    const std::pair<const char*, const char*> pages[] = {{"编号：01", "(1)3＋5="},
                                                         {"编号：02", "(1)7×8="},
                                                         {"编号：01", "(1)3＋5=8"},
                                                         {"编号：02", "(1)7×8=56"}};
    for (int page = 1; page <= 4; ++page) {
        const std::string text = nfkc(testing::pdfPageText(pdf, page));
        for (const char* piece : {pages[page - 1].first, pages[page - 1].second})
            EXPECT_NE(text.find(nfkc(piece)), std::string::npos) << page << ": " << text;
    }
    EXPECT_EQ(testing::pageCountOf(pdf), 4);
    const std::string written = testing::pdfPageText(pdf, 1);
    for (const char* word : {"口算练习", "用时", "日期"})
        EXPECT_NE(written.find(word), std::string::npos) << word << " as written in\n" << written;
    // A file that can't be written is not left half-written, and says why.
    const std::string blocked = temp.file("missing/set.pdf");
    EXPECT_EQ(builtin::writeClassSetPdf(QString::fromStdString(blocked), set).reason,
              "文件夹不存在");
    EXPECT_FALSE(fs::exists(blocked));
}

}  // namespace
}  // namespace numbrook
