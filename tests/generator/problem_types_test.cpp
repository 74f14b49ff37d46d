// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <utility>
#include <set>
#include <string>

#include "generator/problem_text.h"
#include "generator/problem_types.h"
#include "tests/support/fakes.h"

namespace numbrook {
namespace {

struct Parsed {
    int x = -1;
    std::string op;
    int y = -1;
    int result = -1;
};

// A problem as the pupil sees it, and its key.
struct Shown {
    std::string text;
    std::string answer;
};
Shown shown(const Problem& p)
{
    return {problemText(p), keyText(p)};
}

// Reads "x<op>y=" and "x<op>y=result" back, checking the texts' form:
// plain digits without leading zeros, one operator, no blanks.
Parsed parse(const Shown& p)
{
    Parsed r;
    size_t i = 0;
    auto number = [&](const std::string& s, size_t& at) {
        const size_t start = at;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9')
            ++at;
        if (at == start || (s[start] == '0' && at - start > 1))
            return -1;
        return std::stoi(s.substr(start, at - start));
    };
    r.x = number(p.text, i);
    const size_t opStart = i;
    while (i < p.text.size() && !(p.text[i] >= '0' && p.text[i] <= '9'))
        ++i;
    r.op = p.text.substr(opStart, i - opStart);
    r.y = number(p.text, i);
    if (i + 1 != p.text.size() || p.text[i] != '=')
        r.y = -1;
    if (p.answer.compare(0, p.text.size(), p.text) == 0) {
        size_t j = p.text.size();
        r.result = number(p.answer, j);
        if (j != p.answer.size())
            r.result = -1;
    }
    return r;
}

// A type's rule, stated on the problem as the pupil sees it: its operator,
// the ranges of both numbers and the result, and what the ones digits do.
struct TypeCase {
    int type;
    std::string op;
    int distinct;  // how many different problems the type can make
    std::pair<int, int> x, y, result;
    bool (*ones)(const Parsed&) = nullptr;
    friend void PrintTo(const TypeCase& c, std::ostream* os) { *os << "type " << c.type; }

