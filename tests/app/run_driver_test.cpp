// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCursor>

#include <set>

#include "generator/problem_types.h"
#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

using testing::WindowTest;

const std::string kScreenRange = "输出屏幕的题量为1-20题！";
const std::string kExportRange = "导出至文件的题量为1-100题！";

TEST_F(WindowTest, ADefaultRunTakesSixTicksForFiveProblems)
{
    w->Check1[6]->click();
    w->Command1_Click();
    EXPECT_EQ(w->runMode, 1);
    EXPECT_EQ(w->problemCount, 5);
    EXPECT_EQ(w->nextIndex, 1);
    EXPECT_EQ(w->Timer1->interval(), 1);
    EXPECT_EQ(w->problemTexts.size(), 6u);

    std::vector<int> intervals;
    std::vector<std::string> shown;
    for (int t = 1; t <= 6; ++t) {
        tick();
        intervals.push_back(w->Timer1->interval());
        shown.push_back(text(w->Label1));
    }
    EXPECT_EQ(intervals, (std::vector<int>{10, 10, 10, 10, 10, 0}));
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(w->nextIndex, 6);
    EXPECT_EQ(text(w->Label1), "");
    EXPECT_FALSE(w->Label1->isVisibleTo(w.get()));
    EXPECT_TRUE(w->problemTexts[0].empty());
    for (int i = 1; i <= 5; ++i) {
        const auto& p = w->problemTexts[static_cast<size_t>(i)];
        EXPECT_EQ(shown[static_cast<size_t>(i - 1)], p);  // each problem flashed in turn
        EXPECT_NE(p.find("×"), std::string::npos) << p;
        EXPECT_EQ(w->answerTexts[static_cast<size_t>(i)].rfind(p, 0), 0u);
    }
    EXPECT_EQ(visibleSlots(), 0);
}

TEST_F(WindowTest, TheIntervalIsReadOnceAfterTheFirstProblem)
{
    w->Text2->setText("2");
    w->Text1->setText("3");
    w->Command1_Click();
    tick();
    EXPECT_EQ(w->Timer1->interval(), 2000);
    w->Text2->setText("0.5");
    tick();
    EXPECT_EQ(w->Timer1->interval(), 2000);
}

TEST_F(WindowTest, AnIntervalThatCannotTickIsClamped)
{
    for (auto [text, ms] : {std::pair{"0", 1}, {"", 1}, {"-5", 1}, {"100", 65535}}) {
        w->Text2->setText(text);
        screenRun("2");  // reaches its end whatever the interval
        w->Text1->setText("2");
        w->Command1_Click();
        tick();
        EXPECT_EQ(w->Timer1->interval(), ms) << text;
    }
}

TEST_F(WindowTest, AnExportRunShowsNothingInTheLargeLabel)
{
    w->Text3->setText("3");
    w->Command7_Click();
    tick(3);
    EXPECT_EQ(text(w->Label1), "");
    EXPECT_TRUE(w->Label1->isVisibleTo(w.get()));
    EXPECT_EQ(w->Timer1->interval(), 10);
}

struct RejectCase {
    bool exportButton;
    const char* count;
};

void PrintTo(const RejectCase& c, std::ostream* os)
{
    *os << '"' << c.count << '"';
}

class RejectedStartTest : public WindowTest, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(RejectedStartTest, ShowsTheMessageAndKeepsTheRun)
{
    screenRun("5");
    w->Command3_Click();  // slots shown, stopwatch running
    w->Timer2_Timer();
    const auto problems = w->problemTexts;
    const int16_t before = w->exportNumber;

    QLineEdit* box = GetParam().exportButton ? w->Text3 : w->Text1;
    box->setText(QString::fromUtf8(GetParam().count));
    if (GetParam().exportButton)
        w->Command7_Click();
    else
        w->Command1_Click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, GetParam().exportButton ? kExportRange : kScreenRange);
    EXPECT_EQ(boxes.shown[0].title, "提示！");
    EXPECT_EQ(boxes.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(w->runMode, GetParam().exportButton ? 2 : 1);
    EXPECT_EQ(w->exportNumber, before + (GetParam().exportButton ? 1 : 0));
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_EQ(text(w->Label8), "0:0:0");
    EXPECT_FALSE(w->Line1[0]->isVisibleTo(w.get()));
    EXPECT_EQ(visibleSlots(), 5);  // the slots keep what they showed
    EXPECT_EQ(w->problemCount, 5);
    EXPECT_EQ(w->problemTexts, problems);
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(w->focusWidget(), w->Command4);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RejectedStartTest,
    ::testing::Values(RejectCase{false, "0"}, RejectCase{false, ""}, RejectCase{false, "abc"},
                      RejectCase{false, "-3"}, RejectCase{false, "21"}, RejectCase{false, "0.5"},
                      RejectCase{false, "1e9"}, RejectCase{false, "&H7FFFFFFF"},
                      RejectCase{false, "1E400"}, RejectCase{true, ""}, RejectCase{true, "101"},
                      RejectCase{true, "0"}, RejectCase{true, "-1E400"}),
    [](const auto& p) {
        return std::string(p.param.exportButton ? "Export" : "Screen") + std::to_string(p.index);
    });

