// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/random_source.h"

namespace numbrook {
namespace {

// SplitMix64's finaliser: a bijection that spreads every input bit.
uint64_t mix(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

constexpr uint64_t kGolden = 0x9e3779b97f4a7c15ULL;

}  // namespace

void RandomSource::reseed(int64_t timeOfDayNs)
{
    state_ = mix(state_ ^ mix(static_cast<uint64_t>(timeOfDayNs) + kGolden));
}

double RandomSource::next()
{
    state_ += kGolden;
    return static_cast<double>(mix(state_) >> 11) * 0x1.0p-53;
}

}  // namespace numbrook
