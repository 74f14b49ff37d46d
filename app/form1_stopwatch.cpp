// SPDX-License-Identifier: GPL-3.0-or-later
// The stopwatch: Timer2 ticks every 100 ms while it runs; each tick is a tenth.
#include <QLabel>

#include "app/form1.h"
#include "app/vb_timer.h"

namespace numbrook {

void Form1::Command4_Click()
{
    Timer2->setInterval(0);
}

void Form1::Timer2_Timer()
{
    Label8->setText(QString::fromStdString(drill_.stopwatchTick()));
}

}  // namespace numbrook
