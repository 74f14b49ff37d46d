// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A pupil's typed answer, read and checked against the problem's number.

#include <optional>
#include <string>
#include <string_view>

#include "generator/problem.h"

namespace numbrook {

// What the pupil typed, read: a whole number, and the remainder after it
// when one was typed ("3……2", "3...2", "3余2", "3 2").
struct TypedAnswer {
    int value = 0;
    std::optional<int> remainder;
    friend bool operator==(const TypedAnswer&, const TypedAnswer&) = default;
};

// Digits ASCII or full-width (０–９), blanks (ASCII or ideographic) around
// and between the two numbers; nothing else. Empty when it reads as no answer.
std::optional<TypedAnswer> readAnswer(std::string_view typed);

// Whether the answer is a quotient and its remainder: a 求得数 division
// that leaves one.
bool asksRemainder(const Problem& problem);

// Whether typed is the problem's answer (Problem::answer(), and the
// remainder where the problem asks for it; a remainder typed where none is
// asked is wrong).
bool isRightAnswer(const Problem& problem, std::string_view typed);

// The right answer as it is shown: "15", "3……2".
std::string answerText(const Problem& problem);

}  // namespace numbrook
