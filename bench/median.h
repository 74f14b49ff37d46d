// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The median of a benchmark's runs: the middle value, or the mean of the two
// middle ones for an even count. Taken by value: the runs are sorted here.

#include <algorithm>
#include <vector>

namespace numbrook::bench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace numbrook::bench
