// SPDX-License-Identifier: GPL-3.0-or-later
// The draws a fixed seed and clock give, for every type in the drill and
// for every form of a class set: what the program drew before its problems
// were kept as numbers, and must go on drawing.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "drill/drill.h"
#include "generator/sheet_set.h"
#include "tests/support/fakes.h"

namespace numbrook {
namespace {

// The first text of a sequence, and an FNV-1a hash of all of them.
struct Digest {
    std::string first;
    uint64_t hash = 1469598103934665603ULL;
    void add(const std::string& text, const std::string& answer)
    {
        const std::string line = text + ' ' + answer;
        if (first.empty())
            first = line;
        for (unsigned char c : line + '\n')
            hash = (hash ^ c) * 1099511628211ULL;
    }
};

struct DrillCase {
    int type;  // -1: all nine ticked
    const char* first;
    uint64_t hash;
};

class GoldenDrill : public ::testing::TestWithParam<DrillCase> {};

TEST_P(GoldenDrill, TwentyProblemsAsTheyWereDrawn)
{
    testing::FixedClock clock;
    RandomSource random(2026);
    Drill drill(random, clock);
    std::array<bool, kDrillTypeCount> ticked{};
    for (int t = 0; t < kDrillTypeCount; ++t)
        ticked[static_cast<size_t>(t)] = GetParam().type < 0 || GetParam().type == t;
    drill.selectTypes(ticked);
    ASSERT_EQ(drill.startScreenRun(20), "");
    while (drill.tick({}).kind == Drill::Tick::Kind::Made) {
    }
    Digest d;
    for (int i = 1; i <= 20; ++i)
        d.add(drill.problemTexts[static_cast<size_t>(i)],
              drill.answerTexts[static_cast<size_t>(i)]);
    EXPECT_EQ(d.first, GetParam().first);
    EXPECT_EQ(d.hash, GetParam().hash);
}

INSTANTIATE_TEST_SUITE_P(
    Types, GoldenDrill,
    ::testing::Values(DrillCase{0, "6＋3= 6＋3=9", 4206111049887024466ULL},
                      DrillCase{1, "29+69= 29+69=98", 3036390465334385820ULL},
                      DrillCase{2, "6－3= 6－3=3", 12682811348681505966ULL},
                      DrillCase{3, "14－9= 14－9=5", 11148728778297930593ULL},
                      DrillCase{4, "87－57= 87－57=30", 10663661318132031446ULL},
                      DrillCase{5, "93－74= 93－74=19", 13628133298928764469ULL},
                      DrillCase{6, "6×3= 6×3=18", 9354780829568456842ULL},
                      DrillCase{7, "63×4= 63×4=252", 11242584973199620594ULL},
                      DrillCase{8, "18÷3= 18÷3=6", 5663674976694808769ULL},
                      DrillCase{-1, "6－3= 6－3=3", 9950569334143514084ULL}),
    [](const auto& p) { return "Type" + std::to_string(p.param.type + 1); });

struct SetCase {
    ProblemForm form;
    bool noRepeats;
    bool perType;  // counts per type, else a count over all the types
    const char* first;
    uint64_t hash;
};

class GoldenSet : public ::testing::TestWithParam<SetCase> {};

TEST_P(GoldenSet, TwoSheetsAsTheyWereDrawn)
{
    SheetSetOptions o;
    o.form = GetParam().form;
    o.noRepeats = GetParam().noRepeats;
    o.copies = 2;
    if (GetParam().perType) {
        for (int t = 0; t < kDrillTypeCount; ++t)
            o.perType[static_cast<size_t>(t)] = t + 2;
    } else {
        o.types = {0, 3, 5, 8};
        o.count = 37;
    }
    RandomSource random(2026);
    Digest d;
    for (const SheetProblems& sheet : drawSheetSet(o, random))
        for (const Problem& p : sheet)
            d.add(problemText(p), keyText(p));
    EXPECT_EQ(d.first, GetParam().first);
    EXPECT_EQ(d.hash, GetParam().hash);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, GoldenSet,
    ::testing::Values(
        SetCase{ProblemForm::Result, false, true, "2×6= 2×6=12", 13454382792453151100ULL},
        SetCase{ProblemForm::Result, true, true, "1×3= 1×3=3", 13405053866208664625ULL},
        SetCase{ProblemForm::Blank, true, false, "48÷（　　）=6 48÷8=6", 9242429639179677662ULL},
        SetCase{ProblemForm::Mixed, false, false, "（　　）÷6=6 36÷6=6", 2938709569119068411ULL},
        SetCase{ProblemForm::Mixed, true, true, "2×3= 2×3=6", 12310477429581534872ULL}));

}  // namespace
}  // namespace numbrook
