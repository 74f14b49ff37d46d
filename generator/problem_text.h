// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A problem made text where it is shown: as set to the pupil, as its key,
// and in words for reading aloud.

#include <optional>
#include <string>

#include "generator/problem.h"

namespace numbrook {

// The blank of a 填空 problem: full-width parentheses around two ideographic spaces.
inline constexpr const char* kBlank = "（　　）";

// As set: "8＋7=", "8＋（　　）=15", "17÷5=（　　）……2".
std::string problemText(const Problem& problem);
// With every number in place: "8＋7=15", "17÷5=3……2".
std::string keyText(const Problem& problem);
// A 竖式: the two numbers to be set one over the other and the sign before
// the second: "37", "＋", "28". None for what is not worked in columns: a
// division, three numbers, tenths, a 填空.
struct VerticalText {
    std::string top;
    std::string sign;
    std::string bottom;
};
std::optional<VerticalText> verticalText(const Problem& problem);
// In words, the unknown number "几": "八加七等于几", "几除以六等于四".
std::string problemWords(const Problem& problem);
// A whole number in Chinese words: 0 "零", 15 "十五", 105 "一百零五".
std::string numberWords(int n);
// A number kept in tenths (decimals 1) or whole (0), as written: 12 "1.2",
// 10 "1", without trailing zeros; and in words: "一点二", "一".
std::string numberText(int n, int decimals);
std::string numberWords(int n, int decimals);

}  // namespace numbrook
