// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCursor>

#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, ARunFlashesEachProblemAtTheIntervalAndEndsOnTheSixthTick)
{
    w->Check1[6]->click();
    w->Command1_Click();
    EXPECT_EQ(w->Timer1->interval(), 1);
    std::vector<int> intervals;
    std::vector<std::string> shown;
    for (int t = 1; t <= 6; ++t) {
        tick();
        intervals.push_back(w->Timer1->interval());
        shown.push_back(text(w->Label1));
    }
    EXPECT_EQ(intervals, (std::vector<int>{10, 10, 10, 10, 10, 0}));
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(text(w->Label1), "");
    EXPECT_FALSE(w->Label1->isVisibleTo(w.get()));
    for (size_t i = 1; i <= 5; ++i)
        EXPECT_EQ(shown[i - 1], w->drill().problemTexts[i]);  // each problem flashed in turn
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

TEST_F(WindowTest, ARefusedStartShowsTheMessageAndResetsOnlyTheStopwatch)
{
    screenRun("5");
    w->Command3_Click();  // slots shown, stopwatch running
    w->Timer2_Timer();
    w->Text3->setText("101");
    w->Command7_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "导出至文件的题量为1-100题！");
    EXPECT_EQ(boxes.shown[0].title, "提示！");
    EXPECT_EQ(boxes.shown[0].buttons, Buttons::Ok);
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_EQ(text(w->Label8), "0:0:0");
    EXPECT_FALSE(w->Line1[0]->isVisibleTo(w.get()));
    EXPECT_EQ(visibleSlots(), 5);  // the slots keep what they showed
    EXPECT_FALSE(w->Timer1->isTicking());
    EXPECT_EQ(w->focusWidget(), w->Command4);
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
    EXPECT_EQ(w->drill().nextIndex, 4);
}

}  // namespace
}  // namespace numbrook
