// SPDX-License-Identifier: GPL-3.0-or-later
// A class set's problems: counts per type, no repeats before a type's pool
// is spent, 填空 problems whose key fills the blank, the options refused.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <ostream>
#include <string>

#include "generator/sheet_set.h"

namespace numbrook {
namespace {

// The problem's type, when its pool holds the problem (blank or not); else -1.
int typeOf(Problem p)
{
    static std::array<std::set<std::string>, kTypeCount> pools;
    auto& pool = pools[static_cast<size_t>(p.type)];
    if (pool.empty()) {
        for (const Problem& pooled : problemPool(p.type))
            pool.insert(keyText(pooled));
    }
    p.blank = kNoBlank;
    return pool.count(keyText(p)) ? p.type : -1;
}

// A set of the given counts per type, and per sheet how often each key may
// come (0: not checked) and how many are 填空.
struct SetCase {
    const char* name;
    std::map<int, int> perType;
    ProblemForm form;
    bool noRepeats;
    int copies;
    int timesEach;
    int blanks;
    friend void PrintTo(const SetCase& c, std::ostream* out) { *out << c.name; }
};

SheetSetOptions counts(std::map<int, int> perType, ProblemForm form = ProblemForm::Result,
                       bool noRepeats = false, int copies = 1)
{
    SheetSetOptions o;
    for (const auto& [type, n] : perType)
        o.perType[static_cast<size_t>(type)] = n;
    o.form = form;
    o.noRepeats = noRepeats;
    o.copies = copies;
    return o;
}

class SheetSetTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SheetSetTest, DrawsWhatTheOptionsAsk)
{
    const SetCase& c = GetParam();
    const SheetSetOptions options = counts(c.perType, c.form, c.noRepeats, c.copies);
    ASSERT_EQ(optionsProblem(options), "");
    RandomSource random(7);
    const auto sheets = drawSheetSet(options, random);
    ASSERT_EQ(sheets.size(), static_cast<size_t>(c.copies));
    std::set<std::vector<std::string>> orders;
    for (const SheetProblems& sheet : sheets) {
        ASSERT_EQ(sheet.size(), static_cast<size_t>(problemsPerSheet(options)));
        std::map<std::string, int> times;
        std::map<int, int> perType;
        std::vector<std::string> order;
        int blanks = 0;
        for (const Problem& p : sheet) {
            const int type = typeOf(p);
            ASSERT_GE(type, 0) << keyText(p) << " is no problem of its type";
            ++perType[type];
            ++times[keyText(p)];
            order.push_back(keyText(p));
            if (p.blank != kNoBlank) {
                ++blanks;
                // The quotient or the remainder of a division with one; else
                // a number before "=".
                EXPECT_TRUE(p.remainder != 0 ? p.blank == p.count || p.blank == p.count + 1
                                             : p.blank >= 0 && p.blank < p.count)
                    << problemText(p);
            }
        }
        EXPECT_EQ(perType, c.perType);
        EXPECT_EQ(blanks, c.blanks);
        for (const auto& [answer, n] : times) {
            if (c.timesEach > 0) {
                EXPECT_EQ(n, c.timesEach) << answer;
            }
        }
        orders.insert(order);
    }
    EXPECT_EQ(orders.size(), sheets.size()) << "every sheet is its own draw";
}

INSTANTIATE_TEST_SUITE_P(
    Sets, SheetSetTest,
    ::testing::Values(
        // Type 2 has 28 problems: each comes once, then each a second time.
        SetCase{"AllOfAPoolOnce", {{2, 28}}, ProblemForm::Result, true, 3, 1, 0},
        SetCase{"APoolTwice", {{2, 56}}, ProblemForm::Result, true, 2, 2, 0},
        SetCase{"CountsPerType", {{0, 30}, {8, 70}}, ProblemForm::Result, false, 2, 0, 0},
        SetCase{"AllBlank", {{3, 45}, {7, 55}}, ProblemForm::Blank, true, 1, 1, 100},
        SetCase{"HalfBlank", {{5, 40}, {6, 60}}, ProblemForm::Mixed, false, 1, 0, 50},
        // Three numbers, a remainder, tenths.
        SetCase{"NewKindsBlank", {{11, 40}, {22, 40}, {27, 20}}, ProblemForm::Blank, false, 2, 0,
                100}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SheetSet, WithoutCountsDrawsTheTickedTypesOnly)
{
    SheetSetOptions o;
    o.types = {1, 4};
    o.count = 100;
    RandomSource random(3);
    std::set<int> types;
    const auto sheets = drawSheetSet(o, random);
    for (const Problem& p : sheets.front())
        types.insert(typeOf(p));
    EXPECT_EQ(types, (std::set<int>{1, 4}));
}

TEST(SheetSet, RefusesOptionsThatMakeNoSet)
{
    SheetSetOptions noTypes;
    noTypes.count = 10;
    SheetSetOptions over = counts({{0, 60}, {1, 41}});
    SheetSetOptions tooMany = counts({{0, 10}}, ProblemForm::Result, false, 61);
    SheetSetOptions none = counts({{0, 10}}, ProblemForm::Result, false, 0);
    SheetSetOptions negative = counts({{0, 10}, {1, -1}});
    SheetSetOptions badType;
    badType.types = {kTypeCount};
    badType.count = 10;
    for (const SheetSetOptions& o : {noTypes, over, tooMany, none, negative, badType})
        EXPECT_NE(optionsProblem(o), "");
    EXPECT_EQ(optionsProblem(counts({{0, 60}, {1, 40}}, ProblemForm::Mixed, true, 60)), "");
}

TEST(SheetSet, BlanksEveryNumberAChainOrADivisionWithARemainderMayLeave)
{
    RandomSource random(5);
    std::map<int, std::set<int>> places;
    const auto sheets = drawSheetSet(counts({{11, 50}, {22, 50}}, ProblemForm::Blank), random);
    for (const Problem& p : sheets.front())
        places[p.type].insert(p.blank);
    EXPECT_EQ(places[11], (std::set<int>{0, 1, 2}));
    EXPECT_EQ(places[22], (std::set<int>{2, 3}));
}

}  // namespace
}  // namespace numbrook