TEST_F(WindowTest, AcceptedCountsAreRounded)
{
    for (auto [count, n] : {std::pair{"20.5", 20}, {"1.5", 2}, {" 1 2 ", 12}, {"&H14", 20}}) {
        w->Text1->setText(count);
        w->Command1_Click();
        EXPECT_EQ(w->problemCount, n) << count;
    }
    w->Text3->setText("100");
    w->Command7_Click();
    EXPECT_EQ(w->problemCount, 100);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowTest, EveryPressOfTheExportButtonCounts)
{
    w->Command7_Click();
    w->Text3->setText("101");
    w->Command7_Click();
    w->Text3->setText("3");
    w->Command7_Click();
    EXPECT_EQ(w->exportNumber, 3);
    EXPECT_EQ(boxes.shown.size(), 2u);
    w->exportNumber = 32766;
    w->Command7_Click();
    w->Command7_Click();
    EXPECT_EQ(w->exportNumber, 32767);  // stops rather than wraps
}

TEST_F(WindowTest, TheCursorIsBusyFromTheLastTickUntilABoxSpeaks)
{
    const auto busy = [] {
        return QApplication::overrideCursor() &&
               QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    };
    bool busyAtWork = false;
    bool busyAtBox = true;
    whenHostMade = [&] { busyAtWork = busy(); };
    boxes.whileOpen = [&] { busyAtBox = busy(); };
    w->Text3->setText("1");
    w->Command7_Click();
    tick(2);
    ASSERT_EQ(hostsMade, 1);
    EXPECT_TRUE(busyAtWork);
    EXPECT_FALSE(busyAtBox) << "the failure box";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, ARestartBeginsAgainFromProblemOne)
{
    w->Text1->setText("5");
    w->Command1_Click();
    tick(3);
    EXPECT_EQ(w->nextIndex, 4);
    w->Text1->setText("2");
    w->Command1_Click();
    EXPECT_EQ(w->nextIndex, 1);
    EXPECT_EQ(w->Timer1->interval(), 1);
    EXPECT_EQ(w->problemTexts, std::vector<std::string>(3));
    tick(3);
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(w->nextIndex, 3);
}

TEST_F(WindowTest, ARejectedStartHandsTheRunningRunToTheNewMode)
{
    // An export run interrupted by a refused screen start ends without export.
    w->Text3->setText("3");
    w->Command7_Click();
    tick(2);
    w->Text1->setText("0");
    w->Command1_Click();
    tick(2);
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(hostsMade, 0);

    // A screen run interrupted by a refused export start ends with an export.
    w->Text1->setText("2");
    w->Command1_Click();
    tick();
    w->Text3->setText("");
    w->Command7_Click();
    tick(2);
    EXPECT_EQ(hostsMade, 1);
}

TEST_F(WindowTest, TypesAreDrawnFromTheTickedBoxesOrStaleSlotZero)
{
    auto typesOfRun = [&] {
        screenRun("20");
        std::set<std::string> ops;
        for (size_t i = 1; i <= 20; ++i) {
            const std::string& p = w->problemTexts[i];
            ops.insert(p.find("＋") != std::string::npos   ? "＋"
                       : p.find("－") != std::string::npos ? "－"
                       : p.find("×") != std::string::npos  ? "×"
                       : p.find("÷") != std::string::npos  ? "÷"
                                                           : "+");
        }
        return ops;
    };
    EXPECT_EQ(typesOfRun(), std::set<std::string>{"＋"});  // never ticked: type 0
    w->Check1[8]->click();
    w->Check1[6]->click();
    EXPECT_EQ(typesOfRun(), (std::set<std::string>{"×", "÷"}));
    w->Check1[8]->click();
    w->Check1[6]->click();  // none ticked; slot 0 still says 6
    EXPECT_EQ(typesOfRun(), std::set<std::string>{"×"});
}

TEST_F(WindowTest, OneExportRunLeadsToOneExportUnderAModalBox)
{
    // Ticks delivered while the export's message box is open are not handled.
    int nested = 0;
    boxes.whileOpen = [&] {
        ++nested;
        tick(3);
    };
    w->Text3->setText("2");
    w->Command7_Click();
    tick(3);
    EXPECT_EQ(hostsMade, 1);
    EXPECT_GE(nested, 1);
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_FALSE(w->Label1->isVisibleTo(w.get()));
    // The failure was reported and the program takes the next run.
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text.rfind("导出失败：", 0), 0u);
    boxes.whileOpen = nullptr;
    screenRun("3");
    EXPECT_EQ(w->nextIndex, 4);
}

}  // namespace
}  // namespace numbrook
