// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/clock.h"
#include "generator/random_source.h"

namespace numbrook {

// Problem types are the indexes 0..8 of the type check boxes.
inline constexpr int kTypeCount = 9;

// The caption of each type's check box, which names the type wherever it is listed.
inline constexpr const char* kTypeCaptions[kTypeCount] = {
    "一位数加一位数", "两位数加两位数",       "10以内的减法",
    "20以内退位减法", "两位减两位（不退位）", "两位减两位（退位）",
    "表内乘法",       "两位数乘一位数",       "表内除法",
};

// One problem: "7×8=" as set to the pupil, "7×8=56" with its result.
struct Problem {
    std::string text;
    std::string answer;
};

// A problem in its parts: first number, operator, second number, result.
struct Operation {
    int first = 0;
    const char* op = "";
    int second = 0;
    int result = 0;
};

// The problem as set ("7×8=") and with its result ("7×8=56").
Problem problemOf(const Operation& operation);

// Every problem a type's rule allows, each once: 81, 1260, 28, 45, 1980,
// 1260, 81, 720 and 64 problems for types 0 to 8.
std::vector<Operation> problemPool(int type);

// Makes one problem of a type (0..8): re-seeds from the clock and draws both
// numbers until the type accepts the pair. attempts, when given, receives the
// number of pairs drawn.
Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock,
                          int* attempts = nullptr);

}  // namespace numbrook
