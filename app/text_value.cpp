#include "app/text_value.h"

#include <cmath>
#include <limits>
#include <string>

namespace numbrook {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c)
{
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Reads "&H…" or "&O…" digits; the value of no digits is 0.
double radixValue(std::string_view s, int radix)
{
    double v = 0;
    for (char c : s) {
        const int d = digitValue(c);
        if (d >= radix) break;
        v = v * radix + d;
    }
    return v;
}

double decimalValue(std::string_view s)
{
    // Copy the part that fits the pattern, then let strtod convert it exactly.
    std::string n;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) n += s[i++];
    bool digits = false;
    bool dot = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digits = true;
            n += s[i];
        } else if (s[i] == '.' && !dot) {
            dot = true;
            n += '.';
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string e = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) e += s[j++];
        const size_t first = j;
        while (j < s.size() && isDigit(s[j])) e += s[j++];
        if (j > first) n += e;
    }
    return std::strtod(n.c_str(), nullptr);
}

}  // namespace

double textValue(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return radixValue(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o') return radixValue(std::string_view(s).substr(2), 8);
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
    if (std::isnan(r)) return 0;
    if (r > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (r < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(r);
}

int intervalMsFromText(std::string_view text)
{
    const double ms = roundHalfEven(textValue(text) * 1000);
    if (!(ms >= 1)) return 1;  // also NaN
    if (ms > kMaxTimerInterval) return kMaxTimerInterval;
    return static_cast<int>(ms);
}

}  // namespace numbrook
