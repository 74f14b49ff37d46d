// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table of problem types, one row a type: its caption, how its
// operators are written, the ranges its numbers are drawn from, the rule
// that accepts a draw and the problem an accepted draw makes. Everything
// that lists, draws, counts or names types reads this table; a new type is
// a new row (and kTypeCount one more).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "generator/problem.h"
#include "generator/random_source.h"

namespace numbrook {

// Rows in the table. The drill window's nine check boxes are rows 0 to
// kDrillTypeCount − 1, in order, under the same captions.
inline constexpr int kTypeCount = 28;
inline constexpr int kDrillTypeCount = 9;

// The whole numbers base … base + n − 1; none when n is 0.
struct NumberRange {
    int base = 0;
    int n = 0;
};

// The numbers one draw of a type yields, before its rule accepts them. A
// type that mixes + and − draws a signed number, its sign the operator
// before it; c is a third number, or a scale (10 to the c).
struct Draw {
    int a = 0;
    int b = 0;
    int c = 0;
};

// How +, −, × and ÷ are written in a type's problems.
using Glyphs = std::array<const char*, 4>;

struct ProblemType {
    const char* caption;
    const char* gloss;  // in English, for the manual: "one-digit addition"
    Glyphs glyphs;
    NumberRange a, b, c;  // c only for types that draw it
    bool (*accepts)(const Draw&);
    Problem (*make)(const Draw&);  // the 求得数 problem of an accepted draw
    // Decimal places of its numbers, which are kept as whole numbers of
    // that unit: 12 is 1.2 in a type of one place.
    int decimals = 0;
};

// The row of a type, 0 … kTypeCount − 1.
const ProblemType& problemType(int type);

// The types as --help and the windows list them: "0 一位数加一位数" a line.
std::string typeListing();
// "0到27": the numbers the types go by.
std::string typeNumberRange();
// The type of a caption, or -1 when no row has it.
int typeOfCaption(std::string_view caption);

// Every problem a type's rule allows, each once, in the order of its draws;
// made at the first call for the type.
const std::vector<Problem>& problemPool(int type);

// Makes one problem of a type: re-seeds from the clock and draws its
// numbers until the type accepts them. attempts, when given, receives the
// number of draws made.
Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock,
                          int* attempts = nullptr);

}  // namespace numbrook
