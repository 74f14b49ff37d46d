// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace numbrook {

// A reading of the local wall clock.
struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    int64_t nanosecond = 0;  // within the second

    // Nanoseconds since local midnight: what the random source is re-seeded from.
    int64_t timeOfDayNs() const
    {
        return ((hour * 60LL + minute) * 60LL + second) * 1'000'000'000LL + nanosecond;
    }
};

// The local date and time. Injected so that tests can fix the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

}  // namespace numbrook
