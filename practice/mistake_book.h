// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 错题本 and how a practice is dealt.
//
// The book is made afresh from a pupil's past attempts, oldest first: a
// problem enters when it is answered wrong, or right but much more slowly
// than the pupil's usual time for its type; it leaves once it has been
// answered right, and in time, in two later sessions (any miss starts the
// count again). 错题重练 does not count towards leaving: right straight
// after a miss shows little. An ordinary practice deals about a quarter of
// its problems from the book, of the chosen types; the rest as a class
// sheet without repeats deals them.

#include <array>
#include <cstdint>
#include <vector>

#include "generator/problem.h"
#include "generator/random_source.h"
#include "generator/sheet_set.h"
#include "practice/session.h"

namespace numbrook {

struct PastAttempt {
    int64_t session = 0;  // ascending with time
    PracticeKind kind = PracticeKind::Ordinary;
    Problem problem;
    bool right = false;
    int ms = 0;
};

// Slower than this is slow whatever the pupil's usual time.
inline constexpr int kSlowFloorMs = 5000;

// The pupil's usual time for each type: the median of the right answers'
// times; 0 where there are none.
std::array<int, kTypeCount> usualTimes(const std::vector<PastAttempt>& history);

// Right, but more than twice the usual time and more than five seconds.
bool isSlow(int ms, int usualMs);

// The problems in the book, in the order they entered it.
std::vector<Problem> mistakeBook(const std::vector<PastAttempt>& history);

// An ordinary practice of the options' types and counts (one sheet; the
// options must be valid): about a quarter from the book's problems of those
// types when there are any, the rest drawn without repeats and none twice;
// shuffled.
std::vector<Problem> dealPractice(SheetSetOptions options, const std::vector<Problem>& book,
                                  RandomSource& random);

// A practice of the book alone: at most count of its problems, shuffled.
std::vector<Problem> dealBook(std::vector<Problem> book, int count, RandomSource& random);

}  // namespace numbrook
