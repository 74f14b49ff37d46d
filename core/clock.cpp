// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clock.h"

#include <chrono>
#include <ctime>

namespace numbrook {

LocalTime SystemClock::now() const
{
    using namespace std::chrono;
    const auto t = system_clock::now();
    const auto secs = time_point_cast<seconds>(t);
    const std::time_t tt = system_clock::to_time_t(secs);
    std::tm tm{};
    localtime_r(&tt, &tm);
    LocalTime r;
    r.year = tm.tm_year + 1900;
    r.month = tm.tm_mon + 1;
    r.day = tm.tm_mday;
    r.hour = tm.tm_hour;
    r.minute = tm.tm_min;
    r.second = tm.tm_sec;
    r.nanosecond = duration_cast<nanoseconds>(t - secs).count();
    return r;
}

}  // namespace numbrook
