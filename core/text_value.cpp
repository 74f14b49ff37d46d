// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace numbrook {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Reads "&H…" or "&O…" digits; the value of no digits is 0.
double radixValue(std::string_view s, int radix)
{
    double v = 0;
    for (char c : s) {
        const int d = digitValue(c);
        if (d >= radix)
            break;
        v = v * radix + d;
    }
    return v;
}

// Whether a decimal number too far out for a double lies beyond its largest
// value rather than below its smallest: the power of ten of its first
// significant digit (saturating) is positive.
bool beyondLargest(std::string_view digits, std::string_view exponent)
{
    constexpr long long kFar = 1'000'000'000;
    long long magnitude = 0;
    const size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const size_t firstWhole = whole.find_first_not_of('0');
    if (firstWhole != std::string_view::npos) {
        magnitude = static_cast<long long>(whole.size() - firstWhole);
    } else if (dot != std::string_view::npos) {
        const std::string_view fraction = digits.substr(dot + 1);
        magnitude = -static_cast<long long>(fraction.find_first_not_of('0'));
    }
    long long e = 0;
    size_t i = 0;
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+'))
        ++i;
    for (; i < exponent.size() && e < kFar; ++i)
        e = e * 10 + (exponent[i] - '0');
    return magnitude + (negative ? -e : e) > 0;
}

double decimalValue(std::string_view s)
{
    // The part that fits the pattern, converted by std::from_chars: the same
    // value whatever the user's locale says a decimal point is.
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const size_t first = i;
    bool digits = false;
    bool dot = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digits = true;
        } else if (s[i] == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    const std::string_view mantissa = s.substr(first, i - first);
    std::string n(mantissa);
    std::string_view exponent;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const size_t firstDigit = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > firstDigit) {
            exponent = s.substr(i + 1, j - i - 1);
            n += 'e';
            n += exponent;
        }
    }
    double v = 0;
    const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), v);
    (void)end;
    if (error == std::errc::result_out_of_range)
        v = beyondLargest(mantissa, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -v : v;
}

}  // namespace

std::string asciiNumberForms(std::string_view text)
{
    // U+FF0B "＋", U+FF0D "－", U+FF0E "．" and U+FF10..U+FF19 "０".."９" are
    // EF BC 8B, 8D, 8E and 90..99 in UTF-8: the last byte less 0x60 is the
    // ASCII form.
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (i + 2 < text.size() && text[i] == '\xEF' && text[i + 1] == '\xBC') {
            const auto last = static_cast<unsigned char>(text[i + 2]);
            if (last == 0x8B || last == 0x8D || last == 0x8E || (last >= 0x90 && last <= 0x99)) {
                out += static_cast<char>(last - 0x60);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

double textValue(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;
    s = asciiNumberForms(s);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixValue(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixValue(std::string_view(s).substr(2), 8);
    }
    return decimalValue(s);
}

double roundHalfEven(double value)
{
    // The default floating-point rounding mode is to nearest, ties to even.
    return std::nearbyint(value);
}

int16_t countFromText(std::string_view text)
{
    const double r = roundHalfEven(textValue(text));
    if (std::isnan(r))
        return 0;
    if (r > std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    if (r < std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(r);
}

int intervalMsFromText(std::string_view text)
{
    const double ms = roundHalfEven(textValue(text) * 1000);
    if (!(ms >= 1))
        return 1;  // also NaN
    if (ms > kMaxTimerInterval)
        return kMaxTimerInterval;
    return static_cast<int>(ms);
}

}  // namespace numbrook
