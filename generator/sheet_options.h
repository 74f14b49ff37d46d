// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The options of a class set in one place: what each is called in the
// settings, its default, its range and the words that refuse a value out of
// it. The sheet window, the saved settings and --make-sheets read and check
// through here, so that a range is written down once (kMaxSheetProblems,
// kMaxSheetCopies) and every message follows it.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "generator/sheet_set.h"

namespace numbrook {

// A whole-number option: its settings name, its default and its range; its
// caption is what a message calls it.
struct NumberOption {
    const char* setting;
    const char* caption;
    int fallback;
    int min;
    int max;
    // One more value below the range, with its meaning (列数 0: chosen by
    // the program); -1: none.
    int besides = -1;
    const char* besidesMeaning = "";
    // Only the values in the range that divide max (每页答案 1, 2 or 4).
    bool dividesMax = false;

    bool accepts(int n) const
    {
        return n == besides || (n >= min && n <= max && (!dividesMax || max % n == 0));
    }
    // "1到60", "0（自动）或2到6", "1、2或4"
    std::string range() const;
    // "份数须在1到60之间"
    std::string refusal() const;
};

// Problems of one type on a sheet ("count0" … in the settings).
inline constexpr NumberOption kTypeCountOption{"count", "每类题数", 10, 1, kMaxSheetProblems};
// Problems on a sheet: the counts of the ticked types together, or
// --count, each drawn from the listed types.
inline constexpr NumberOption kSheetProblemsOption{"count", "每份题数", kMaxSheetProblems, 1,
                                                   kMaxSheetProblems};
inline constexpr NumberOption kCopiesOption{"copies", "份数", 1, 1, kMaxSheetCopies};
// The page: its columns, the keys printed on one page, the time limit in
// the header.
inline constexpr NumberOption kColumnsOption{
    "columns", "列数", kAutomaticColumns, 2, 6, kAutomaticColumns, "自动"};
inline constexpr NumberOption kKeysPerPageOption{"keysPerPage", "每页答案数", 1, 1, 4, -1, "",
                                                 true};
inline constexpr NumberOption kTimeLimitOption{"timeLimit", "限时", 0, 1, 60, 0, "不填"};

// The sheet's title: at most this many characters, not empty.
struct TextOption {
    const char* setting;
    const char* caption;
    const char* fallback;
    int maxCharacters;

    bool accepts(std::string_view text) const;
    // "标题须有1到40个字"
    std::string refusal() const;
};
inline constexpr TextOption kTitleOption{"title", "标题", "口算练习", 40};

// The orientations, each with its name in the settings and on the command
// line and its caption in the window; automatic (none) first.
struct OrientationName {
    std::optional<PageOrientation> orientation;
    const char* name;
    const char* caption;
};
inline constexpr OrientationName kOrientationNames[] = {
    {std::nullopt, "auto", "自动"},
    {PageOrientation::Portrait, "portrait", "纵向"},
    {PageOrientation::Landscape, "landscape", "横向"},
};
inline constexpr const char* kOrientationSetting = "orientation";
// The orientation of that name, or none when there is no such name.
std::optional<std::optional<PageOrientation>> orientationNamed(std::string_view name);
const char* nameOf(std::optional<PageOrientation> orientation);
// "auto、portrait 或 landscape"
std::string orientationNameList();

// The page's options as the settings keep them: each value out of range
// gives its default.
SheetPageOptions readPageOptions(const std::function<std::optional<std::string>(const std::string&)>& read);
std::vector<std::pair<std::string, std::string>> pageOptionSettings(const SheetPageOptions& page);

// A yes/no option: its settings name and default.
struct SwitchOption {
    const char* setting;
    bool fallback;
};
inline constexpr SwitchOption kNoRepeatsOption{"noRepeats", true};
inline constexpr SwitchOption kWithKeysOption{"withKeys", true};
inline constexpr const char* kTypesSetting = "types";
inline constexpr const char* kFormSetting = "form";

// The forms, each with its name in the settings and on the command line,
// and its caption in the window, in the order the window lists them.
struct FormName {
    ProblemForm form;
    const char* name;
    const char* caption;
};
inline constexpr FormName kFormNames[] = {
    {ProblemForm::Result, "result", "求得数"},
    {ProblemForm::Blank, "blank", "填空"},
    {ProblemForm::Mixed, "mixed", "混合"},
    {ProblemForm::Vertical, "vertical", "竖式"},
};
std::optional<ProblemForm> formNamed(std::string_view name);
const char* nameOf(ProblemForm form);
// "result、blank、mixed 或 vertical"
std::string formNameList();

// The options of a class set as the teacher chooses them: which types are
// ticked, every type's count (kept while the type is not ticked), and how
// the set is drawn and printed. The sheet window holds one, the settings
// keep one, and a named set of options is one more value of this type.
struct SheetOptions {
    std::array<bool, kTypeCount> ticked{};
    std::array<int, kTypeCount> counts{};
    bool noRepeats = kNoRepeatsOption.fallback;
    ProblemForm form = ProblemForm::Result;
    int copies = kCopiesOption.fallback;
    bool withKeys = kWithKeysOption.fallback;
    SheetPageOptions page;

    friend bool operator==(const SheetOptions&, const SheetOptions&) = default;
};

// What a grade-1 class starts from: one-digit addition and subtraction
// within 10, ten of each, one copy, without repeats, with the keys.
SheetOptions defaultSheetOptions();

// What to draw: the ticked types' counts.
SheetSetOptions drawOptions(const SheetOptions& options);

// Empty when the options make a set; else what is wrong, for the teacher.
std::string sheetOptionsProblem(const SheetOptions& options);

// A store of settings as text: the value saved under a name, or none.
using SettingReader = std::function<std::optional<std::string>(const std::string& name)>;

// The options saved in a store. A value that is missing, unreadable or out
// of its range gives its default and the others are kept; ticked types whose
// counts together are too many a sheet take the default count each, and no
// type ticked gives the default types.
SheetOptions readSheetOptions(const SettingReader& read);
// The options as the store keeps them, every value as text, in the form
// readSheetOptions reads.
std::vector<std::pair<std::string, std::string>> sheetOptionSettings(const SheetOptions& options);

// A whole number in text ("  12 "), or none.
std::optional<int> wholeNumber(std::string_view text);

}  // namespace numbrook
