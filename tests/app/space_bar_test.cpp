// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSignalSpy>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>

#include "app/form_layout.h"

#include "tests/app/window_fixture.h"

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
        w->Timer2_Timer();
        const std::string running = text(w->Label8);
        pressSpace();
        EXPECT_FALSE(w->Timer2->isTicking());
        EXPECT_EQ(text(w->Label8), running);
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

// F11 and Esc from wherever the focus is: they act on the window only, and
// the space bar still presses a focused "停止" on the whole screen.
class FullScreenTest : public SpaceBarTest, public ::testing::WithParamInterface<const char*> {
protected:
    void press(Qt::Key key) { QTest::keyClick(w->windowHandle(), key); }
};

TEST_P(FullScreenTest, F11TogglesAndEscLeaves)
{
    auto* focus = w->findChild<QWidget*>(GetParam());
    ASSERT_NE(focus, nullptr);
    const QString textBefore = w->Text1->text();
    focus->setFocus();

    press(Qt::Key_F11);
    QTRY_VERIFY(w->isFullScreen());
    const QSize screen = w->screen()->geometry().size();
    QTRY_COMPARE(w->size(), screen);
    EXPECT_DOUBLE_EQ(w->formScale(), FormLayout::scaleFor(screen));
    EXPECT_EQ(w->focusWidget(), focus);

    // The drill goes on: "显示" gives "停止" the focus and the space bar presses it.
    w->Command3->click();
    pressSpace();
    EXPECT_FALSE(w->Timer2->isTicking());
    EXPECT_TRUE(w->isFullScreen());

    focus->setFocus();
    press(Qt::Key_Escape);
    QTRY_VERIFY(!w->isFullScreen());
    QTRY_COMPARE(w->size(), FormLayout::designSize());
    EXPECT_DOUBLE_EQ(w->formScale(), 1.0);

    press(Qt::Key_Escape);  // outside the whole screen Esc is nobody's
    press(Qt::Key_F11);
    QTRY_VERIFY(w->isFullScreen());
    press(Qt::Key_F11);
    QTRY_VERIFY(!w->isFullScreen());
    EXPECT_EQ(w->Text1->text(), textBefore);
    EXPECT_EQ(w->focusWidget(), focus);
}

INSTANTIATE_TEST_SUITE_P(Focus, FullScreenTest,
                         ::testing::Values("Check1(3)", "Text1", "Command4", "Command1"),
                         [](const auto& p) {
                             std::string n = p.param;
                             std::erase_if(n, [](char c) { return c == '(' || c == ')'; });
                             return n;
                         });

// A finger's tap on a touch screen is a click, at every size of the form.
class TouchTest : public SpaceBarTest, public ::testing::WithParamInterface<QSize> {};

TEST_P(TouchTest, ATapClicksEveryButtonAndCheckBox)
{
    static QPointingDevice* finger = QTest::createTouchDevice();
    w->resize(GetParam());
    QTRY_COMPARE(w->size(), GetParam());
    boxes.answers.assign(8, Answer::Ok);
    QList<QAbstractButton*> targets{w->Command1, w->Command3, w->Command2, w->Command7,
                                    w->Command4};
    for (QCheckBox* b : w->Check1)
        targets.append(b);
    for (QAbstractButton* b : targets) {
        // On a check box, the middle of its box and caption.
        QPoint spot = b->rect().center();
        if (auto* box = qobject_cast<QCheckBox*>(b)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            spot =
                box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box).center();
        }
        const QPoint at = b->mapTo(w.get(), spot);
        const bool wasChecked = b->isChecked();
        QSignalSpy clicked(b, &QAbstractButton::clicked);
        QTest::touchEvent(w->windowHandle(), finger).press(0, at, w->windowHandle());
        QTest::touchEvent(w->windowHandle(), finger).release(0, at, w->windowHandle());
        QTRY_COMPARE(clicked.count(), 1);
        if (b->isCheckable()) {
            EXPECT_NE(b->isChecked(), wasChecked) << b->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TouchTest,
                         ::testing::Values(QSize(1016, 702), QSize(1524, 1053), QSize(2032, 1404),
                                           QSize(1920, 1080)),
                         [](const auto& p) {
                             return std::to_string(p.param.width()) + "x" +
                                    std::to_string(p.param.height());
                         });

}  // namespace
}  // namespace numbrook
