// SPDX-License-Identifier: GPL-3.0-or-later
// The options of a class set read back from their settings: what is wrong
// gives its default, what is right is kept.

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "generator/sheet_options.h"

namespace numbrook {
namespace {

struct ReadCase {
    const char* name;
    std::map<std::string, std::string> saved;
    // What differs from the defaults.
    void (*expected)(SheetOptions&);
    friend void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }
};

class ReadSheetOptions : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadSheetOptions, KeepsWhatIsRightAndDefaultsTheRest)
{
    const ReadCase& c = GetParam();
    const SheetOptions read = readSheetOptions([&](const std::string& name) {
        const auto at = c.saved.find(name);
        return at == c.saved.end() ? std::nullopt : std::optional(at->second);
    });
    SheetOptions expected = defaultSheetOptions();
    c.expected(expected);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(sheetOptionsProblem(read), "");

    // And back through the settings as they are written.
    std::map<std::string, std::string> written;
    for (const auto& [name, value] : sheetOptionSettings(read))
        written[name] = value;
    EXPECT_EQ(readSheetOptions([&](const std::string& name) { return std::optional(written[name]); }),
              read);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ReadSheetOptions,
    ::testing::Values(
        ReadCase{"none", {}, [](SheetOptions&) {}},
        ReadCase{"a whole set",
                 {{"types", " 0, 8"},
                  {"count0", "30"},
                  {"count8", "70"},
                  {"copies", "40"},
                  {"form", "mixed"},
                  {"noRepeats", "false"},
                  {"withKeys", "false"}},
                 [](SheetOptions& o) {
                     o.ticked = {true, false, false, false, false, false, false, false, true};
                     o.counts[0] = 30;
                     o.counts[8] = 70;
                     o.copies = 40;
                     o.form = ProblemForm::Mixed;
                     o.noRepeats = false;
                     o.withKeys = false;
                 }},
        ReadCase{"hand-edited",
                 {{"types", "3,x,99"},
                  {"count3", "7"},
                  {"count4", "500"},
                  {"copies", "61"},
                  {"form", "Blank"},
                  {"noRepeats", "1"},
                  {"withKeys", "false"}},
                 [](SheetOptions& o) {
                     o.ticked = {false, false, false, true, false, false, false, false, false};
                     o.counts[3] = 7;
                     o.withKeys = false;
                 }},
        ReadCase{"nothing ticked", {{"types", ""}, {"count2", "0"}}, [](SheetOptions&) {}},
        ReadCase{"too many together",
                 {{"types", "0,1"}, {"count0", "60"}, {"count1", "60"}, {"count5", "90"}},
                 [](SheetOptions& o) {
                     o.ticked = {true, true, false, false, false, false, false, false, false};
                     o.counts[5] = 90;
                 }},
        ReadCase{"the page",
                 {{"title", " 一年级（2）班 口算练习 "},
                  {"orientation", "portrait"},
                  {"columns", "3"},
                  {"keysPerPage", "4"},
                  {"timeLimit", "5"},
                  {"form", "vertical"}},
                 [](SheetOptions& o) {
                     o.page = {"一年级（2）班 口算练习", PageOrientation::Portrait, 3, 4, 5};
                     o.form = ProblemForm::Vertical;
                 }},
        ReadCase{"the page hand-edited",
                 {{"title", "  "},
                  {"orientation", "up"},
                  {"columns", "1"},
                  {"keysPerPage", "3"},
                  {"timeLimit", "61"}},
                 [](SheetOptions&) {}}));

TEST(SheetOptionTexts, FollowTheLimits)
{
    EXPECT_EQ(kCopiesOption.refusal(), "份数须在1到" + std::to_string(kMaxSheetCopies) + "之间");
    EXPECT_EQ(formNameList(), "result、blank、mixed 或 vertical");
    EXPECT_EQ(kColumnsOption.range(), "0（自动）或2到6");
    EXPECT_EQ(kKeysPerPageOption.range(), "1、2或4");
    EXPECT_EQ(orientationNameList(), "auto、portrait 或 landscape");
    EXPECT_FALSE(kTitleOption.accepts(std::string(41, 'x')));
    for (const FormName& form : kFormNames)
        EXPECT_EQ(formNamed(nameOf(form.form)), form.form);
}

}  // namespace
}  // namespace numbrook
