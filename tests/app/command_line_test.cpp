// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help, --version, --sheets=office|builtin, and what
// anything else gives; and the program itself answering them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <tuple>
#include <ostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "core/version.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

using Action = CommandLine::Action;

struct LineCase {
    std::vector<const char*> arguments;
    Action action;
    const char* inOutput = "";  // a piece of the printed text
    SheetsHost sheets = SheetsHost::Automatic;
    friend void PrintTo(const LineCase& c, std::ostream* out)
    {
        for (const char* argument : c.arguments)
            *out << ' ' << argument;
    }
};

// A class set's options that make no set: the usage, naming what is wrong.
LineCase badSet(std::vector<const char*> options)
{
    LineCase c{{"--make-sheets", "a.pdf"}, Action::UsageError, options.front()};
    c.arguments.insert(c.arguments.end(), options.begin(), options.end());
    return c;
}

class CommandLineParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineParse, GivesTheActionAndTheHost)
{
    const LineCase c = GetParam();
    QStringList arguments{QStringLiteral("numbrook")};
    for (const char* a : c.arguments)
        arguments << QString::fromUtf8(a);
    const CommandLine line = parseCommandLine(arguments);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.sheets, c.sheets);
    EXPECT_NE(line.output.find(c.inOutput), std::string::npos) << line.output;
    if (!line.output.empty()) {
        EXPECT_EQ(line.output.back(), '\n');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineParse,
    ::testing::Values(LineCase{{}, Action::Run},
                      LineCase{{"--sheets=office"}, Action::Run, "", SheetsHost::Office},
                      LineCase{{"--sheets=builtin"}, Action::Run, "", SheetsHost::Builtin},
                      LineCase{{"--sheets", "builtin"}, Action::Run, "", SheetsHost::Builtin},
                      LineCase{{"-platform", "xcb", "-reverse", "--sheets=office"},
                               Action::Run,
                               "",
                               SheetsHost::Office},
                      LineCase{{"--help"}, Action::Help, "--sheets <office|builtin>"},
                      LineCase{{"-h"}, Action::Help, "--version"},
                      LineCase{{"--version"}, Action::Version, "NumbrookV1.6 "},
                      LineCase{{"--bogus"}, Action::UsageError, "--sheets"},
                      LineCase{{"--sheets=wps"}, Action::UsageError, "wps"},
                      LineCase{{"--sheets"}, Action::UsageError, "--help"},
                      LineCase{{"sheet.doc"}, Action::UsageError, "sheet.doc"},
                      LineCase{{"--sheet-window"}, Action::SheetWindow},
                      LineCase{{"--help"}, Action::Help, "8 表内除法"},
                      LineCase{{"--make-sheets", "a.pdf", "--types", "0,1,8", "--count", "20",
                                "--copies", "60", "--no-repeats", "--form", "mixed"},
                               Action::MakeSheets},
                      LineCase{{"--make-sheets=a.pdf", "--per-type", "0=30,8=70"},
                               Action::MakeSheets},
                      LineCase{{"--help"}, Action::Help, "27 一位小数加减"},
                      LineCase{{"--list-presets"}, Action::ListPresets, "二年级下册 有余数的除法\n"},
                      LineCase{{"--make-sheets", "a.pdf", "--preset", "二年级上册 表内乘法", "--form",
                                "blank", "--copies", "40"},
                               Action::MakeSheets},
                      LineCase{{"--make-sheets", "a.pdf", "--preset", "三年级 无此单元"},
                               Action::UsageError,
                               "没有预设“三年级 无此单元”；--list-presets"},
                      badSet({"--preset", "二年级上册 表内乘法", "--count", "5"}),
                      badSet({"--types", "0,999"}), badSet({"--types", "表内,1"}),
                      badSet({"--types", "1,1"}), badSet({"--types", "表内乘法,6"}),
                      badSet({"--types", ""}), badSet({"--count", "0"}), badSet({"--count", "101"}),
                      badSet({"--count", "5", "--per-type", "0=5"}),
                      badSet({"--per-type", "0=60,1=41"}), badSet({"--per-type", "0=0"}),
                      badSet({"--per-type", "0=5,0=5"}),
                      badSet({"--per-type", "3=5", "--types", "0,1"}), badSet({"--copies", "61"}),
                      badSet({"--form", "odd"}),
                      LineCase{{"--make-sheets", "a.pdf", "--title", "一年级（2）班 口算练习",
                                "--orientation", "landscape", "--columns", "4", "--form",
                                "vertical", "--keys-per-page", "2", "--time-limit", "5"},
                               Action::MakeSheets},
                      badSet({"--title", " "}), badSet({"--orientation", "up"}),
                      badSet({"--columns", "1"}), badSet({"--columns", "7"}),
                      badSet({"--keys-per-page", "3"}), badSet({"--time-limit", "61"}),
                      // An option given twice.
                      badSet({"--count", "5", "--count", "6"}),
                      badSet({"--no-repeats", "--no-repeats"}),
                      LineCase{{"--make-sheets", "a.pdf", "--make-sheets=b.pdf"},
                               Action::UsageError,
                               "--make-sheets 只能给出一次"},
                      LineCase{{"--sheets=office", "--sheets=builtin"}, Action::UsageError,
                               "--sheets 只能给出一次"},
                      // A class set's option without --make-sheets.
                      LineCase{{"--no-repeats"}, Action::UsageError},
                      LineCase{{"--practice", "--pupil", "小明"}, Action::Practice},
                      LineCase{{"--records-csv", "a.csv", "--pupil", "小明"}, Action::RecordsCsv},
                      LineCase{{"--records-csv="}, Action::UsageError, "--records-csv"},
                      LineCase{{"--pupil", "小明"}, Action::UsageError, "--pupil"}));

