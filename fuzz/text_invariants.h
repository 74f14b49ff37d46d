// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What must hold of the numbers read from a text box, whatever its text:
// the checks that the fuzzer applies to every input it makes and that the
// corpus replay applies to every committed input.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace numbrook::fuzz {

// The functions under check; tests swap in faulty ones to see the checks bite.
struct TextRules {
    double (*textValue)(std::string_view);
    int16_t (*countFromText)(std::string_view);
    int (*intervalMsFromText)(std::string_view);
};

// The program's own functions.
TextRules programRules();

// Every invariant that the text breaks, one message each; empty when it keeps
// them all:
//  - blanks, tabs and line feeds anywhere do not change the value;
//  - reading stops at a character that no number has: text + "z" + more
//    reads as text alone, and "z" + text or "\r" + text reads as 0 (a
//    carriage return is not one of the blanks);
//  - a sign in front negates or keeps the value of a text that has none;
//  - "D" reads as "E" in a decimal text;
//  - the text with its digits, point and signs typed full-width reads the same;
//  - the digits of the text read, as decimal, "&H" hexadecimal and "&O"
//    octal numbers, exactly as the standard library reads them;
//  - the count is the value rounded half to even, held to the 16-bit range;
//  - the interval is the value × 1000 rounded half to even, held to 1..65535.
std::vector<std::string> invariantViolations(std::string_view text,
                                             const TextRules& rules = programRules());

}  // namespace numbrook::fuzz
