// SPDX-License-Identifier: GPL-3.0-or-later
// The time to lay the form out again when its window is resized around
// 1920 × 1080, with twenty answers on the panel: the re-layout alone (the
// resize handled), and the re-layout with the window painted afresh.
//   bin/relayout_bench [resizes]        (headless: QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/form1.h"
#include "app/real_services.h"
#include "app/startup.h"
#include "app/vb_timer.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void report(const char* what, std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    const auto at = [&](double q) {
        return t[std::min(t.size() - 1, size_t(q * double(t.size())))];
    };
    std::printf("%-28s median %6.2f ms   p95 %6.2f ms   max %6.2f ms\n", what, at(0.5), at(0.95),
                t.back());
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    const int resizes = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;

    numbrook::RealServices world(numbrook::SheetsHost::Builtin);
    numbrook::Form1 w(world.forWindow());
    w.show();
    w.Check1[7]->setChecked(true);
    w.Check1[5]->setChecked(true);
    w.Text1->setText(QStringLiteral("20"));
    w.Command1_Click();
    while (w.Timer1->interval() != 0)
        w.Timer1_Timer();
    w.Command2_Click();
    w.resize(1920, 1080);
    QApplication::processEvents();

    // Each step changes the scale, so every font is set again: the worst case
    // of a window edge dragged across the screen.
    std::vector<double> layout, painted;
    for (int i = 0; i < resizes; ++i) {
        const QSize size(1920 - (i % 2) * 24, 1080 - (i % 2) * 16);
        const auto t0 = Clock::now();
        w.resize(size);
        const auto t1 = Clock::now();
        w.repaint();
        const auto t2 = Clock::now();
        layout.push_back(ms(t1 - t0));
        painted.push_back(ms(t2 - t0));
    }
    // The same window painted again, its glyphs already drawn once.
    std::vector<double> still;
    for (int i = 0; i < resizes; ++i) {
        const auto t0 = Clock::now();
        w.repaint();
        still.push_back(ms(Clock::now() - t0));
    }
    std::printf("%d resizes around 1920x1080, scale %.3f\n", resizes, w.formScale());
    report("re-layout", layout);
    report("re-layout and repaint", painted);
    report("repaint, same size", still);
    return 0;
}
