// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real stopwatch and compares the time it shows with real time.
//   build/bin/stopwatch_bench [seconds=30] [--busy]
// --busy keeps the other core spinning meanwhile. The stopwatch counts ticks
// and never reads a clock, so late ticks show as drift.
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/form1.h"
#include "app/real_services.h"
#include "app/startup.h"
#include "app/vb_timer.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    int seconds = 30;
    bool busy = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--busy") == 0)
            busy = true;
        else
            seconds = std::atoi(argv[i]);
    }

    std::atomic<bool> spinning{busy};
    std::thread spinner([&] {
        volatile unsigned long x = 0;
        while (spinning)
            x = x + 1;
    });

    using Clock = std::chrono::steady_clock;
    numbrook::RealServices world(numbrook::SheetsHost::Builtin);
    numbrook::Form1 w(world.forWindow());
    w.show();
    Clock::time_point start;
    Clock::time_point lastTick;
    long ticks = 0;
    QObject::connect(w.Timer2, &numbrook::VbTimer::tick, [&] {
        lastTick = Clock::now();
        ++ticks;
    });
    double worstLateMs = 0;
    QObject::connect(w.Timer2, &numbrook::VbTimer::tick, [&] {
        const double due = static_cast<double>(ticks) * 100;
        const double at = std::chrono::duration<double, std::milli>(lastTick - start).count();
        worstLateMs = std::max(worstLateMs, at - due);
    });
    QTimer::singleShot(0, [&] {
        start = Clock::now();
        w.Command3_Click();
    });
    QTimer::singleShot(seconds * 1000 + 50, [&] { QApplication::quit(); });
    QApplication::exec();
    spinning = false;
    spinner.join();

    const double real = std::chrono::duration<double>(lastTick - start).count();
    const double shown = w.drill().elapsedMs / 1000;
    std::printf(
        "%s: %ld ticks, shown %.1f s (\"%s\"), real %.3f s, drift %+.3f %%, "
        "latest tick %.1f ms behind its time\n",
        busy ? "other core busy" : "idle", ticks, shown, w.Label8->text().toUtf8().constData(),
        real, (shown - real) / real * 100, worstLateMs);
}
