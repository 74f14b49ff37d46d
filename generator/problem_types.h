// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/clock.h"
#include "generator/random_source.h"

namespace numbrook {

// Problem types are the indexes 0..8 of the type check boxes.
inline constexpr int kTypeCount = 9;

// One problem: "7×8=" as set to the pupil, "7×8=56" with its result.
struct Problem {
    std::string text;
    std::string answer;
};

// Makes one problem of a type (0..8): re-seeds from the clock and draws both
// numbers until the type accepts the pair. attempts, when given, receives the
// number of pairs drawn.
Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock,
                          int* attempts = nullptr);

}  // namespace numbrook
