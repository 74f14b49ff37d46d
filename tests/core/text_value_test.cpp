// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <ostream>

#include "core/text_value.h"

namespace numbrook {
namespace {

// A text and what it reads as.
template <class T>
struct TextCase {
    const char* text;
    T expected;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};
using ValueCase = TextCase<double>;
using CountCase = TextCase<int>;
using IntervalCase = TextCase<int>;

class TextValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(TextValueTest, ReadsTheNumberAtTheStart)
{
    EXPECT_DOUBLE_EQ(textValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextValueTest,
    ::testing::Values(ValueCase{"5", 5}, ValueCase{"0.01", 0.01}, ValueCase{"  1 2 ", 12},
                      ValueCase{"1\t2\n0", 120}, ValueCase{"\r5", 0}, ValueCase{"&hFF", 255},
                      ValueCase{"&HfF", 255}, ValueCase{"&O17", 15}, ValueCase{"&o18", 1},
                      ValueCase{"&H", 0}, ValueCase{"&X1", 0}, ValueCase{"1.5e1", 15},
                      ValueCase{"1D2", 100}, ValueCase{"1d-1", 0.1}, ValueCase{"2E", 2},
                      ValueCase{"2e+", 2}, ValueCase{"-3", -3}, ValueCase{"+.5", 0.5},
                      ValueCase{"1.2.3", 1.2}, ValueCase{".", 0}, ValueCase{"-", 0},
                      ValueCase{"abc", 0}, ValueCase{"", 0}, ValueCase{"12abc", 12},
                      ValueCase{"1 0题", 10}));

// What a Chinese input method types in full-width mode reads as its ASCII
// forms; other full-width letters and the full-width space still stop the reading.
INSTANTIATE_TEST_SUITE_P(FullWidth, TextValueTest,
                         ::testing::Values(ValueCase{"２０", 20}, ValueCase{"０.０５", 0.05},
                                           ValueCase{"０．５", 0.5}, ValueCase{"－３", -3},
                                           ValueCase{"＋１．５", 1.5}, ValueCase{"1２ ３", 123},
                                           ValueCase{"１Ｅ２", 1}, ValueCase{"　５", 0},
                                           ValueCase{"&H１Ｆ", 1}, ValueCase{"５题", 5},
                                           ValueCase{"\xEF\xBC", 0},
                                           ValueCase{"\xEF\xBC"
                                                     "5",
                                                     0}));

class CountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountTest, RoundsHalfToEvenAndSaturates)
{
    EXPECT_EQ(countFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, CountTest,
                         ::testing::Values(CountCase{"2.5", 2}, CountCase{"3.5", 4},
                                           CountCase{"20.5", 20}, CountCase{"0.5", 0},
                                           CountCase{"1.5", 2}, CountCase{"-2.5", -2},
                                           CountCase{"20.51", 21}, CountCase{"32767", 32767},
                                           CountCase{"32767.5", 32767}, CountCase{"1e9", 32767},
                                           CountCase{"&H7FFFFFFF", 32767},
                                           CountCase{"1E400", 32767}, CountCase{"-1E400", -32768},
                                           CountCase{"-40000", -32768}));

class IntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalTest, KeepsEveryRunTicking)
{
    EXPECT_EQ(intervalMsFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntervalTest,
    ::testing::Values(IntervalCase{"0.01", 10}, IntervalCase{"2", 2000}, IntervalCase{"0.0025", 2},
                      IntervalCase{"0.0035", 4}, IntervalCase{"0", 1}, IntervalCase{"", 1},
                      IntervalCase{"abc", 1}, IntervalCase{"-1", 1}, IntervalCase{"0.0004", 1},
                      IntervalCase{"65.535", 65535}, IntervalCase{"65.536", 65535},
                      IntervalCase{"1e300", 65535}, IntervalCase{"1E400", 65535}));

// The C library's locale as the program gets it from the environment (Qt
// calls setlocale(LC_ALL, "")): a locale whose decimal point is a comma.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
            GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (localedef -i de_DE -f UTF-8 "
                            "de_DE.UTF-8)";
        ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(CommaLocale, TextsReadAsInAnyOtherLocale)
{
    for (auto [text, value] : {std::pair{"0.01", 0.01},
                               {"1.5", 1.5},
                               {"-2.25e1", -22.5},
                               {"1D-3", 0.001},
                               {"1,5", 1.0},
                               {"&H1F", 31.0},
                               {".5", 0.5}})
        EXPECT_DOUBLE_EQ(textValue(text), value) << text;
    EXPECT_EQ(countFromText("1.5"), 2);
    EXPECT_EQ(countFromText("20.5"), 20);
    EXPECT_EQ(intervalMsFromText("0.01"), 10);
    EXPECT_EQ(intervalMsFromText("1e400"), kMaxTimerInterval);
    EXPECT_EQ(countFromText("-1e400"), -32768);
}

TEST(RoundHalfEven, GoesToTheEvenNeighbour)
{
    for (auto [in, out] : {std::pair{0.5, 0.0},
                           {1.5, 2.0},
                           {2.5, 2.0},
                           {3.5, 4.0},
                           {-0.5, -0.0},
                           {-1.5, -2.0},
                           {2.4999, 2.0},
                           {2.5001, 3.0}})
        EXPECT_EQ(roundHalfEven(in), out) << in;
}

}  // namespace
}  // namespace numbrook
