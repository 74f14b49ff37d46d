// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/clock.h"

namespace numbrook {

// The program's one uniform random source. Its state carries over from draw to
// draw; a re-seed mixes a clock reading into the state instead of restarting
// a fixed sequence, so draws made within one clock reading still differ.
// The integer part of r × n for r in [0, 1): one of 0..n−1, each alike, and
// never n, even for the largest r below 1, where r × n + a base can round up
// to the next integer in floating point. 0 when n is 0.
inline int indexFromUnit(double r, int n)
{
    const int k = static_cast<int>(r * n);
    return n > 0 && k >= n ? n - 1 : k;
}

class RandomSource {
public:
    explicit RandomSource(uint64_t state = 0x853c49e6748fea9bULL) : state_(state) {}
    virtual ~RandomSource() = default;

    // Mixes the time of day (ns since local midnight) into the state.
    void reseed(int64_t timeOfDayNs);
    // Re-seeds from the clock's time of day.
    void reseedFrom(const Clock& clock) { reseed(clock.now().timeOfDayNs()); }

    // Uniform in [0, 1) with 53 random bits: at most 1 − 2⁻⁵³.
    virtual double next();

    // The integer part of r × n + base: every integer base..base+n−1 alike,
    // and never one outside.
    int drawInt(int base, int n) { return base + indexFromUnit(next(), n); }

private:
    uint64_t state_;
};

}  // namespace numbrook