// Types by caption as by number; a preset's counts and form, the form
// given overriding it; a presets file that can't be read.
TEST(CommandLineSet, TakesCaptionsAndPresets)
{
    const auto parse = [](QStringList arguments, PresetSource presets = shippedPresets) {
        arguments.prepend(QStringLiteral("numbrook"));
        arguments << QStringLiteral("--make-sheets") << QStringLiteral("a.pdf");
        return parseCommandLine(arguments, 80, presets);
    };
    EXPECT_EQ(parse({QStringLiteral("--types"), QStringLiteral("表内除法, 6")}).sheetSet.types,
              (std::vector<int>{6, 8}));
    EXPECT_EQ(parse({QStringLiteral("--per-type"), QStringLiteral("有余数的除法=30")})
                  .sheetSet.perType[22],
              30);

    const PresetSource one = [] {
        return loadPresets("[单元]\nform = mixed\n表内乘法 = 30\n整十数乘整十数 = 20\n");
    };
    const SheetSetOptions preset =
        parse({QStringLiteral("--preset"), QStringLiteral("单元")}, one).sheetSet;
    EXPECT_EQ(preset.perType[6], 30);
    EXPECT_EQ(preset.perType[26], 20);
    EXPECT_EQ(preset.form, ProblemForm::Mixed);
    EXPECT_EQ(parse({QStringLiteral("--preset"), QStringLiteral("单元"), QStringLiteral("--form"),
                     QStringLiteral("result")},
                    one)
                  .sheetSet.form,
              ProblemForm::Result);

    const PresetSource broken = []() -> std::vector<Preset> {
        throw PresetError("预设文件p.ini：第3行：没有题型“乘法”");
    };
    const CommandLine failed = parse({QStringLiteral("--preset"), QStringLiteral("单元")}, broken);
    EXPECT_EQ(failed.action, Action::Failure);
    EXPECT_EQ(failed.output, "numbrook: 预设文件p.ini：第3行：没有题型“乘法”\n");
    // Without a preset option, the file is not read at all.
    EXPECT_EQ(parse({}, broken).action, Action::MakeSheets);
}

