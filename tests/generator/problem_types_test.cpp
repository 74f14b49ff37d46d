// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "generator/problem_text.h"
#include "generator/problem_types.h"
#include "tests/support/fakes.h"

namespace numbrook {
namespace {

// A problem read back from its text and its key: its numbers (in tenths
// for a type of one decimal place), its operators, its result and its
// remainder (-1: none). `form` holds when both texts are as a pupil reads
// them: numbers without leading zeros or trailing decimal zeros, "=" last,
// the key the problem with its answer after it.
struct Parsed {
    std::vector<int> n;
    std::vector<std::string> op;
    int result = -1;
    int remainder = -1;
    bool form = false;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int readNumber(const std::string& s, size_t& at, int decimals)
{
    const size_t start = at;
    while (at < s.size() && isDigit(s[at]))
        ++at;
    if (at == start || (s[start] == '0' && at - start > 1))
        return -1;
    int value = std::stoi(s.substr(start, at - start));
    if (decimals == 1) {
        value *= 10;
        if (at + 1 < s.size() && s[at] == '.' && isDigit(s[at + 1]) && s[at + 1] != '0') {
            value += s[at + 1] - '0';
            at += 2;
        }
    }
    return value;
}

Parsed parse(const Problem& p, int decimals)
{
    const std::string text = problemText(p);
    const std::string key = keyText(p);
    Parsed r;
    size_t i = 0;
    for (;;) {
        const int value = readNumber(text, i, decimals);
        if (value < 0)
            return r;
        r.n.push_back(value);
        const size_t opStart = i;
        while (i < text.size() && !isDigit(text[i]) && text[i] != '=')
            ++i;
        if (i == opStart)
            break;
        r.op.push_back(text.substr(opStart, i - opStart));
    }
    if (text.substr(i) != "=" || key.compare(0, text.size(), text) != 0)
        return r;
    size_t j = text.size();
    r.result = readNumber(key, j, decimals);
    if (key.compare(j, std::strlen("……"), "……") == 0) {
        j += std::strlen("……");
        r.remainder = readNumber(key, j, 0);
    }
    r.form = r.result >= 0 && j == key.size();
    return r;
}

// A type's rule, stated on the problem as the pupil sees it: the operators
// it may use, the range of each number, of the result and of every partial
// result, and what else holds; how many problems it makes, and one at an
// edge of its ranges among them.
struct TypeCase {
    int type;
    std::string ops;
    int distinct;
    const char* edge;
    std::vector<std::pair<int, int>> numbers;
    std::pair<int, int> result;
    bool (*rule)(const Parsed&) = nullptr;
    int decimals = 0;
    friend void PrintTo(const TypeCase& c, std::ostream* os) { *os << "type " << c.type; }

