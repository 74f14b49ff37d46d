// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/stopwatch_format.h"

#include <cmath>

namespace numbrook {

std::string stopwatchText(double elapsedMs)
{
    // 64-bit counts: the tenths never overflow, however long the watch runs.
    const auto tenths = static_cast<long long>(std::nearbyint(elapsedMs / 100)) % 10;
    const auto minutes = static_cast<long long>(std::floor(elapsedMs / 60000)) % 60;
    const auto seconds = static_cast<long long>(std::floor(elapsedMs / 1000)) % 60;
    return std::to_string(minutes) + ":" + std::to_string(seconds) + ":" + std::to_string(tenths);
}

}  // namespace numbrook