// The usage fits the terminal, a CJK character taking two columns, and
// says the same at every width.
TEST(CommandLineUsage, WrapsAtTheTerminalWidth)
{
    const auto usage = [](int width) {
        return QString::fromStdString(
            parseCommandLine({QStringLiteral("numbrook"), QStringLiteral("--help")}, width).output);
    };
    const auto words = [](const QString& text) {
        return QString(text).remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
    };
    for (const int width : {44, 52, 64, 80, 100}) {
        const QString text = usage(width);
        for (const QString& line : text.split(QLatin1Char('\n')))
            EXPECT_LE(displayWidth(line), width) << line.toStdString();
        EXPECT_EQ(words(text), words(usage(1000))) << width;
    }
}

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// platform: the Qt platform to run on; empty: none at all, as in a terminal
// without a display. before: shell commands that set up the program's run.
ProgramRun runProgram(const std::string& arguments, const std::string& platform = "offscreen",
                      const std::string& before = "")
{
    const testing::TempFolder folder;
    const std::string errFile = folder.file("err");
    ProgramRun run;
    run.out = testing::commandOutput(
        before +
        (platform.empty() ? std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM")
                          : "env QT_QPA_PLATFORM=" + platform) +
        " '" NUMBROOK_PROGRAM "' " + arguments + " 2>'" + errFile + "'; echo \"status=$?\"");
    const size_t at = run.out.rfind("status=");
    run.status = std::stoi(run.out.substr(at + 7));
    run.out.erase(at);
    run.err = testing::readAll(errFile);
    return run;
}

TEST(ProgramCommandLine, VersionHelpAndUnknownOption)
{
    // --version and --help answer without a display.
    const ProgramRun version = runProgram("--version", "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "NumbrookV1.6 " + std::string(kPackageVersion) + "\n");

    const ProgramRun help = runProgram("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--sheets"), std::string::npos) << help.out;

    // Output that can't be written is a failure.
    for (const char* asked : {"--help", "--version"}) {
        const ProgramRun full = runProgram(std::string(asked) + " >/dev/full", "");
        EXPECT_EQ(full.status, 1) << asked;
        EXPECT_NE(full.err.find("磁盘空间不足"), std::string::npos) << full.err;
    }

    // An unknown option: usage on standard error and status 2, no window,
    // with a display or without.
    for (const char* platform : {"offscreen", ""}) {
        const ProgramRun unknown = runProgram("--frobnicate", platform);
        EXPECT_EQ(unknown.status, 2) << platform;
        EXPECT_EQ(unknown.out, "");
        EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos) << unknown.err;
        EXPECT_NE(unknown.err.find("--sheets"), std::string::npos) << unknown.err;
    }

    // The presets beside the program.
    const ProgramRun presets = runProgram("--list-presets", "");
    EXPECT_EQ(presets.status, 0);
    EXPECT_EQ(std::count(presets.out.begin(), presets.out.end(), '\n'), 15) << presets.out;

    // No display: one line of ours and status 1, not Qt's abort.
    const ProgramRun headless = runProgram("", "");
    EXPECT_EQ(headless.status, 1);
    EXPECT_EQ(std::count(headless.err.begin(), headless.err.end(), '\n'), 1) << headless.err;
    EXPECT_NE(headless.err.find("DISPLAY"), std::string::npos) << headless.err;
}