    bool valid(const Parsed& q) const
    {
        const auto in = [](int v, std::pair<int, int> r) { return v >= r.first && v <= r.second; };
        if (!q.form || q.n.size() != numbers.size() || !in(q.n[0], numbers[0]))
            return false;
        int value = q.n[0];
        int remainder = -1;
        for (size_t k = 1; k < q.n.size(); ++k) {
            const std::string& o = q.op[k - 1];
            const int x = q.n[k];
            if (!in(x, numbers[k]) || ops.find(o) == std::string::npos)
                return false;
            if (o == "×") {
                value *= x;
            } else if (o == "÷") {
                remainder = value % x;
                value /= x;
            } else if (o == "－") {
                value -= x;
            } else if (o == "＋" || o == "+") {
                value += x;
            } else {
                return false;
            }
            if (!in(value, result))
                return false;
        }
        return value == q.result && q.remainder == (remainder > 0 ? remainder : -1) &&
               (!rule || rule(q));
    }
};

// What a type's problems hold beyond the ranges of their numbers.
using Rule = bool (*)(const Parsed&);
constexpr Rule carries = [](const Parsed& q) { return q.n[0] % 10 + q.n[1] % 10 >= 10; };
constexpr Rule carriesNot = [](const Parsed& q) { return !carries(q); };
constexpr Rule borrows = [](const Parsed& q) { return q.n[0] % 10 < q.n[1] % 10; };
constexpr Rule borrowsNot = [](const Parsed& q) { return !borrows(q); };
constexpr Rule sameOperators = [](const Parsed& q) { return q.op[0] == q.op[1]; };
constexpr Rule mixedOperators = [](const Parsed& q) { return q.op[0] != q.op[1]; };
constexpr Rule wholeTens = [](const Parsed& q) { return q.n[0] % 10 + q.n[1] % 10 == 0; };
constexpr Rule tensAfterOnes = [](const Parsed& q) { return q.n[0] % 10 && !(q.n[1] % 10); };
constexpr Rule tensQuotient = [](const Parsed& q) { return q.n[0] % 10 + q.result % 10 == 0; };
constexpr Rule hasRemainder = [](const Parsed& q) { return q.remainder >= 1; };
constexpr Rule tensOrHundreds = [](const Parsed& q) {
    return q.n[0] % (q.n[0] < 100 ? 10 : 100) == 0;
};
// Both numbers whole hundreds, or both whole thousands, up to ten of them.
constexpr Rule sameWholeUnit = [](const Parsed& q) {
    for (int u : {100, 1000}) {
        if (q.n[0] % u + q.n[1] % u == 0 && q.n[0] <= 10 * u && q.n[1] <= 9 * u &&
            q.result <= 10 * u)
            return true;
    }
    return false;
};
// Tenths in the second number, and in the first but for a whole less something.
constexpr Rule decimalNumbers = [](const Parsed& q) {
    return q.n[1] % 10 != 0 && (q.n[0] % 10 != 0 || q.op[0] == "－");
};

class ProblemTypeTest : public ::testing::TestWithParam<TypeCase> {};

// Draws a pool of at most this many problems shows whole in 60 000 draws.
constexpr int kCoveredPool = 3000;

TEST_P(ProblemTypeTest, MakesOnlyProblemsOfItsPoolAndEveryOneOfASmallPool)
{
    const TypeCase& c = GetParam();
    std::unordered_set<std::string> pool;
    for (const Problem& problem : problemPool(c.type))
        pool.insert(keyText(problem));
    RandomSource random(42);
    testing::FixedClock clock;  // re-seeds with an unmoving clock still vary
    std::unordered_set<std::string> seen;
    for (int i = 0; i < 60000; ++i) {
        const Problem p = makeProblemOfType(c.type, random, clock);
        ASSERT_EQ(p.type, c.type);
        ASSERT_TRUE(pool.count(keyText(p))) << keyText(p);
        seen.insert(keyText(p));
    }
    if (c.distinct <= kCoveredPool) {
        EXPECT_EQ(seen.size(), static_cast<size_t>(c.distinct));
    }
}

TEST_P(ProblemTypeTest, ItsPoolHoldsEveryValidProblemOnce)
{
    const TypeCase& c = GetParam();
    std::unordered_set<std::string> pool;
    for (const Problem& problem : problemPool(c.type)) {
        ASSERT_TRUE(c.valid(parse(problem, c.decimals))) << keyText(problem);
        pool.insert(keyText(problem));
    }
    EXPECT_EQ(pool.size(), static_cast<size_t>(c.distinct));
    EXPECT_EQ(problemPool(c.type).size(), static_cast<size_t>(c.distinct));
    EXPECT_TRUE(pool.count(c.edge)) << c.edge;
}

// The largest value the random source can return: 1 − 2⁻⁵³.
constexpr double kLargestDraw = 0x1.fffffffffffffp-1;

// A source that gives its largest value at every fifth draw, so that each
// number of a draw of two or three gets it in turn, and seeded draws else.
class EdgeSource final : public RandomSource {
public:
    using RandomSource::RandomSource;
    double next() override { return ++draws_ % 5 == 0 ? kLargestDraw : RandomSource::next(); }

private:
    int draws_ = 0;
};

TEST_P(ProblemTypeTest, StaysInRangeWhenTheSourceGivesItsLargestValue)
{
    const TypeCase& c = GetParam();
    EdgeSource random(11);
    testing::FixedClock clock;
    for (int i = 0; i < 3000; ++i) {
        const Problem p = makeProblemOfType(c.type, random, clock);
        ASSERT_TRUE(c.valid(parse(p, c.decimals))) << keyText(p);
    }
}

constexpr std::pair<int, int> kDigit{1, 9};
constexpr std::pair<int, int> kTens{10, 90};
constexpr std::pair<int, int> kTwoDigit{10, 99};

// The rules' table: a row for every type of the table of types.
const TypeCase kTypeCases[] = {
    TypeCase{0, "＋", 81, "9＋9=18", {kDigit, kDigit}, {2, 18}},
    TypeCase{1, "+", 1260, "19+11=30", {kTwoDigit, kTwoDigit}, {20, 99}, carries},
    TypeCase{2, "－", 28, "9－7=2", {kDigit, kDigit}, {2, 8}},
    TypeCase{3, "－", 45, "18－9=9", {{10, 18}, kDigit}, {1, 9}, borrows},
    TypeCase{4, "－", 1980, "99－89=10", {{20, 99}, {10, 89}}, {10, 89}, borrowsNot},
    TypeCase{5, "－", 1260, "98－79=19", {{30, 98}, {11, 79}}, {11, 79}, borrows},
    TypeCase{6, "×", 81, "9×9=81", {kDigit, kDigit}, {1, 81}},
    TypeCase{7, "×", 720, "99×9=891", {kTwoDigit, {2, 9}}, {20, 891}},
    TypeCase{8, "÷", 64, "81÷9=9", {{4, 81}, {2, 9}}, {2, 9}},
    TypeCase{9, "＋－", 25, "5－5=0", {{1, 5}, {1, 5}}, {0, 5}},
    TypeCase{10, "＋", 45, "9＋1=10", {kDigit, kDigit}, {2, 10}},
    TypeCase{11, "＋－", 285, "10－9－1=0", {{1, 10}, {1, 10}, {1, 10}}, {0, 10}, sameOperators},
    TypeCase{
        12, "＋－", 715, "10－10＋10=10", {{1, 10}, {1, 10}, {1, 10}}, {0, 10}, mixedOperators},
    TypeCase{13, "＋", 36, "2＋9=11", {{2, 9}, {2, 9}}, {11, 18}},
    TypeCase{14, "＋－", 90, "100－10=90", {{10, 100}, kTens}, {10, 100}, wholeTens},
    TypeCase{15, "＋", 405, "90＋9=99", {kTwoDigit, kDigit}, {11, 99}, carriesNot},
    TypeCase{16, "＋", 369, "99＋1=100", {{11, 99}, kDigit}, {20, 100}, carries},
    TypeCase{17, "－", 405, "19－9=10", {{11, 99}, kDigit}, {10, 98}, borrowsNot},
    TypeCase{18, "－", 405, "10－9=1", {{10, 98}, kDigit}, {1, 89}, borrows},
    TypeCase{19, "＋－", 729, "91－90=1", {{11, 99}, kTens}, {1, 99}, tensAfterOnes},
    TypeCase{20,
             "＋－",
             150756,
             "10＋10＋80=100",
             {kTwoDigit, kTwoDigit, kTwoDigit},
             {0, 100},
             sameOperators},
    TypeCase{21,
             "＋－",
             464640,
             "99－89＋90=100",
             {kTwoDigit, kTwoDigit, kTwoDigit},
             {0, 100},
             mixedOperators},
    TypeCase{22, "÷", 324, "89÷9=9……8", {{3, 89}, {2, 9}}, {1, 9}, hasRemainder},
    TypeCase{23,
             "＋－",
             180,
             "10000－9000=1000",
             {{100, 10000}, {100, 9000}},
             {100, 10000},
             sameWholeUnit},
    TypeCase{24, "×", 144, "900×9=8100", {{10, 900}, {2, 9}}, {20, 8100}, tensOrHundreds},
    TypeCase{25, "÷", 14, "90÷3=30", {{20, 90}, {2, 9}}, {10, 40}, tensQuotient},
    TypeCase{26, "×", 81, "90×90=8100", {kTens, kTens}, {100, 8100}, wholeTens},
    TypeCase{27, "＋－", 8505, "0.3＋0.7=1", {{1, 99}, {1, 99}}, {1, 100}, decimalNumbers, 1},
};

INSTANTIATE_TEST_SUITE_P(Types, ProblemTypeTest, ::testing::ValuesIn(kTypeCases),
                         [](const auto& p) { return "Type" + std::to_string(p.param.type); });

// Every row has its case above, a caption short enough for a check box
// that names its row alone, and a gloss for the manual.
TEST(ProblemTypes, EveryRowIsCheckedNamedAndGlossed)
{
    EXPECT_EQ(std::size(kTypeCases), static_cast<size_t>(kTypeCount));
    for (int type = 0; type < kTypeCount; ++type) {
        const std::string caption = problemType(type).caption;
        EXPECT_LE(std::count_if(caption.begin(), caption.end(),
                                [](char c) { return (c & 0xC0) != 0x80; }),
                  12)
            << caption;
        EXPECT_EQ(typeOfCaption(caption), type);
        EXPECT_GT(std::string(problemType(type).gloss).size(), 5u) << caption;
    }
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
