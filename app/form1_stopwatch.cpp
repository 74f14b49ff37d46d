// SPDX-License-Identifier: GPL-3.0-or-later
// The stopwatch: Timer2 ticks every 100 ms while it runs; each tick is a tenth.
#include <QLabel>

#include "app/form1.h"
#include "app/vb_timer.h"
#include "display/stopwatch_format.h"

namespace numbrook {

void Form1::Command4_Click()
{
    Timer2->setInterval(0);
}

void Form1::Timer2_Timer()
{
    // Counts ticks, never reads a clock: a late tick is not made up.
    elapsedMs += 100;
    Label8->setText(QString::fromStdString(stopwatchText(elapsedMs)));
}

}  // namespace numbrook