// Six pages without a display: three sheets of all 28 problems of type 2,
// each in its own order, then their keys, in the same order and numbers.
TEST(ProgramCommandLine, MakesAClassSetWithoutADisplay)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed";
    const testing::TempFolder folder;
    const std::string pdf = folder.file("set.pdf");
    // Silent when written, without XDG_RUNTIME_DIR too.
    const ProgramRun made =
        runProgram("--make-sheets '" + pdf + "' --types 2 --count 28 --no-repeats --copies 3", "",
                   "unset XDG_RUNTIME_DIR; ");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");
    ASSERT_EQ(testing::pageCountOf(pdf), 6);
    const std::regex cell(R"(\((\d+)\)(\d)－(\d)=(\d?))");
    const std::regex number("编号：(\\d+)");
    std::set<std::vector<std::string>> orders;
    for (int sheet = 1; sheet <= 3; ++sheet) {
        std::vector<std::string> order;
        for (int page : {sheet, sheet + 3}) {
            const std::string text = testing::pdfPageText(pdf, page, "-raw");
            std::smatch m;
            ASSERT_TRUE(std::regex_search(text, m, number)) << text;
            EXPECT_EQ(std::stoi(m[1]), sheet);
            std::vector<std::string> problems;
            for (auto it = std::sregex_iterator(text.begin(), text.end(), cell);
                 it != std::sregex_iterator(); ++it) {
                const auto& c = *it;
                EXPECT_EQ(std::stoi(c[1]), static_cast<int>(problems.size()) + 1);
                const int a = std::stoi(c[2]), b = std::stoi(c[3]);
                EXPECT_GE(a - b, 2);
                // The answer on the key only.
                EXPECT_EQ(c[4], page > 3 ? std::to_string(a - b) : "") << "page " << page;
                problems.push_back(c[2].str() + c[3].str());
            }
            EXPECT_EQ(std::set<std::string>(problems.begin(), problems.end()).size(), 28u);
            if (page > 3) {
                EXPECT_EQ(problems, order) << "the key in its sheet's order";
            }
            order = problems;
        }
        orders.insert(order);
    }
    EXPECT_EQ(orders.size(), 3u);

    // A file cut short (here by a limit on the file's size, as by a full
    // disk): status 1, why, and the old file as it was.
    const std::string old = testing::readAll(pdf);
    const ProgramRun cut =
        runProgram("--make-sheets '" + pdf + "' --copies 10", "", "trap '' XFSZ; ulimit -f 32; ");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "numbrook: 无法写入" + pdf + "：文件超出了允许的大小\n");
    EXPECT_EQ(testing::readAll(pdf), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1) << "part left";

    // A bad value: the usage, status 2, and no file.
    std::remove(pdf.c_str());
    const ProgramRun bad = runProgram("--make-sheets '" + pdf + "' --copies 0", "");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--copies"), std::string::npos) << bad.err;
    EXPECT_FALSE(std::ifstream(pdf).good());
}

// --make-sheets in each form, read back: the pages upright or across, every
// problem on its sheet, every equation of the keys right, each key page
// holding its sheets' keys; a 竖式's numbers right-aligned one over the other.
struct FormRun {
    const char* options;
    int pages;
    bool portrait;
    int problems;          // on each sheet
    int firstKeyPage;
    int keysOnFirstKey;    // sheets whose keys it holds
    const char* onSheet;   // a text of the first sheet
    friend void PrintTo(const FormRun& c, std::ostream* out) { *out << c.options; }
};

class ProgramForms : public ::testing::TestWithParam<FormRun> {};

struct PdfWord {
    double xMax, yMin;
    std::string text;
};

