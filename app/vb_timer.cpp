// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vb_timer.h"

#include <algorithm>

#include "core/text_value.h"

namespace numbrook {

VbTimer::VbTimer(QObject* parent) : QObject(parent)
{
    // Precise: a coarse timer may fire up to 5 % late, and the stopwatch
    // counts ticks rather than reading a clock.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &VbTimer::tick);
}

void VbTimer::setInterval(int ms)
{
    interval_ = std::clamp(ms, 0, kMaxTimerInterval);
    // QTimer with interval 0 would fire on every pass of the event loop.
    if (interval_ == 0)
        timer_.stop();
    else
        timer_.start(interval_);
}

}  // namespace numbrook
