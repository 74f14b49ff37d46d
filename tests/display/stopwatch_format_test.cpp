// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/stopwatch_format.h"

namespace numbrook {
namespace {

TEST(StopwatchText, ShowsMinutesSecondsTenthsAfterTicks)
{
    const std::pair<long long, const char*> cases[] = {
        {0, "0:0:0"},
        {1, "0:0:1"},
        {9, "0:0:9"},
        {10, "0:1:0"},
        {600, "1:0:0"},
        {615, "1:1:5"},
        {753, "1:15:3"},
        {35999, "59:59:9"},
        {36000, "0:0:0"},
        {36001, "0:0:1"},
        {21474836470LL, "14:7:0"},
    };
    for (auto [ticks, text] : cases)
        EXPECT_EQ(stopwatchText(static_cast<double>(ticks) * 100), text) << ticks;
}

TEST(StopwatchText, CountsEveryTickOfAnHour)
{
    // Adding 100 at a time, as the tick does, never drifts off the tenths.
    double ms = 0;
    for (int tick = 1; tick <= 36000; ++tick) {
        ms += 100;
        const std::string expected = std::to_string(tick / 600 % 60) + ":" +
                                     std::to_string(tick / 10 % 60) + ":" +
                                     std::to_string(tick % 10);
        ASSERT_EQ(stopwatchText(ms), expected) << tick;
    }
}

}  // namespace
}  // namespace numbrook
