// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A practice's figures as the practice window and the records window show them.

#include <QString>

#include <cmath>
#include <cstdint>

namespace numbrook {

// "1分05秒", "45秒".
inline QString duration(int64_t ms)
{
    const int64_t s = (ms + 500) / 1000;
    return s >= 60 ? QStringLiteral("%1分%2秒").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'))
                   : QStringLiteral("%1秒").arg(s);
}

// "70%", or "—" of none.
inline QString percent(int right, int all)
{
    return all == 0 ? QStringLiteral("—")
                    : QStringLiteral("%1%").arg(std::lround(100.0 * right / all));
}

}  // namespace numbrook
