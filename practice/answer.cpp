// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/answer.h"

#include <array>

namespace numbrook {
namespace {

constexpr int kMaxDigits = 6;

// The kinds of piece the text is read in: a digit (ASCII or full-width), a
// blank, a mark between quotient and remainder, anything else.
enum class Piece { Digit, Blank, Mark, Other, End };

struct Reader {
    std::string_view text;
    size_t at = 0;

    // The piece at `at`, its digit and its length in bytes.
    Piece peek(int& digit, size_t& length) const
    {
        if (at >= text.size())
            return Piece::End;
        const unsigned char c = static_cast<unsigned char>(text[at]);
        length = 1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
            return Piece::Digit;
        }
        if (c == ' ' || c == '\t')
            return Piece::Blank;
        if (c == '.' || c == 'r' || c == 'R')
            return Piece::Mark;
        const std::string_view rest = text.substr(at);
        static constexpr std::string_view kFullZero = "\xEF\xBC\x90";  // ０
        if (rest.size() >= 3 && rest.substr(0, 2) == kFullZero.substr(0, 2) &&
            static_cast<unsigned char>(rest[2]) >= 0x90 &&
            static_cast<unsigned char>(rest[2]) <= 0x99) {
            length = 3;
            digit = static_cast<unsigned char>(rest[2]) - 0x90;
            return Piece::Digit;
        }
        static constexpr std::array<std::pair<std::string_view, Piece>, 5> kWide{{
            {"\xE3\x80\x80", Piece::Blank},  // ideographic space
            {"\xE2\x80\xA6", Piece::Mark},   // …
            {"\xE4\xBD\x99", Piece::Mark},   // 余
            {"\xEF\xBC\x8E", Piece::Mark},   // ．
            {"\xC2\xA0", Piece::Blank},      // no-break space
        }};
        for (const auto& [bytes, piece] : kWide) {
            if (rest.substr(0, bytes.size()) == bytes) {
                length = bytes.size();
                return piece;
            }
        }
        return Piece::Other;
    }

    // Skips blanks and, when marks is set, marks; whether any mark was skipped.
    bool skip(bool marks)
    {
        bool marked = false;
        int digit = 0;
        size_t length = 0;
        for (Piece p = peek(digit, length); p == Piece::Blank || (marks && p == Piece::Mark);
             p = peek(digit, length)) {
            marked = marked || p == Piece::Mark;
            at += length;
        }
        return marked;
    }

    std::optional<int> number()
    {
        int value = 0;
        int digits = 0;
        int digit = 0;
        size_t length = 0;
        while (peek(digit, length) == Piece::Digit) {
            if (++digits > kMaxDigits)
                return std::nullopt;
            value = value * 10 + digit;
            at += length;
        }
        return digits > 0 ? std::optional<int>(value) : std::nullopt;
    }
};

}  // namespace

std::optional<TypedAnswer> readAnswer(std::string_view typed)
{
    Reader r{typed};
    r.skip(false);
    const auto value = r.number();
    if (!value)
        return std::nullopt;
    TypedAnswer answer{*value, std::nullopt};
    const bool marked = r.skip(true);
    if (r.at < typed.size()) {
        answer.remainder = r.number();
        if (!answer.remainder)
            return std::nullopt;
        r.skip(false);
    } else if (marked) {
        return std::nullopt;  // a mark with no remainder after it
    }
    if (r.at != typed.size())
        return std::nullopt;
    return answer;
}

bool asksRemainder(const Problem& problem)
{
    return problem.blank == kNoBlank && problem.remainder != 0;
}

bool isRightAnswer(const Problem& problem, std::string_view typed)
{
    const auto answer = readAnswer(typed);
    if (!answer || answer->value != problem.answer())
        return false;
    if (asksRemainder(problem))
        return answer->remainder == problem.remainder;
    return !answer->remainder;
}

std::string answerText(const Problem& problem)
{
    std::string text = std::to_string(problem.answer());
    if (asksRemainder(problem))
        text += "……" + std::to_string(problem.remainder);
    return text;
}

}  // namespace numbrook
