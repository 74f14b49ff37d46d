// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the program opens it, on the screen the test runs on (set by
// the environment: an offscreen screen of a given size, a desktop scale).
#include <QScreen>
#include <QTest>

#include "app/form_layout.h"
#include "app/window_look.h"
#include "tests/app/window_fixture.h"

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

}  // namespace
}  // namespace numbrook
