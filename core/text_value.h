// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace numbrook {

// The numeric value of a text box's text. Blanks, tabs and line feeds are
// removed anywhere first. "&H…" and "&O…" (either case) read hexadecimal and
// octal digits; otherwise an optional sign, decimal digits with at most one
// ".", and an optional exponent (E or D, optional sign, digits). Reading stops
// at the first character that does not fit; no number at all reads as 0.
// The full-width digits, point, plus and minus that a Chinese input method
// types ("０".."９", "．", "＋", "－") read as their ASCII forms.
double textValue(std::string_view text);

// The text (UTF-8) with "０".."９", "．", "＋" and "－" in their ASCII forms.
std::string asciiNumberForms(std::string_view text);

// Nearest integer, halves to the even neighbour: 2.5 → 2, 3.5 → 4.
double roundHalfEven(double value);

// The count of a run from a count box's text, rounded half to even. A value
// beyond the 16-bit range saturates at its end, so it is out of every
// accepted range as well.
int16_t countFromText(std::string_view text);

// Longest interval a tick timer takes, in ms.
inline constexpr int kMaxTimerInterval = 65535;

// The time between problems from the interval box's text (seconds) in ms,
// rounded half to even and kept within 1..65535 so that every run reaches
// its end: 0, blank, letters and negatives give 1 ms.
int intervalMsFromText(std::string_view text);

}  // namespace numbrook
