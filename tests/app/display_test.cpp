// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFontInfo>
#include <QFontMetrics>

#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, ShowLaysTheProblemsOutRowByRow)
{
    screenRun("5");
    w->Command3_Click();
    EXPECT_TRUE(linesVisible());
    EXPECT_EQ(visibleSlots(), 5);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(text(w->Label6[n]), w->drill().problemTexts[static_cast<size_t>(n)]) << n;
    EXPECT_EQ(w->Label6[5]->x(), w->Label6[1]->x());  // slot 5 opens the second row
    EXPECT_GT(w->Label6[5]->y(), w->Label6[4]->y());
    EXPECT_TRUE(w->Timer2->isTicking());
    EXPECT_EQ(w->Timer2->interval(), 100);
    EXPECT_EQ(w->focusWidget(), w->Command4);

    w->Timer2_Timer();
    w->Timer2_Timer();
    w->Command2_Click();  // the answers in the same slots; the time stays
    EXPECT_EQ(visibleSlots(), 5);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(text(w->Label6[n]), w->drill().answerTexts[static_cast<size_t>(n)]) << n;
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_EQ(text(w->Label8), "0:0:2");
    EXPECT_EQ(w->focusWidget(), w->Command4);

    w->Command3_Click();  // the questions come back, the watch from zero
    EXPECT_EQ(text(w->Label6[1]), w->drill().problemTexts[1]);
    EXPECT_EQ(w->drill().elapsedMs, 0);
    EXPECT_EQ(text(w->Label8), "0:0:2");  // until the first tick
    w->Timer2_Timer();
    EXPECT_EQ(text(w->Label8), "0:0:1");
}

TEST_F(WindowTest, TwentyProblemsFillEverySlot)
{
    screenRun("20");
    w->Command2_Click();
    EXPECT_EQ(visibleSlots(), 20);
    EXPECT_EQ(text(w->Label6[20]), w->drill().answerTexts[20]);
    for (int n = 1; n < 20; ++n) {
        EXPECT_LE(w->Label6[n]->y(), w->Label6[20]->y());
        EXPECT_LE(w->Label6[n]->x(), w->Label6[20]->x());
    }
}

// Their fit, at this size and others: ScaledFormTest.TheWidestTextsStayWholeInsideTheirLabels.
TEST_F(WindowTest, TheWidestTextsHaveEveryGlyphInTheirFace)
{
    // The CJK serif face stands in for "宋体"; a fallback font would be wider.
    EXPECT_EQ(QFontInfo(w->Label6[1]->font()).family(), "Noto Serif CJK SC");
    for (auto [label, sample] : widestTexts()) {
        for (QChar c : QString::fromUtf8(sample))
            EXPECT_TRUE(QFontMetrics(label->font()).inFont(c)) << sample;
    }
}

TEST_F(WindowTest, AnswersWithoutShowLeaveTheWatchAtZero)
{
    screenRun("3");
    w->Command2_Click();
    EXPECT_EQ(visibleSlots(), 3);
    EXPECT_EQ(text(w->Label6[3]), w->drill().answerTexts[3]);
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_EQ(text(w->Label8), "0:0:0");
}

TEST_F(WindowTest, BeforeAnyRunOnlyTheLinesShow)
{
    w->Command3_Click();
    EXPECT_TRUE(linesVisible());
    EXPECT_EQ(visibleSlots(), 0);
    EXPECT_TRUE(w->Timer2->isTicking());
    w->Command2_Click();
    EXPECT_FALSE(w->Timer2->isTicking());
}

TEST_F(WindowTest, DuringARunTheUnmadeProblemsShowEmpty)
{
    w->Text1->setText("4");
    w->Command1_Click();
    tick(2);
    w->Command3_Click();
    EXPECT_EQ(visibleSlots(), 4);
    EXPECT_EQ(text(w->Label6[2]), w->drill().problemTexts[2]);
    EXPECT_EQ(text(w->Label6[3]), "");
    EXPECT_TRUE(w->Label1->isVisibleTo(w.get()));  // the run goes on flashing
    tick(3);
    EXPECT_EQ(text(w->Label6[3]), "");  // a snapshot taken at the click
}

TEST_F(WindowTest, AfterAnExportRunBothButtonsRefuse)
{
    screenRun("5");
    w->Command3_Click();
    w->Timer2_Timer();
    w->Text3->setText("");
    w->Command7_Click();  // refused, but the mode is now export
    boxes.shown.clear();
    w->Text2->setFocus();
    const std::string shownTime = text(w->Label8);
    for (auto click : {&Form1::Command3_Click, &Form1::Command2_Click}) {
        ((*w).*click)();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "目前运行结果用于导出至文件，无法输出到屏幕！");
        EXPECT_EQ(boxes.shown[0].title, "提示！");
        EXPECT_EQ(boxes.shown[0].buttons, Buttons::Ok);
        boxes.shown.clear();
        EXPECT_EQ(w->focusWidget(), w->Text2);
        EXPECT_EQ(text(w->Label8), shownTime);
        EXPECT_FALSE(w->Timer2->isTicking());
        EXPECT_FALSE(linesVisible());
        EXPECT_EQ(visibleSlots(), 5);
    }
}

TEST_F(WindowTest, StopwatchStatesFollowTheButtons)
{
    w->Command3_Click();
    for (int i = 0; i < 615; ++i)
        w->Timer2_Timer();
    EXPECT_EQ(text(w->Label8), "1:1:5");
    w->Command4_Click();
    EXPECT_FALSE(w->Timer2->isTicking());
    w->Command4_Click();  // a second stop changes nothing
    EXPECT_EQ(text(w->Label8), "1:1:5");
    w->Command3_Click();  // started again from zero
    EXPECT_EQ(w->drill().elapsedMs, 0);
    EXPECT_TRUE(w->Timer2->isTicking());
    screenRun("1");  // every run start resets it
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_EQ(text(w->Label8), "0:0:0");
}

}  // namespace
}  // namespace numbrook
