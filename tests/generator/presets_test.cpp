// SPDX-License-Identifier: GPL-3.0-or-later
// Presets by textbook unit: the file the program ships, and the faults of a
// file named by line.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "generator/presets.h"

namespace numbrook {
namespace {

std::string readFile(const char* path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Presets, TheShippedFileNamesOnlyTypesOfTheTableAndMakesASetOfEach)
{
    // loadPresets refuses an unknown caption or a count out of range.
    const std::vector<Preset> presets = loadPresets(readFile(NUMBROOK_PRESETS_FILE));
    ASSERT_EQ(presets.size(), 15u);
    for (const Preset& p : presets) {
        EXPECT_EQ(optionsProblem(p.options), "") << p.name;
        EXPECT_EQ(p.page == PageOrientation::Portrait, p.name.rfind("一年级", 0) == 0) << p.name;
    }
    const Preset* unit = findPreset(presets, "一年级上册 6～10的认识和加减法");
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->options.form, ProblemForm::Mixed);
    EXPECT_EQ(unit->options.perType[static_cast<size_t>(typeOfCaption("10以内连加连减"))], 5);
}

struct FaultCase {
    const char* text;
    const char* message;  // a piece of it
};

class PresetFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(PresetFault, IsNamedWithItsLine)
{
    try {
        loadPresets(GetParam().text);
        FAIL() << "loaded";
    } catch (const PresetError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PresetFault,
    ::testing::Values(FaultCase{"表内乘法 = 3", "第1行：设置前须有"},
                      FaultCase{"[a]\n表内乘法 3", "第2行：须写成"},
                      FaultCase{"[a]\n乘法 = 3", "第2行：没有题型“乘法”"},
                      FaultCase{"[a]\n表内乘法 = 3x", "第2行：“表内乘法”的题数"},
                      FaultCase{"[a]\n表内乘法 = 3\n表内乘法 = 4", "第3行：题型“表内乘法”已经给过"},
                      FaultCase{"[a]\n表内乘法 = 60\n表内除法 = 41", "第3行：“a”的题数合计超过100"},
                      FaultCase{"[a]\nform = odd", "第2行：form"},
                      FaultCase{"[a]\n\n[b]\n表内乘法 = 1", "第1行：“a”没有题型"},
                      FaultCase{"[a]\n表内乘法 = 1\n[a]", "第3行：预设“a”已经有了"}));

}  // namespace
}  // namespace numbrook
