// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's corpus, replayed through its invariant checks; and faulty
// number rules, to show that the corpus and the checks catch such faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text_value.h"
#include "fuzz/text_invariants.h"
#include "tests/support/temp_folder.h"

namespace numbrook::fuzz {
namespace {

struct Input {
    std::string name;
    std::string text;
};

std::vector<Input> corpus()
{
    std::vector<Input> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(NUMBROOK_FUZZ_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        inputs.push_back({entry.path().filename().string(), testing::readAll(entry.path())});
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const Input& a, const Input& b) { return a.name < b.name; });
    return inputs;
}

TEST(FuzzCorpus, EveryInputKeepsTheInvariants)
{
    const std::vector<Input> inputs = corpus();
    ASSERT_GE(inputs.size(), 40u) << "the corpus in " << NUMBROOK_FUZZ_CORPUS << " is missing";
    for (const Input& input : inputs) {
        for (const std::string& violation : invariantViolations(input.text))
            ADD_FAILURE() << input.name << ": " << violation;
    }
}

// Faulty rules, each wrapping the program's own with one fault.

double blanksEndTheText(std::string_view t)
{
    return textValue(t.substr(0, t.find(' ')));
}

double carriageReturnIsBlank(std::string_view t)
{
    std::string s(t);
    std::erase(s, '\r');
    return textValue(s);
}

double octalReadAsHex(std::string_view t)
{
    if (t.size() >= 2 && t[0] == '&' && (t[1] == 'O' || t[1] == 'o'))
        return textValue("&H" + std::string(t.substr(2)));
    return textValue(t);
}

double exponentDIgnored(std::string_view t)
{
    std::string s(t);
    std::replace(s.begin(), s.end(), 'D', 'z');
    std::replace(s.begin(), s.end(), 'd', 'z');
    return textValue(s);
}

double fullWidthUnread(std::string_view t)
{
    std::string s(t);
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c & 0x80; }, 'z');
    return textValue(s);
}

int16_t countHalfAwayFromZero(std::string_view t)
{
    const double r = std::round(textValue(t));
    return std::isnan(r) ? 0 : static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
}

int16_t countWrapping(std::string_view t)
{
    const double r = std::nearbyint(textValue(t));
    if (!(std::fabs(r) < 1e9))
        return countFromText(t);
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<long long>(r) & 0xffff));
}

int intervalAllowingZero(std::string_view t)
{
    const double ms = std::nearbyint(textValue(t) * 1000);
    if (std::isnan(ms))
        return 0;
    return static_cast<int>(std::clamp(ms, 0.0, 65535.0));
}

int intervalTruncated(std::string_view t)
{
    const double ms = std::floor(textValue(t) * 1000);
    if (std::isnan(ms))
        return 1;
    return static_cast<int>(std::clamp(ms, 1.0, 65535.0));
}

TEST(FuzzCorpus, ChecksCatchFaultyRules)
{
    const struct {
        const char* fault;
        TextRules rules;  // null: the program's own
    } faulty[] = {
        {"blanks end the text", {&blanksEndTheText, nullptr, nullptr}},
        {"a carriage return taken for a blank", {&carriageReturnIsBlank, nullptr, nullptr}},
        {"&O read as hexadecimal", {&octalReadAsHex, nullptr, nullptr}},
        {"D not taken for an exponent", {&exponentDIgnored, nullptr, nullptr}},
        {"full-width digits left unread", {&fullWidthUnread, nullptr, nullptr}},
        {"count rounded half away from zero", {nullptr, &countHalfAwayFromZero, nullptr}},
        {"count wrapping past the 16-bit range", {nullptr, &countWrapping, nullptr}},
        {"interval of 0 ms", {nullptr, nullptr, &intervalAllowingZero}},
        {"interval truncated", {nullptr, nullptr, &intervalTruncated}},
    };
    const std::vector<Input> inputs = corpus();
    for (const auto& f : faulty) {
        TextRules rules = programRules();
        rules.textValue = f.rules.textValue ? f.rules.textValue : rules.textValue;
        rules.countFromText = f.rules.countFromText ? f.rules.countFromText : rules.countFromText;
        rules.intervalMsFromText =
            f.rules.intervalMsFromText ? f.rules.intervalMsFromText : rules.intervalMsFromText;
        const bool caught = std::any_of(inputs.begin(), inputs.end(), [&](const Input& input) {
            return !invariantViolations(input.text, rules).empty();
        });
        EXPECT_TRUE(caught) << "no input of the corpus shows the fault: " << f.fault;
    }
}

}  // namespace
}  // namespace numbrook::fuzz
