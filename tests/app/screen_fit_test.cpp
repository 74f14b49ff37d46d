// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as the program opens them, on the screen the test runs on (set
// by the environment: an offscreen screen of a given size, a desktop scale).
#include <fstream>

#include <QScreen>
#include <QSettings>
#include <QTest>

#include "app/form_layout.h"
#include "app/sheet_window.h"
#include "app/window_look.h"
#include "tests/app/window_fixture.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

using testing::WindowTest;

TEST_F(WindowTest, OpensWithEveryControlOnTheScreen)
{
    fitToScreen(*w);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QRect available = w->screen()->availableGeometry();
    const QSize design = FormLayout::designSize();
    std::printf("screen %dx%d at desktop scale %.2f: window %dx%d, form scale %.4f\n",
                available.width(), available.height(), w->devicePixelRatioF(), w->width(),
                w->height(), w->formScale());

    EXPECT_TRUE(available.contains(w->frameGeometry()))
        << "frame at " << w->frameGeometry().x() << "," << w->frameGeometry().y() << " size "
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    const QRect window(w->mapToGlobal(QPoint(0, 0)), w->size());
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty())
            continue;
        const QRect r(c->mapToGlobal(QPoint(0, 0)), c->size());
        EXPECT_TRUE(window.contains(r)) << c->objectName().toStdString();
    }

    const bool roomy =
        available.width() >= design.width() + 40 && available.height() >= design.height() + 60;
    if (roomy) {
        EXPECT_EQ(w->size(), design) << "the designed size where it fits";
    } else {
        EXPECT_LT(w->formScale(), 1.0);
        // Scaled down as a whole: no band of more than a pixel around the form.
        EXPECT_NEAR(w->width(), design.width() * w->formScale(), 1);
        EXPECT_NEAR(w->height(), design.height() * w->formScale(), 1);
    }
}

// A class set of 40 with every type ticked: the side panel at its longest.
TEST(SheetWindowOnScreen, OpensWholeWithCloseAndTheStatusLineInView)
{
    testing::TempFolder folder;
    const std::string path = folder.file("numbrook.conf");
    std::ofstream(path) << "[sheets]\ntypes=0,1,2,3,4,5,6,7,8\ncopies=40\n";
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    testing::ScriptedBoxes boxes;
    testing::FixedClock clock;
    RandomSource random;
    SheetWindows windows(SheetWindowServices{boxes, random, settings, clock});
    SheetWindow* w = windows.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const QRect available = w->screen()->availableGeometry();
    std::printf("screen %dx%d: sheet window %dx%d\n", available.width(), available.height(),
                w->width(), w->height());

    EXPECT_TRUE(available.contains(w->frameGeometry()));
    const QRect window(w->mapToGlobal(QPoint(0, 0)), w->size());
    for (const char* name : {"CloseButton", "PrintButton", "PageCountLabel", "StatusLabel"}) {
        auto* c = w->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_TRUE(c->isVisible()) << name;
        EXPECT_TRUE(window.contains(QRect(c->mapToGlobal(QPoint(0, 0)), c->size()))) << name;
    }
    EXPECT_GT(w->pageCount(), 0);
}

}  // namespace
}  // namespace numbrook
