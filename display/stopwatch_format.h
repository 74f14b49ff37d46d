// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace numbrook {

// The stopwatch's text for a count of milliseconds: minutes:seconds:tenths,
// no padding, minutes wrapping after 59 ("1:1:5" for 61.5 s).
std::string stopwatchText(double elapsedMs);

}  // namespace numbrook
