// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A problem kept as numbers: its operands, operators and result, and what
// it asks for. It becomes text only where it is shown (problem_text.h): as
// set, as its key, or in words to be read aloud.

#include <array>
#include <cstddef>
#include <cstdint>

namespace numbrook {

enum class Operator : uint8_t { Add, Subtract, Multiply, Divide };

// No number is blank: the problem asks for its result (求得数).
inline constexpr int8_t kNoBlank = -1;

struct Problem {
    int16_t type = 0;  // its row in the table of types (problem_types.h)
    int8_t count = 2;  // numbers before "=": two, or three ("8－3＋4=")
    std::array<int, 3> operands{};
    std::array<Operator, 2> operators{};  // operators[i] stands after operands[i]
    int result = 0;
    int remainder = 0;  // what is left over in a division with a remainder
    // 填空: the number left blank, 0 … count − 1 an operand, count the
    // result, count + 1 the remainder; kNoBlank for 求得数.
    int8_t blank = kNoBlank;

    // The number the pupil writes: the blank's, or the result.
    int answer() const
    {
        if (blank == kNoBlank || blank == count)
            return result;
        if (blank == count + 1)
            return remainder;
        return operands[static_cast<size_t>(blank)];
    }

    friend bool operator==(const Problem&, const Problem&) = default;
};

}  // namespace numbrook
