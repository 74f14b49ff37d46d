// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/text_invariants.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/text_value.h"

namespace numbrook::fuzz {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}
bool isHexDigit(char c)
{
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The text as a C string literal, so that a message shows blanks and bytes.
std::string quoted(std::string_view s)
{
    constexpr size_t kShown = 120;
    std::string q = "\"";
    for (size_t i = 0; i < s.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            q += '\\';
            q += static_cast<char>(c);
        } else if (c == '\t') {
            q += "\\t";
        } else if (c == '\n') {
            q += "\\n";
        } else if (c < 0x20 || c >= 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            q += hex;
        } else {
            q += static_cast<char>(c);
        }
    }
    if (s.size() > kShown)
        q += "…";
    return q + "\"";
}

std::string number(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

// The same double, NaN for NaN and -0 apart from +0.
bool identical(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// The same number (-0 and +0 alike).
bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

std::string withoutBlanks(std::string_view s)
{
    std::string out;
    for (char c : s)
        if (!isBlank(c))
            out += c;
    return out;
}

// The text with blanks, tabs and line feeds put in at places chosen from the
// text itself (the same text always gets the same places), and at both ends.
std::string withBlanks(std::string_view s)
{
    static constexpr char kBlanks[] = {' ', '\t', '\n'};
    uint64_t h = 1469598103934665603ULL;  // FNV-1a of the text seeds the choice
    for (char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    std::string out = " ";
    for (char c : s) {
        h = h * 6364136223846793005ULL + 1442695040888963407ULL;
        if ((h >> 60) < 6)
            out += kBlanks[(h >> 33) % 3];
        out += c;
    }
    return out + "\t\n ";
}

// Whether r is v rounded to the nearest integer, a half to the even one.
bool roundedHalfEven(double v, double r)
{
    const double d = std::fabs(r - v);
    if (d < 0.5)
        return true;
    return d == 0.5 && std::fmod(r, 2.0) == 0.0;
}

class Checker {
public:
    Checker(std::string_view text, const TextRules& rules) : text_(text), rules_(rules) {}

    std::vector<std::string> run()
    {
        const double v = rules_.textValue(text_);
        checkBlanks(v);
        checkStop(v);
        checkLeadingNonNumber();
        checkSigns(v);
        checkExponentLetter(v);
        checkDigitReadings();
        checkFullWidth(v);
        checkCount(v);
        checkInterval(v);
        return std::move(violations_);
    }

private:
    void fail(const std::string& what) { violations_.push_back(what); }

    void expectValue(const char* rule, std::string_view other, double expected, bool exact = true)
    {
        const double got = rules_.textValue(other);
        if (exact ? !identical(got, expected) : !same(got, expected))
            fail(std::string(rule) + ": textValue(" + quoted(other) + ") = " + number(got) +
                 ", expected " + number(expected) + " (the text " + quoted(text_) + ")");
    }

    void checkBlanks(double v)
    {
        expectValue("blanks inserted", withBlanks(text_), v);
        expectValue("blanks removed", withoutBlanks(text_), v);
    }

    void checkStop(double v)
    {
        std::string longer(text_);
        longer += 'z';
        longer += text_;
        expectValue("reading stops at a character that fits no number", longer, v);
    }

    // A carriage return is no blank: like any character that fits no
    // number, in front of the text it leaves nothing to read.
    void checkLeadingNonNumber()
    {
        for (const char* front : {"z", "\r", "\r\n"})
            expectValue("a text that begins with a character that fits no number",
                        front + std::string(text_), 0.0);
    }

    void checkSigns(double v)
    {
        const std::string bare = asciiNumberForms(withoutBlanks(text_));
        if (bare.empty() || bare[0] == '+' || bare[0] == '-' || bare[0] == '&')
            return;
        expectValue("a minus sign in front", "-" + std::string(text_), -v, false);
        expectValue("a plus sign in front", "+" + std::string(text_), v);
    }

    void checkExponentLetter(double v)
    {
        if (withoutBlanks(text_).starts_with('&'))
            return;
        std::string e(text_);
        for (char& c : e)
            if (c == 'D' || c == 'd')
                c = 'E';
        expectValue("D reads as E", e, v);
    }

    // The text's digits, read as a whole number in each base, against the
    // standard library; few enough digits that the double holds them exactly.
    void checkDigitReadings()
    {
        std::string decimal, octal, hex;
        for (char c : text_) {
            if (isDecimalDigit(c) && decimal.size() < 15)
                decimal += c;
            if (isOctalDigit(c) && octal.size() < 17)
                octal += c;
            if (isHexDigit(c) && hex.size() < 13)
                hex += c;
        }
        if (!decimal.empty())
            expectValue("decimal digits", decimal,
                        static_cast<double>(std::strtoull(decimal.c_str(), nullptr, 10)));
        if (!octal.empty()) {
            const auto o = static_cast<double>(std::strtoull(octal.c_str(), nullptr, 8));
            expectValue("&O digits", "&O" + octal, o);
            expectValue("&o digits", "&o" + octal, o);
        }
        if (!hex.empty()) {
            const auto h = static_cast<double>(std::strtoull(hex.c_str(), nullptr, 16));
            expectValue("&H digits", "&H" + hex, h);
            expectValue("&h digits", "&h" + hex, h);
        }
    }

    // The text with its ASCII digits, point and signs typed full-width.
    void checkFullWidth(double v)
    {
        std::string wide;
        for (char c : text_) {
            if (isDecimalDigit(c) || c == '.' || c == '+' || c == '-') {
                wide += "\xEF\xBC";
                wide += static_cast<char>(c + 0x60);
            } else {
                wide += c;
            }
        }
        expectValue("full-width digits, point and signs", wide, v);
    }

    void checkCount(double v)
    {
        const int c = rules_.countFromText(text_);
        constexpr int kMin = std::numeric_limits<int16_t>::min();
        constexpr int kMax = std::numeric_limits<int16_t>::max();
        const std::string where = "countFromText(" + quoted(text_) + ") = " + std::to_string(c) +
                                  " for the value " + number(v);
        if (c < kMin || c > kMax) {
            fail(where + ": outside the 16-bit range");
        } else if (std::isnan(v)) {
            if (c != 0)
                fail(where + ": no number counts as 0");
        } else if (v >= kMax + 0.5) {
            if (c != kMax)
                fail(where + ": a larger value counts as " + std::to_string(kMax));
        } else if (v < kMin - 0.5) {
            if (c != kMin)
                fail(where + ": a smaller value counts as " + std::to_string(kMin));
        } else if (!roundedHalfEven(v, c)) {
            fail(where + ": not rounded half to even");
        }
        if (rules_.countFromText(withBlanks(text_)) != c)
            fail(where + ": changed by blanks");
    }

    void checkInterval(double v)
    {
        const int ms = rules_.intervalMsFromText(text_);
        const double x = v * 1000;
        const std::string where = "intervalMsFromText(" + quoted(text_) +
                                  ") = " + std::to_string(ms) + " for the value " + number(v);
        if (ms < 1 || ms > kMaxTimerInterval) {
            fail(where + ": outside 1..65535");
        } else if (std::isnan(x) || x <= 0.5) {
            if (ms != 1)
                fail(where + ": less than 1 ms gives 1");
        } else if (x >= kMaxTimerInterval + 0.5) {
            if (ms != kMaxTimerInterval)
                fail(where + ": more than 65535 ms gives 65535");
        } else if (!roundedHalfEven(x, ms)) {
            fail(where + ": not the value × 1000 rounded half to even");
        }
        if (rules_.intervalMsFromText(withBlanks(text_)) != ms)
            fail(where + ": changed by blanks");
    }

    std::string_view text_;
    const TextRules& rules_;
    std::vector<std::string> violations_;
};

}  // namespace

TextRules programRules()
{
    return {&textValue, &countFromText, &intervalMsFromText};
}

std::vector<std::string> invariantViolations(std::string_view text, const TextRules& rules)
{
    return Checker(text, rules).run();
}

}  // namespace numbrook::fuzz
