// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/problem_types.h"

#include <cstdlib>
#include <mutex>

namespace numbrook {
namespace {

constexpr NumberRange kOneDigit{1, 9};    // 1..9
constexpr NumberRange kTwoDigit{10, 90};  // 10..99
constexpr NumberRange kTo89{10, 80};      // 10..89
constexpr NumberRange kTwoToNine{2, 8};   // 2..9
constexpr NumberRange kNone{};
constexpr NumberRange kToTen{1, 10};              // 1..10
constexpr NumberRange kSignedTen{-10, 21};        // −10..10
constexpr NumberRange kSignedNine{-9, 19};        // −9..9
constexpr NumberRange kSignedTwoDigit{-99, 199};  // −99..99

// Full-width ＋ and －, as the drill's one-digit problems are written.
constexpr Glyphs kFullWidth{"\xEF\xBC\x8B", "\xEF\xBC\x8D", "\xC3\x97", "\xC3\xB7"};
// A narrow + for the two-digit additions.
constexpr Glyphs kNarrowPlus{"+", "\xEF\xBC\x8D", "\xC3\x97", "\xC3\xB7"};

Problem two(int a, Operator op, int b, int result)
{
    Problem p;
    p.operands = {a, b, 0};
    p.operators = {op, Operator::Add};
    p.result = result;
    return p;
}

Problem three(int a, Operator op1, int b, Operator op2, int c, int result)
{
    Problem p;
    p.count = 3;
    p.operands = {a, b, c};
    p.operators = {op1, op2};
    p.result = result;
    return p;
}

// The operator of a signed number, and its size.
Operator sign(int n)
{
    return n < 0 ? Operator::Subtract : Operator::Add;
}

// a ± |b|, from a signed b; b's size in the given unit.
Problem plusOrMinus(int a, int b, int unit = 1)
{
    return two(a * unit, sign(b), std::abs(b) * unit, (a + b) * unit);
}

int power10(int n)
{
    return n == 2 ? 100 : n == 3 ? 1000 : 10;
}

// Two whole tens (or hundreds …) a ± b, with a result of 1 to 10 of them;
// a sum only of numbers below ten of them.
bool wholeUnits(const Draw& d)
{
    return d.b != 0 && d.a + d.b >= 1 && d.a + d.b <= 10 && (d.b < 0 || d.a <= 9);
}

// a ± b ± c from signed b and c, each at least `least` in size, every
// partial result from 0 to max; the two operators alike or not.
template <int least, int max, bool alike>
bool chain(const Draw& d)
{
    return std::abs(d.b) >= least && std::abs(d.c) >= least && ((d.b > 0) == (d.c > 0)) == alike &&
           d.a + d.b >= 0 && d.a + d.b <= max && d.a + d.b + d.c >= 0 && d.a + d.b + d.c <= max;
}

Problem chained(const Draw& d)
{
    return three(d.a, sign(d.b), std::abs(d.b), sign(d.c), std::abs(d.c), d.a + d.b + d.c);
}

int units(const Draw& d)
{
    return d.a % 10 + d.b % 10;
}

bool any(const Draw&)
{
    return true;
}

constexpr ProblemType kTypes[] = {
    {"一位数加一位数", "one-digit addition", kFullWidth, kOneDigit, kOneDigit, kNone, any,
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"两位数加两位数", "two-digit addition with carrying", kNarrowPlus, kTwoDigit, kTwoDigit, kNone,
     [](const Draw& d) { return units(d) >= 10 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"10以内的减法", "subtraction within 10", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a - d.b >= 2; },
     [](const Draw& d) { return two(d.a, Operator::Subtract, d.b, d.a - d.b); }},
    {"20以内退位减法", "subtraction with borrowing within 20", kFullWidth, kOneDigit, kOneDigit,
     kNone, [](const Draw& d) { return d.a + d.b >= 10; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.b, d.a); }},
    {"两位减两位（不退位）", "two-digit subtraction without borrowing", kFullWidth, kTo89, kTo89,
     kNone, [](const Draw& d) { return units(d) <= 9 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.a, d.b); }},
    {"两位减两位（退位）", "two-digit subtraction with borrowing", kFullWidth, kTo89, kTo89, kNone,
     [](const Draw& d) { return units(d) >= 10 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.a, d.b); }},
    {"表内乘法", "the times table", kFullWidth, kOneDigit, kOneDigit, kNone, any,
     [](const Draw& d) { return two(d.a, Operator::Multiply, d.b, d.a * d.b); }},
    {"两位数乘一位数", "two-digit by one-digit multiplication", kFullWidth, kTwoDigit, kTwoToNine,
     kNone, any, [](const Draw& d) { return two(d.a, Operator::Multiply, d.b, d.a * d.b); }},
    {"表内除法", "times-table division", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a != 1 && d.b != 1; },
     [](const Draw& d) { return two(d.a * d.b, Operator::Divide, d.b, d.a); }},
    // The drill's nine end here; the rest follow the textbooks' order.
    {"5以内的加减法",
     "addition and subtraction within 5",
     kFullWidth,
     {1, 5},
     {-5, 11},
     kNone,
     [](const Draw& d) { return d.b != 0 && d.a + d.b >= 0 && d.a + d.b <= 5; },
     [](const Draw& d) { return plusOrMinus(d.a, d.b); }},
    {"10以内的加法", "addition within 10", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a + d.b <= 10; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"10以内连加连减", "three numbers added or subtracted in turn, within 10", kFullWidth, kToTen,
     kSignedTen, kSignedTen, chain<1, 10, true>, chained},
    {"10以内加减混合", "three numbers, addition and subtraction mixed, within 10", kFullWidth,
     kToTen, kSignedTen, kSignedTen, chain<1, 10, false>, chained},
    {"20以内进位加法", "one-digit addition with carrying, sums 11 to 18", kFullWidth, kOneDigit,
     kOneDigit, kNone, [](const Draw& d) { return d.a + d.b >= 11; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"整十数加减整十数", "whole tens added and subtracted", kFullWidth, kToTen, kSignedNine, kNone,
     wholeUnits, [](const Draw& d) { return plusOrMinus(d.a, d.b, 10); }},
    {"两位数加一位数（不进位）", "two-digit plus one-digit without carrying", kFullWidth, kTwoDigit,
     kOneDigit, kNone, [](const Draw& d) { return units(d) <= 9; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"两位数加一位数（进位）", "two-digit plus one-digit with carrying", kFullWidth, kTwoDigit,
     kOneDigit, kNone, [](const Draw& d) { return units(d) >= 10 && d.a + d.b <= 100; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"两位数减一位数（不退位）", "two-digit minus one-digit without borrowing", kFullWidth,
     kTwoDigit, kOneDigit, kNone, [](const Draw& d) { return d.a % 10 >= d.b; },
     [](const Draw& d) { return two(d.a, Operator::Subtract, d.b, d.a - d.b); }},
    {"两位数减一位数（退位）", "two-digit minus one-digit with borrowing", kFullWidth, kTwoDigit,
     kOneDigit, kNone, [](const Draw& d) { return d.a % 10 < d.b; },
     [](const Draw& d) { return two(d.a, Operator::Subtract, d.b, d.a - d.b); }},
    {"两位数加减整十数",
     "two-digit numbers plus or minus whole tens",
     kFullWidth,
     {11, 89},
     kSignedNine,
     kNone,
     [](const Draw& d) {
         return d.a % 10 != 0 && d.b != 0 && d.a + 10 * d.b >= 1 && d.a + 10 * d.b <= 99;
     },
     [](const Draw& d) { return two(d.a, sign(d.b), 10 * std::abs(d.b), d.a + 10 * d.b); }},
    {"100以内连加连减", "three two-digit numbers added or subtracted in turn, within 100",
     kFullWidth, kTwoDigit, kSignedTwoDigit, kSignedTwoDigit, chain<10, 100, true>, chained},
    {"100以内加减混合", "three two-digit numbers, addition and subtraction mixed, within 100",
     kFullWidth, kTwoDigit, kSignedTwoDigit, kSignedTwoDigit, chain<10, 100, false>, chained},
    // a the quotient, b the divisor, c the remainder.
    {"有余数的除法",
     "division with a remainder, 17÷5=3……2",
     kFullWidth,
     kOneDigit,
     kTwoToNine,
     {1, 8},
     [](const Draw& d) { return d.c < d.b; },
     [](const Draw& d) {
         Problem p = two(d.a * d.b + d.c, Operator::Divide, d.b, d.a);
         p.remainder = d.c;
         return p;
     }},
    // c: hundreds or thousands.
    {"整百、整千数加减",
     "whole hundreds or thousands added and subtracted",
     kFullWidth,
     kToTen,
     kSignedNine,
     {2, 2},
     wholeUnits,
     [](const Draw& d) { return plusOrMinus(d.a, d.b, power10(d.c)); }},
    // c: tens or hundreds.
    {"整十、整百数乘一位数",
     "whole tens or hundreds by one digit",
     kFullWidth,
     kOneDigit,
     kTwoToNine,
     {1, 2},
     any,
     [](const Draw& d) {
         const int a = d.a * power10(d.c);
         return two(a, Operator::Multiply, d.b, a * d.b);
     }},
    // Whole tens by a one-digit number into whole tens: 60÷3=20.
    {"整十数除以一位数", "whole tens by one digit into whole tens", kFullWidth, kOneDigit,
     kTwoToNine, kNone, [](const Draw& d) { return d.a * d.b <= 9; },
     [](const Draw& d) { return two(10 * d.a * d.b, Operator::Divide, d.b, 10 * d.a); }},
    {"整十数乘整十数", "whole tens by whole tens", kFullWidth, kOneDigit, kOneDigit, kNone, any,
     [](const Draw& d) { return two(10 * d.a, Operator::Multiply, 10 * d.b, 100 * d.a * d.b); }},
    // In tenths: both numbers with tenths, but for a whole number less
    // something (1－0.3); the result from 0.1 to 10.
    {"一位小数加减",
     "decimals of one place added and subtracted",
     kFullWidth,
     {1, 99},
     kSignedTwoDigit,
     kNone,
     [](const Draw& d) {
         return d.b % 10 != 0 && (d.a % 10 != 0 || d.b < 0) && d.a + d.b >= 1 && d.a + d.b <= 100;
     },
     [](const Draw& d) { return plusOrMinus(d.a, d.b); },
     1},
};
static_assert(std::size(kTypes) == kTypeCount);

// The numbers of one draw, by the type's ranges (no re-seed, no rule).
Draw draw(const ProblemType& row, RandomSource& random)
{
    Draw d;
    d.a = random.drawInt(row.a.base, row.a.n);
    d.b = random.drawInt(row.b.base, row.b.n);
    if (row.c.n > 0)
        d.c = random.drawInt(row.c.base, row.c.n);
    return d;
}

// The problem an accepted draw makes, marked with its type.
Problem made(int type, const Draw& d)
{
    Problem p = kTypes[type].make(d);
    p.type = static_cast<int16_t>(type);
    return p;
}

}  // namespace

const ProblemType& problemType(int type)
{
    return kTypes[type];
}

std::string typeListing()
{
    std::string list;
    for (int type = 0; type < kTypeCount; ++type)
        list += "\n  " + std::to_string(type) + ' ' + kTypes[type].caption;
    return list;
}

std::string typeNumberRange()
{
    return "0到" + std::to_string(kTypeCount - 1);
}

int typeOfCaption(std::string_view caption)
{
    for (int type = 0; type < kTypeCount; ++type) {
        if (caption == kTypes[type].caption)
            return type;
    }
    return -1;
}

const std::vector<Problem>& problemPool(int type)
{
    // Every draw of the type's ranges in turn, through the same rule as a
    // draw: each accepted draw makes a different problem. Made once a type:
    // the three-number types within 100 hold some 150 000 and 460 000.
    static std::once_flag once[kTypeCount];
    static std::vector<Problem> pools[kTypeCount];
    std::call_once(once[type], [type] {
        const ProblemType& row = kTypes[type];
        std::vector<Problem>& pool = pools[type];
        const int cs = row.c.n > 0 ? row.c.n : 1;
        for (int a = row.a.base; a < row.a.base + row.a.n; ++a) {
            for (int b = row.b.base; b < row.b.base + row.b.n; ++b) {
                for (int c = row.c.base; c < row.c.base + cs; ++c) {
                    if (row.accepts({a, b, c}))
                        pool.push_back(made(type, {a, b, c}));
                }
            }
        }
    });
    return pools[type];
}

Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock, int* attempts)
{
    const ProblemType& row = kTypes[type];
    int tries = 0;
    Draw d;
    do {
        // A rejected draw is thrown away whole: a new re-seed, new numbers.
        random.reseedFrom(clock);
        d = draw(row, random);
        ++tries;
    } while (!row.accepts(d));
    if (attempts)
        *attempts = tries;
    return made(type, d);
}

}  // namespace numbrook
