#pragma once

#include <cstdint>

#include "app/clock.h"

namespace numbrook {

// The program's one uniform random source. Its state carries over from draw to
// draw; a re-seed mixes a clock reading into the state instead of restarting
// a fixed sequence, so draws made within one clock reading still differ.
class RandomSource {
public:
    explicit RandomSource(uint64_t state = 0x853c49e6748fea9bULL) : state_(state) {}

    // Mixes the time of day (ns since local midnight) into the state.
    void reseed(int64_t timeOfDayNs);
    // Re-seeds from the clock's time of day.
    void reseedFrom(const Clock& clock) { reseed(clock.now().timeOfDayNs()); }

    // Uniform in [0, 1) with 53 random bits.
    double next();

    // The integer part of r × n + base: every integer base..base+n−1 alike.
    int drawInt(int base, int n) { return static_cast<int>(next() * n + base); }

private:
    uint64_t state_;
};

}  // namespace numbrook
