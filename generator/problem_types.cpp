// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/problem_types.h"

namespace numbrook {
namespace {

constexpr NumberRange kOneDigit{1, 9};    // 1..9
constexpr NumberRange kTwoDigit{10, 90};  // 10..99
constexpr NumberRange kTo89{10, 80};      // 10..89
constexpr NumberRange kTwoToNine{2, 8};   // 2..9
constexpr NumberRange kNone{};

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

int units(const Draw& d)
{
    return d.a % 10 + d.b % 10;
}

bool any(const Draw&)
{
    return true;
}

constexpr ProblemType kTypes[] = {
    {"一位数加一位数", kFullWidth, kOneDigit, kOneDigit, kNone, any,
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"两位数加两位数", kNarrowPlus, kTwoDigit, kTwoDigit, kNone,
     [](const Draw& d) { return units(d) >= 10 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a, Operator::Add, d.b, d.a + d.b); }},
    {"10以内的减法", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a - d.b >= 2; },
     [](const Draw& d) { return two(d.a, Operator::Subtract, d.b, d.a - d.b); }},
    {"20以内退位减法", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a + d.b >= 10; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.b, d.a); }},
    {"两位减两位（不退位）", kFullWidth, kTo89, kTo89, kNone,
     [](const Draw& d) { return units(d) <= 9 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.a, d.b); }},
    {"两位减两位（退位）", kFullWidth, kTo89, kTo89, kNone,
     [](const Draw& d) { return units(d) >= 10 && d.a + d.b <= 99; },
     [](const Draw& d) { return two(d.a + d.b, Operator::Subtract, d.a, d.b); }},
    {"表内乘法", kFullWidth, kOneDigit, kOneDigit, kNone, any,
     [](const Draw& d) { return two(d.a, Operator::Multiply, d.b, d.a * d.b); }},
    {"两位数乘一位数", kFullWidth, kTwoDigit, kTwoToNine, kNone, any,
     [](const Draw& d) { return two(d.a, Operator::Multiply, d.b, d.a * d.b); }},
    {"表内除法", kFullWidth, kOneDigit, kOneDigit, kNone,
     [](const Draw& d) { return d.a != 1 && d.b != 1; },
     [](const Draw& d) { return two(d.a * d.b, Operator::Divide, d.b, d.a); }},
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

std::vector<Problem> problemPool(int type)
{
    // Every draw of the type's ranges in turn, through the same rule as a
    // draw: each accepted draw makes a different problem.
    const ProblemType& row = kTypes[type];
    std::vector<Problem> pool;
    const int cs = row.c.n > 0 ? row.c.n : 1;
    for (int a = row.a.base; a < row.a.base + row.a.n; ++a) {
        for (int b = row.b.base; b < row.b.base + row.b.n; ++b) {
            for (int c = row.c.base; c < row.c.base + cs; ++c) {
                if (row.accepts({a, b, c}))
                    pool.push_back(made(type, {a, b, c}));
            }
        }
    }
    return pool;
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
