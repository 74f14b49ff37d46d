#pragma once

#include <string>

#include "app/clock.h"
#include "generator/random_source.h"

namespace numbrook {

// Problem types are the indexes 0..8 of the type check boxes.
inline constexpr int kTypeCount = 9;

// One problem: "7×8=" as set to the pupil, "7×8=56" with its result.
struct Problem {
    std::string text;
    std::string answer;
};

// The two numbers a draw of a type yields before its acceptance test.
struct Pair {
    int a = 0;
    int b = 0;
};

// Draws a pair for a type by its ranges (no re-seed, no acceptance test).
Pair drawPair(int type, RandomSource& random);
// Whether a type accepts a drawn pair.
bool acceptsPair(int type, Pair p);
// The problem a type makes of an accepted pair.
Problem problemFromPair(int type, Pair p);

// Makes one problem of a type (0..8): re-seeds from the clock and draws both
// numbers until the type accepts the pair. attempts, when given, receives the
// number of pairs drawn.
Problem makeProblemOfType(int type, RandomSource& random, const Clock& clock,
                          int* attempts = nullptr);

}  // namespace numbrook