    bool valid(const Parsed& q) const
    {
        const auto in = [](int v, std::pair<int, int> r) { return v >= r.first && v <= r.second; };
        const bool computed = op == "×"    ? q.result == q.x * q.y
                              : op == "÷"  ? q.x == q.y * q.result
                              : op == "－" ? q.result == q.x - q.y
                                           : q.result == q.x + q.y;
        return in(q.x, x) && in(q.y, y) && in(q.result, result) && computed && (!ones || ones(q));
    }
};

bool carries(const Parsed& q)
{
    return q.x % 10 + q.y % 10 >= 10;
}
bool borrows(const Parsed& q)
{
    return q.x % 10 < q.y % 10;
}
bool borrowsNot(const Parsed& q)
{
    return !borrows(q);
}

class ProblemTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ProblemTypeTest, MakesEveryValidProblemAndNoOther)
{
    const TypeCase& c = GetParam();
    RandomSource random(42);
    testing::FixedClock clock;  // re-seeds with an unmoving clock still vary
    std::set<std::string> seen;
    for (int i = 0; i < 60000; ++i) {
        const Shown p = shown(makeProblemOfType(c.type, random, clock));
        const Parsed q = parse(p);
        ASSERT_EQ(q.op, c.op) << p.answer;
        ASSERT_GE(q.y, 0) << p.text;
        ASSERT_GE(q.result, 0) << p.answer;
        ASSERT_TRUE(c.valid(q)) << p.answer;
        seen.insert(p.answer);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(c.distinct));
}

TEST_P(ProblemTypeTest, ItsPoolHoldsEveryValidProblemOnce)
{
    const TypeCase& c = GetParam();
    std::set<std::string> pool;
    for (const Problem& problem : problemPool(c.type)) {
        const Shown p = shown(problem);
        ASSERT_TRUE(c.valid(parse(p))) << p.answer;
        pool.insert(p.answer);
    }
    EXPECT_EQ(pool.size(), static_cast<size_t>(c.distinct));
    EXPECT_EQ(problemPool(c.type).size(), static_cast<size_t>(c.distinct));
}

// The largest value the random source can return: 1 − 2⁻⁵³.
constexpr double kLargestDraw = 0x1.fffffffffffffp-1;

// A source that gives its largest value at every third draw, so that the
// first and the second number of a pair both get it, and seeded draws else.
class EdgeSource final : public RandomSource {
public:
    using RandomSource::RandomSource;
    double next() override { return ++draws_ % 3 == 0 ? kLargestDraw : RandomSource::next(); }

private:
    int draws_ = 0;
};

TEST_P(ProblemTypeTest, StaysInRangeWhenTheSourceGivesItsLargestValue)
{
    const TypeCase& c = GetParam();
    EdgeSource random(11);
    testing::FixedClock clock;
    for (int i = 0; i < 3000; ++i) {
        const Shown p = shown(makeProblemOfType(c.type, random, clock));
        const Parsed q = parse(p);
        ASSERT_EQ(q.op, c.op) << p.answer;
        ASSERT_TRUE(c.valid(q)) << p.answer;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, ProblemTypeTest,
    ::testing::Values(TypeCase{0, "＋", 81, {1, 9}, {1, 9}, {2, 18}},
                      TypeCase{1, "+", 1260, {10, 99}, {10, 99}, {20, 99}, &carries},
                      TypeCase{2, "－", 28, {1, 9}, {1, 9}, {2, 8}},
                      TypeCase{3, "－", 45, {10, 18}, {1, 9}, {1, 9}, &borrows},
                      TypeCase{4, "－", 1980, {20, 99}, {10, 89}, {10, 89}, &borrowsNot},
                      TypeCase{5, "－", 1260, {30, 98}, {11, 79}, {11, 79}, &borrows},
                      TypeCase{6, "×", 81, {1, 9}, {1, 9}, {1, 81}},
                      TypeCase{7, "×", 720, {10, 99}, {2, 9}, {20, 891}},
                      TypeCase{8, "÷", 64, {4, 81}, {2, 9}, {2, 9}}),
    [](const auto& p) { return "Type" + std::to_string(p.param.type); });

TEST(ProblemTypes, TheEdgeProblemsOccur)
{
    RandomSource random(7);
    testing::FixedClock clock;
    std::set<std::string> seen;
    for (int type : {1, 2, 3, 4, 7})
        for (int i = 0; i < 40000; ++i)
            seen.insert(keyText(makeProblemOfType(type, random, clock)));
    for (const char* p : {"19+11=30", "3－1=2", "9－7=2", "10－1=9", "18－9=9", "20－10=10",
                          "99－89=10", "99×9=891", "10×2=20"})
        EXPECT_TRUE(seen.count(p)) << p;
    for (const char* p : {"9－8=1", "47+32=79"})
        EXPECT_FALSE(seen.count(p)) << p;
}

TEST(ProblemTypes, TheLargestDrawGivesTheTopOfEachRange)
{
    struct LargestSource final : RandomSource {
        double next() override { return kLargestDraw; }
    } random;
    testing::FixedClock clock;
    // The types that accept a pair of two top numbers.
    for (auto [type, answer] :
         {std::pair{0, "9＋9=18"}, {3, "18－9=9"}, {6, "9×9=81"}, {7, "99×9=891"}, {8, "81÷9=9"}})
        EXPECT_EQ(keyText(makeProblemOfType(type, random, clock)), answer) << "type " << type;
    // Every range of the types, and every count of ticked types.
    for (auto [base, n] : {std::pair{1, 9}, {10, 90}, {10, 80}, {2, 8}})
        EXPECT_EQ(random.drawInt(base, n), base + n - 1) << base << ".." << base + n - 1;
    for (int n = 1; n <= 1000; ++n)
        ASSERT_EQ(indexFromUnit(kLargestDraw, n), n - 1) << n;
    EXPECT_EQ(indexFromUnit(kLargestDraw, 0), 0);
    EXPECT_EQ(indexFromUnit(0.0, 9), 0);
}

TEST(ProblemTypes, EachAttemptReseedsAndRedrawsBothNumbers)
{
    // A clock that counts its readings: one re-seed per attempt.
    struct CountingClock final : Clock {
        mutable int readings = 0;
        LocalTime now() const override
        {
            ++readings;
            return LocalTime{};
        }
    } clock;
    RandomSource random(1);
    int attempts = 0;
    int total = 0;
    for (int i = 0; i < 1000; ++i) {
        makeProblemOfType(1, random, clock, &attempts);
        total += attempts;
    }
    EXPECT_EQ(clock.readings, total);
    EXPECT_GT(total, 3000);  // type 1 takes about 6.4 attempts a problem
}

TEST(RandomSource, DrawsFromTheUnitIntervalAndReseedsMix)
{
    RandomSource a(5);
    RandomSource b(5);
    a.reseed(1000);
    b.reseed(1000);
    EXPECT_EQ(a.next(), b.next());  // the same state and clock give the same draw
    // The same clock reading twice does not restart a sequence.
    a.reseed(1000);
    const double first = a.next();
    a.reseed(1000);
    EXPECT_NE(a.next(), first);
    for (int i = 0; i < 100000; ++i) {
        const double r = a.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

}  // namespace
}  // namespace numbrook
