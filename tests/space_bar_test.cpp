#include <QSignalSpy>
#include <QTest>

#include "tests/window_fixture.h"

namespace numbrook {
namespace {

// Real key presses through the window system: the space bar reaches whatever
// has the focus, and the drill leaves it on "停止".
class SpaceBarTest : public testing::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }

    void pressSpace()
    {
        QSignalSpy clicked(w->Command4, &QPushButton::clicked);
        QTest::keyClick(w->windowHandle(), Qt::Key_Space);
        QTRY_COMPARE(clicked.count(), 1);
    }
};

TEST_F(SpaceBarTest, StopsTheStopwatchAfterEveryActionThatGivesStopTheFocus)
{
    const std::function<void()> actions[] = {
        [&] { screenRun("3"); },
        [&] { w->Command3->click(); },
        [&] {
            w->Command3->click();
            w->Command2->click();
        },
        [&] {
            w->Text3->setText("0");
            w->Command7->click();  // refused, but the focus is on "停止" all the same
        },
    };
    for (const auto& action : actions) {
        w->Check1[0]->setFocus();
        w->Command3->click();  // the watch runs
        w->Check1[0]->setFocus();
        action();
        // Set the watch running without touching the focus.
        w->Timer2->setInterval(100);
        w->elapsedMs = 0;
        w->Timer2_Timer();
        pressSpace();
        EXPECT_FALSE(w->Timer2->isTicking());
        EXPECT_EQ(text(w->Label8), "0:0:1");
        boxes.shown.clear();
    }
}

TEST_F(SpaceBarTest, ActsOnAnotherControlOnceTheFocusMoves)
{
    w->Command3->click();
    w->Check1[2]->setFocus();
    QTest::keyClick(w->windowHandle(), Qt::Key_Space);
    QTRY_VERIFY(w->Check1[2]->isChecked());
    EXPECT_TRUE(w->Timer2->isTicking());
}

}  // namespace
}  // namespace numbrook
