// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/problem_types.h"

namespace numbrook {
namespace {

struct Range {
    int base;
    int n;
};

constexpr Range kOneDigit{1, 9};    // 1..9
constexpr Range kTwoDigit{10, 90};  // 10..99
constexpr Range kTo89{10, 80};      // 10..89
constexpr Range kTwoToNine{2, 8};   // 2..9

struct TypeRanges {
    Range a;
    Range b;
};

constexpr TypeRanges kRanges[kTypeCount] = {
    {kOneDigit, kOneDigit},   // 0 一位数加一位数
    {kTwoDigit, kTwoDigit},   // 1 两位数加两位数
    {kOneDigit, kOneDigit},   // 2 10以内的减法
    {kOneDigit, kOneDigit},   // 3 20以内退位减法
    {kTo89, kTo89},           // 4 两位减两位（不退位）
    {kTo89, kTo89},           // 5 两位减两位（退位）
    {kOneDigit, kOneDigit},   // 6 表内乘法
    {kTwoDigit, kTwoToNine},  // 7 两位数乘一位数
    {kOneDigit, kOneDigit},   // 8 表内除法
};

constexpr const char* kFullPlus = "\xEF\xBC\x8B";  // ＋ U+FF0B
constexpr const char* kPlus = "+";
constexpr const char* kFullMinus = "\xEF\xBC\x8D";  // － U+FF0D
constexpr const char* kTimes = "\xC3\x97";          // × U+00D7
constexpr const char* kDivide = "\xC3\xB7";         // ÷ U+00F7

// The two numbers a draw of a type yields before its acceptance test.
struct Pair {
    int a = 0;
    int b = 0;
};

// Draws a pair for a type by its ranges (no re-seed, no acceptance test).
Pair drawPair(int type, RandomSource& random)
{
    const TypeRanges& r = kRanges[type];
    Pair p;
    p.a = random.drawInt(r.a.base, r.a.n);
    p.b = random.drawInt(r.b.base, r.b.n);
    return p;
}

// Whether a type accepts a drawn pair.
bool acceptsPair(int type, Pair p)
{
    const int units = p.a % 10 + p.b % 10;
    switch (type) {
    case 1:
        return units >= 10 && p.a + p.b <= 99;
    case 2:
        return p.a - p.b >= 2;
    case 3:
        return p.a + p.b >= 10;
    case 4:
        return units <= 9 && p.a + p.b <= 99;
    case 5:
        return units >= 10 && p.a + p.b <= 99;
    case 8:
        return p.a != 1 && p.b != 1;
    default:
        return true;  // 0, 6 and 7 take every pair
    }
}

// The problem a type makes of an accepted pair.
Operation operationFromPair(int type, Pair p)
{
    const int a = p.a;
    const int b = p.b;
    switch (type) {
    case 0:
        return {a, kFullPlus, b, a + b};
    case 1:
        return {a, kPlus, b, a + b};
    case 2:
        return {a, kFullMinus, b, a - b};
    case 3:
        return {a + b, kFullMinus, b, a};
    case 4:
    case 5:
        return {a + b, kFullMinus, a, b};
    case 6:
    case 7:
        return {a, kTimes, b, a * b};
    default:
        return {a * b, kDivide, b, a};  // 8
    }
}

}  // namespace

Problem problemOf(const Operation& operation)
{
    Problem p;
    p.text =
        std::to_string(operation.first) + operation.op + std::to_string(operation.second) + "=";
    p.answer = p.text + std::to_string(operation.result);
    return p;
}

std::vector<Operation> problemPool(int type)
{
    // Every pair of the type's ranges in turn, through the same acceptance
    // test as a draw: each accepted pair makes a different problem.
    const TypeRanges& r = kRanges[type];
    std::vector<Operation> pool;
    for (int a = r.a.base; a < r.a.base + r.a.n; ++a) {
        for (int b = r.b.base; b < r.b.base + r.b.n; ++b) {
            if (acceptsPair(type, {a, b}))
                pool.push_back(operationFromPair(type, {a, b}));
        }
    }
    return pool;
}

Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock, int* attempts)
{
    int tries = 0;
    Pair p;
    do {
        // A rejected pair is thrown away whole: a new re-seed, two new draws.
        random.reseedFrom(clock);
        p = drawPair(type, random);
        ++tries;
    } while (!acceptsPair(type, p));
    if (attempts)
        *attempts = tries;
    return problemOf(operationFromPair(type, p));
}

}  // namespace numbrook
