// SPDX-License-Identifier: GPL-3.0-or-later
// The drill without its window: starts and their refusals, the ticks of a
// run, the types drawn, the export at a run's end, the panel and the
// stopwatch's count.

#include <gtest/gtest.h>

#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "core/text_value.h"
#include "drill/drill.h"
#include "tests/support/fakes.h"

namespace numbrook {
namespace {

using Kind = Drill::Tick::Kind;

class DrillTest : public ::testing::Test {
protected:
    testing::FixedClock clock;
    RandomSource random{2024};
    Drill drill{random, clock};
    int exports = 0;

    Drill::Tick tick()
    {
        return drill.tick([this] { ++exports; });
    }
    // Ticks until the run ends; the kinds of the ticks.
    std::vector<Kind> runToEnd()
    {
        std::vector<Kind> kinds;
        do
            kinds.push_back(tick().kind);
        while (kinds.back() == Kind::Made);
        return kinds;
    }
    void tickTypes(std::initializer_list<int> types)
    {
        std::array<bool, kDrillTypeCount> ticked{};
        for (int t : types)
            ticked[static_cast<size_t>(t)] = true;
        drill.selectTypes(ticked);
    }
};

TEST_F(DrillTest, FiveProblemsTakeSixTicks)
{
    tickTypes({6});
    ASSERT_EQ(drill.startScreenRun(5), "");
    EXPECT_EQ(drill.runMode, RunMode::Screen);
    EXPECT_EQ(drill.nextIndex, 1);
    EXPECT_EQ(drill.problemTexts.size(), 6u);
    std::vector<std::string> made;
    for (int t = 1; t <= 5; ++t) {
        const Drill::Tick made1 = tick();
        ASSERT_EQ(made1.kind, Kind::Made);
        EXPECT_EQ(made1.first, t == 1);
        made.push_back(made1.problem);
    }
    EXPECT_EQ(tick().kind, Kind::Ended);
    EXPECT_EQ(drill.nextIndex, 6);
    EXPECT_TRUE(drill.problemTexts[0].empty());
    for (size_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(drill.problemTexts[i], made[i - 1]);
        EXPECT_NE(made[i - 1].find("×"), std::string::npos);
        EXPECT_EQ(drill.answerTexts[i].rfind(made[i - 1], 0), 0u);
    }
    EXPECT_EQ(exports, 0);
}

struct RejectCase {
    bool exportRun;
    const char* count;
    friend void PrintTo(const RejectCase& c, std::ostream* out)
    {
        *out << (c.exportRun ? "export \"" : "screen \"") << c.count << '"';
    }
};

class RefusedStart : public DrillTest, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(RefusedStart, GivesTheMessageAndKeepsTheRun)
{
    ASSERT_EQ(drill.startScreenRun(5), "");
    runToEnd();
    const auto problems = drill.problemTexts;
    const int16_t before = drill.exportNumber;
    const int16_t count = countFromText(GetParam().count);
    const std::string refusal =
        GetParam().exportRun ? drill.startExportRun(count) : drill.startScreenRun(count);
    EXPECT_EQ(refusal,
              GetParam().exportRun ? "导出至文件的题量为1-100题！" : "输出屏幕的题量为1-20题！");
    EXPECT_EQ(drill.runMode, GetParam().exportRun ? RunMode::Export : RunMode::Screen);
    EXPECT_EQ(drill.exportNumber, before + (GetParam().exportRun ? 1 : 0));
    EXPECT_EQ(drill.problemCount, 5);
    EXPECT_EQ(drill.problemTexts, problems);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RefusedStart,
    ::testing::Values(RejectCase{false, "0"}, RejectCase{false, ""}, RejectCase{false, "abc"},
                      RejectCase{false, "-3"}, RejectCase{false, "21"}, RejectCase{false, "0.5"},
                      RejectCase{false, "1e9"}, RejectCase{false, "&H7FFFFFFF"},
                      RejectCase{false, "1E400"}, RejectCase{true, ""}, RejectCase{true, "101"},
                      RejectCase{true, "0"}, RejectCase{true, "-1E400"}),
    [](const auto& p) {
        return std::string(p.param.exportRun ? "Export" : "Screen") + std::to_string(p.index);
    });

TEST_F(DrillTest, AcceptedCountsAreRounded)
{
    for (auto [count, n] : {std::pair{"20.5", 20}, {"1.5", 2}, {" 1 2 ", 12}, {"&H14", 20}}) {
        EXPECT_EQ(drill.startScreenRun(countFromText(count)), "") << count;
        EXPECT_EQ(drill.problemCount, n) << count;
    }
    EXPECT_EQ(drill.startExportRun(countFromText("100")), "");
    EXPECT_EQ(drill.problemCount, 100);
}

TEST_F(DrillTest, EveryExportStartCountsAndTheCountStopsAtItsLargest)
{
    drill.startExportRun(0);
    drill.startExportRun(101);
    drill.startExportRun(3);
    EXPECT_EQ(drill.exportNumber, 3);
    drill.exportNumber = 32766;
    drill.startExportRun(3);
    drill.startExportRun(3);
    EXPECT_EQ(drill.exportNumber, 32767);
}

TEST_F(DrillTest, ARestartBeginsAgainFromProblemOne)
{
    drill.startScreenRun(5);
    tick();
    tick();
    tick();
    EXPECT_EQ(drill.nextIndex, 4);
    drill.startScreenRun(2);
    EXPECT_EQ(drill.nextIndex, 1);
    EXPECT_EQ(drill.problemTexts, std::vector<std::string>(3));
    EXPECT_EQ(runToEnd(), (std::vector<Kind>{Kind::Made, Kind::Made, Kind::Ended}));
}

TEST_F(DrillTest, ARefusedStartHandsTheRunningRunToTheNewMode)
{
    // An export run interrupted by a refused screen start ends without export.
    drill.startExportRun(3);
    tick();
    drill.startScreenRun(0);
    runToEnd();
    EXPECT_EQ(exports, 0);
    // A screen run interrupted by a refused export start ends with an export.
    drill.startScreenRun(2);
    tick();
    drill.startExportRun(0);
    runToEnd();
    EXPECT_EQ(exports, 1);
}

TEST_F(DrillTest, ATickDuringTheExportIsSkipped)
{
    drill.startExportRun(1);
    tick();
    std::vector<Kind> nested;
    EXPECT_EQ(drill.tick([&] { nested.push_back(tick().kind); }).kind, Kind::Ended);
    EXPECT_EQ(nested, std::vector<Kind>{Kind::Skipped});
}

TEST_F(DrillTest, TypesAreDrawnFromTheTickedOnesOrStaleSlotZero)
{
    auto operatorsOfRun = [&] {
        drill.startScreenRun(20);
        runToEnd();
        std::set<std::string> ops;
        for (size_t i = 1; i <= 20; ++i) {
            for (const char* op : {"＋", "－", "×", "÷", "+"}) {
                if (drill.problemTexts[i].find(op) != std::string::npos) {
                    ops.insert(op);
                    break;
                }
            }
        }
        return ops;
    };
    EXPECT_EQ(operatorsOfRun(), std::set<std::string>{"＋"});  // never ticked: type 0
    tickTypes({6, 8});
    EXPECT_EQ(operatorsOfRun(), (std::set<std::string>{"×", "÷"}));
    tickTypes({});  // none ticked; slot 0 still says 6
    EXPECT_EQ(operatorsOfRun(), std::set<std::string>{"×"});
}

TEST_F(DrillTest, ThePanelShowsAtMostTwentyAndRefusesAfterAnExportStart)
{
    EXPECT_TRUE(drill.panelTexts(false).empty());  // before any run
    drill.startExportRun(30);
    runToEnd();
    EXPECT_NE(drill.panelRefusal(), "");
    drill.startScreenRun(0);  // refused: a screen run, problemCount still 30
    EXPECT_EQ(drill.panelRefusal(), "");
    const auto answers = drill.panelTexts(true);
    ASSERT_EQ(answers.size(), 20u);
    EXPECT_EQ(answers.back(), drill.answerTexts[20]);
}

TEST_F(DrillTest, TheStopwatchCountsTenthsFromZero)
{
    std::string shown;
    for (int i = 0; i < 615; ++i)
        shown = drill.stopwatchTick();
    EXPECT_EQ(shown, "1:1:5");
    EXPECT_EQ(drill.elapsedMs, 61500);
    drill.resetStopwatch();
    EXPECT_EQ(drill.stopwatchTick(), "0:0:1");
}

}  // namespace
}  // namespace numbrook
