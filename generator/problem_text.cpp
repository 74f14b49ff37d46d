// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/problem_text.h"

#include <cstdlib>

#include "generator/problem_types.h"

namespace numbrook {
namespace {

constexpr const char* kRemainderMark = "……";

// The problem's numbers and signs in order, each written by `number`
// (which is given the number and its place, as in Problem::blank).
template <typename Number>
std::string written(const Problem& p, const Glyphs& signs, const char* equals,
                    const char* remainderMark, Number number, bool withResult)
{
    std::string text;
    for (int i = 0; i < p.count; ++i) {
        text += number(p.operands[static_cast<size_t>(i)], i);
        if (i + 1 < p.count)
            text += signs[static_cast<size_t>(p.operators[static_cast<size_t>(i)])];
    }
    text += equals;
    if (withResult) {
        text += number(p.result, p.count);
        if (p.remainder != 0 || p.blank == p.count + 1)
            text += remainderMark + number(p.remainder, p.count + 1);
    }
    return text;
}

const Glyphs& glyphsOf(const Problem& p)
{
    return problemType(p.type).glyphs;
}

// The places of a number: the remainder is always whole.
int decimalsAt(const Problem& p, int place)
{
    return place == p.count + 1 ? 0 : problemType(p.type).decimals;
}

}  // namespace

std::string problemText(const Problem& p)
{
    const auto number = [&p](int n, int place) {
        return place == p.blank ? std::string(kBlank) : numberText(n, decimalsAt(p, place));
    };
    return written(p, glyphsOf(p), "=", kRemainderMark, number, p.blank != kNoBlank);
}

std::string keyText(const Problem& p)
{
    return written(
        p, glyphsOf(p), "=", kRemainderMark,
        [&p](int n, int place) { return numberText(n, decimalsAt(p, place)); }, true);
}

std::optional<VerticalText> verticalText(const Problem& p)
{
    if (p.count != 2 || p.operators[0] == Operator::Divide || p.blank != kNoBlank ||
        p.remainder != 0 || problemType(p.type).decimals != 0)
        return std::nullopt;
    // One sign of a width for every type: they stand in the same column.
    static constexpr Glyphs kSigns{"＋", "－", "×", "÷"};
    return VerticalText{std::to_string(p.operands[0]), kSigns[static_cast<size_t>(p.operators[0])],
                        std::to_string(p.operands[1])};
}

std::string problemWords(const Problem& p)
{
    static constexpr Glyphs kSaid{"加", "减", "乘", "除以"};
    const auto number = [&p](int n, int place) {
        return place == p.blank ? std::string("几") : numberWords(n, decimalsAt(p, place));
    };
    if (p.blank == kNoBlank) {
        std::string words = written(p, kSaid, "等于", "余", number, false) + "几";
        return p.remainder != 0 ? words + "余几" : words;
    }
    return written(p, kSaid, "等于", "余", number, true);
}

std::string numberText(int n, int decimals)
{
    if (decimals == 0)
        return std::to_string(n);
    const std::div_t parts = std::div(n, 10);  // one place: all a type has
    return (n < 0 && parts.quot == 0 ? "-" : "") + std::to_string(parts.quot) +
           (parts.rem == 0 ? "" : "." + std::to_string(std::abs(parts.rem)));
}

std::string numberWords(int n, int decimals)
{
    if (decimals == 0)
        return numberWords(n);
    const std::div_t parts = std::div(std::abs(n), 10);
    return (n < 0 ? "负" : "") + numberWords(parts.quot) +
           (parts.rem == 0 ? "" : "点" + numberWords(parts.rem));
}

std::string numberWords(int n)
{
    static constexpr const char* kDigits[10] = {"零", "一", "二", "三", "四",
                                                "五", "六", "七", "八", "九"};
    static constexpr const char* kPlaces[4] = {"", "十", "百", "千"};
    if (n < 0)
        return "负" + numberWords(-n);
    if (n < 10)
        return kDigits[n];
    if (n < 20)
        return std::string("十") + (n % 10 ? kDigits[n % 10] : "");
    if (n >= 10000)
        return numberWords(n / 10000) + "万" +
               (n % 10000 == 0 ? "" : (n % 10000 < 1000 ? "零" : "") + numberWords(n % 10000));
    std::string words;
    bool zero = false;  // a zero waits to be said before the next digit
    for (int place = 3; place >= 0; --place) {
        int power = 1;
        for (int i = 0; i < place; ++i)
            power *= 10;
        const int digit = n / power % 10;
        if (digit == 0) {
            zero = !words.empty();
            continue;
        }
        if (zero)
            words += "零";
        zero = false;
        words += std::string(kDigits[digit]) + kPlaces[place];
    }
    return words;
}

}  // namespace numbrook