std::vector<PdfWord> pdfWords(const std::string& pdf, int page)
{
    const std::string xhtml = testing::pdfPageText(pdf, page, "-bbox");
    static const std::regex word(
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    for (auto it = std::sregex_iterator(xhtml.begin(), xhtml.end(), word);
         it != std::sregex_iterator(); ++it)
        words.push_back({std::stod((*it)[2]), std::stod((*it)[1]), (*it)[3]});
    return words;
}

TEST_P(ProgramForms, WritesTheSheetsAndRightKeys)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed";
    const FormRun c = GetParam();
    const testing::TempFolder folder;
    const std::string pdf = folder.file("set.pdf");
    const ProgramRun made = runProgram("--make-sheets '" + pdf + "' " + c.options, "");
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(testing::pageCountOf(pdf), c.pages);
    double width = 0, height = 0;
    std::sscanf(testing::commandOutput("pdfinfo '" + pdf + "' | grep 'Page size'").c_str(),
                "Page size: %lf x %lf", &width, &height);
    EXPECT_EQ(width < height, c.portrait) << width << " x " << height;

    const std::string sheet = testing::pdfPageText(pdf, 1, "-raw");
    EXPECT_NE(sheet.find(c.onSheet), std::string::npos) << sheet;
    const std::regex label(R"(\((\d+)\))");
    EXPECT_EQ(std::distance(std::sregex_iterator(sheet.begin(), sheet.end(), label),
                            std::sregex_iterator()),
              c.problems);

    const std::string key = testing::pdfPageText(pdf, c.firstKeyPage, "-raw");
    const std::regex equation(R"(\((\d+)\)(\d+)(＋|－|×|÷|\+|-)(\d+)=(\d+)(……(\d+))?)");
    int equations = 0;
    std::vector<std::tuple<std::string, std::string, std::string>> firstSheet;
    for (auto it = std::sregex_iterator(key.begin(), key.end(), equation);
         it != std::sregex_iterator(); ++it, ++equations) {
        const auto& m = *it;
        const int a = std::stoi(m[2]), b = std::stoi(m[4]), r = std::stoi(m[5]);
        const std::string sign = m[3];
        const int left = m[7].matched ? std::stoi(m[7]) : 0;
        const int want = sign == "＋" || sign == "+"   ? a + b
                         : sign == "－" || sign == "-" ? a - b
                         : sign == "×"                 ? a * b
                                                       : (a - left) / b;
        EXPECT_EQ(r, want) << m[0];
        if (equations < c.problems)
            firstSheet.emplace_back(m[2], sign, m[4]);
    }
    EXPECT_EQ(equations, c.problems * c.keysOnFirstKey) << key;

    if (std::string(c.options).find("vertical") != std::string::npos) {
        // Every problem of the first sheet: its second number right under its
        // first; a division on one line.
        const std::vector<PdfWord> words = pdfWords(pdf, 1);
        for (const auto& [top, sign, bottom] : firstSheet) {
            if (sign == "÷") {
                EXPECT_NE(sheet.find(")" + top + "÷" + bottom + "="), std::string::npos) << top;
                continue;
            }
            const bool aligned = std::any_of(words.begin(), words.end(), [&](const PdfWord& t) {
                return t.text == top &&
                       std::any_of(words.begin(), words.end(), [&](const PdfWord& b) {
                           return b.text == bottom && std::abs(b.xMax - t.xMax) < 0.5 &&
                                  b.yMin > t.yMin && b.yMin - t.yMin < 40;
                       });
            });
            EXPECT_TRUE(aligned) << top << " over " << bottom;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProgramForms,
    ::testing::Values(
        FormRun{"--types 0 --count 20", 2, true, 20, 2, 1, "姓名"},
        FormRun{"--types 2,3 --count 30 --form blank --title '一年级（2）班 口算练习'", 2, true, 30,
                2, 1, "一年级（2）班 口算练习"},
        FormRun{"--types 0,1,2,3,22 --count 60 --form mixed --copies 2", 4, false, 60, 3, 1,
                "限时____分钟"},
        FormRun{"--types 1,4,7,8 --count 20 --form vertical --time-limit 5", 2, true, 20, 2, 1,
                "限时5分钟"},
        FormRun{"--types 0 --count 10 --copies 5 --keys-per-page 4", 7, true, 10, 6, 4,
                "编号：01"}));

// The records as CSV without a display, and a file that can't be written:
// status 1 and the reason. No records file is made for an empty table.
TEST(ProgramCommandLine, WritesTheRecordsAsCsvWithoutADisplay)
{
    const testing::TempFolder folder;
    const ProgramRun made = runProgram("--records-csv '" + folder.file("r.csv") + "'", "");
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(testing::readAll(folder.file("r.csv")).rfind("\xEF\xBB\xBF学生,", 0), 0u);
    const ProgramRun refused = runProgram("--records-csv /nonexistent/r.csv", "");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("/nonexistent/r.csv"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace numbrook
