// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/problem_text.h"

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

}  // namespace

std::string problemText(const Problem& p)
{
    const auto number = [&p](int n, int place) {
        return place == p.blank ? std::string(kBlank) : std::to_string(n);
    };
    return written(p, glyphsOf(p), "=", kRemainderMark, number, p.blank != kNoBlank);
}

std::string keyText(const Problem& p)
{
    return written(
        p, glyphsOf(p), "=", kRemainderMark, [](int n, int) { return std::to_string(n); }, true);
}

std::string problemWords(const Problem& p)
{
    static constexpr Glyphs kSaid{"加", "减", "乘", "除以"};
    const auto number = [&p](int n, int place) {
        return place == p.blank ? std::string("几") : numberWords(n);
    };
    if (p.blank == kNoBlank) {
        std::string words = written(p, kSaid, "等于", "余", number, false) + "几";
        return p.remainder != 0 ? words + "余几" : words;
    }
    return written(p, kSaid, "等于", "余", number, true);
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
