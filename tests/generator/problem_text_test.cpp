// SPDX-License-Identifier: GPL-3.0-or-later
// A problem made text: as set, as its key and in words, for every operator
// and every place of the blank.

#include <gtest/gtest.h>

#include <string>

#include "generator/problem_text.h"

namespace numbrook {
namespace {

using enum Operator;

struct TextCase {
    int type;
    std::array<int, 3> operands;
    Operator op;
    int result;
    int remainder;
    int8_t blank;
    const char* text;
    const char* key;
    const char* words;
    int8_t count = 2;
    Operator op2 = Add;
};

class ProblemTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProblemTextTest, AsSetAsKeyAndInWords)
{
    const TextCase& c = GetParam();
    Problem p;
    p.type = static_cast<int16_t>(c.type);
    p.operands = c.operands;
    p.count = c.count;
    p.operators = {c.op, c.op2};
    p.result = c.result;
    p.remainder = c.remainder;
    p.blank = c.blank;
    EXPECT_EQ(problemText(p), c.text);
    EXPECT_EQ(keyText(p), c.key);
    EXPECT_EQ(problemWords(p), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProblemTextTest,
    ::testing::Values(
        TextCase{0, {8, 7}, Add, 15, 0, kNoBlank, "8＋7=", "8＋7=15", "八加七等于几"},
        TextCase{1, {47, 38}, Add, 85, 0, 1, "47+（　　）=85", "47+38=85", "四十七加几等于八十五"},
        TextCase{2, {9, 7}, Subtract, 2, 0, 0, "（　　）－7=2", "9－7=2", "几减七等于二"},
        TextCase{7, {99, 9}, Multiply, 891, 0, kNoBlank, "99×9=", "99×9=891", "九十九乘九等于几"},
        TextCase{8, {24, 6}, Divide, 4, 0, 0, "（　　）÷6=4", "24÷6=4", "几除以六等于四"},
        TextCase{8, {17, 5}, Divide, 3, 2, kNoBlank, "17÷5=", "17÷5=3……2", "十七除以五等于几余几"},
        TextCase{
            8, {17, 5}, Divide, 3, 2, 3, "17÷5=3……（　　）", "17÷5=3……2", "十七除以五等于三余几"},
        TextCase{11, {8, 3, 4}, Subtract, 9, 0, 2, "8－3＋（　　）=9", "8－3＋4=9",
                 "八减三加几等于九", 3, Add},
        TextCase{27, {12, 7}, Subtract, 5, 0, kNoBlank, "1.2－0.7=", "1.2－0.7=0.5",
                 "一点二减零点七等于几"},
        TextCase{27, {3, 7}, Add, 10, 0, 1, "0.3＋（　　）=1", "0.3＋0.7=1", "零点三加几等于一"}));

TEST(NumberWords, AsTheyAreSaid)
{
    for (auto [n, words] : {std::pair{0, "零"},
                            {10, "十"},
                            {15, "十五"},
                            {20, "二十"},
                            {105, "一百零五"},
                            {110, "一百一十"},
                            {891, "八百九十一"},
                            {1005, "一千零五"},
                            {2030, "二千零三十"},
                            {10080, "一万零八十"}})
        EXPECT_EQ(numberWords(n), words) << n;
}

}  // namespace
}  // namespace numbrook
