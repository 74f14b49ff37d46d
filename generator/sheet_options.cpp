// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/sheet_options.h"

#include <charconv>
#include <numeric>

namespace numbrook {

namespace {

std::string countSetting(int type)
{
    return kTypeCountOption.setting + std::to_string(type);
}

std::optional<bool> switchOf(const std::string& text)
{
    if (text == "true")
        return true;
    if (text == "false")
        return false;
    return std::nullopt;
}

std::string trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace

std::string NumberOption::range() const
{
    if (dividesMax) {
        std::string list;
        for (int n = min; n <= max; ++n) {
            if (max % n == 0)
                list += (list.empty() ? "" : n == max ? "或" : "、") + std::to_string(n);
        }
        return list;
    }
    const std::string span = std::to_string(min) + "到" + std::to_string(max);
    return besides < 0 ? span
                       : std::to_string(besides) + "（" + besidesMeaning + "）或" + span;
}

bool TextOption::accepts(std::string_view text) const
{
    int characters = 0;
    for (const unsigned char c : text)
        characters += (c & 0xC0) != 0x80;
    return characters >= 1 && characters <= maxCharacters;
}

std::string TextOption::refusal() const
{
    return std::string(caption) + "须有1到" + std::to_string(maxCharacters) + "个字";
}

std::optional<std::optional<PageOrientation>> orientationNamed(std::string_view name)
{
    for (const OrientationName& o : kOrientationNames) {
        if (name == o.name)
            return o.orientation;
    }
    return std::nullopt;
}

const char* nameOf(std::optional<PageOrientation> orientation)
{
    for (const OrientationName& o : kOrientationNames) {
        if (o.orientation == orientation)
            return o.name;
    }
    return kOrientationNames[0].name;
}

std::string orientationNameList()
{
    std::string list;
    const size_t n = std::size(kOrientationNames);
    for (size_t i = 0; i < n; ++i)
        list += (i == 0 ? "" : i + 1 == n ? " 或 " : "、") + std::string(kOrientationNames[i].name);
    return list;
}

SheetPageOptions readPageOptions(
    const std::function<std::optional<std::string>(const std::string&)>& read)
{
    SheetPageOptions page;
    if (const auto title = read(kTitleOption.setting); title && kTitleOption.accepts(trimmed(*title)))
        page.title = trimmed(*title);
    if (const auto name = read(kOrientationSetting)) {
        if (const auto orientation = orientationNamed(*name))
            page.orientation = *orientation;
    }
    for (const auto& [option, into] : {std::pair{&kColumnsOption, &page.columns},
                                       {&kKeysPerPageOption, &page.keysPerPage},
                                       {&kTimeLimitOption, &page.timeLimit}}) {
        const auto text = read(option->setting);
        const auto n = text ? wholeNumber(*text) : std::nullopt;
        if (n && option->accepts(*n))
            *into = *n;
    }
    return page;
}

std::vector<std::pair<std::string, std::string>> pageOptionSettings(const SheetPageOptions& page)
{
    return {{kTitleOption.setting, page.title},
            {kOrientationSetting, nameOf(page.orientation)},
            {kColumnsOption.setting, std::to_string(page.columns)},
            {kKeysPerPageOption.setting, std::to_string(page.keysPerPage)},
            {kTimeLimitOption.setting, std::to_string(page.timeLimit)}};
}

std::string NumberOption::refusal() const
{
    return std::string(caption) + "须在" + range() + "之间";
}

std::optional<ProblemForm> formNamed(std::string_view name)
{
    for (const FormName& form : kFormNames) {
        if (name == form.name)
            return form.form;
    }
    return std::nullopt;
}

const char* nameOf(ProblemForm form)
{
    for (const FormName& f : kFormNames) {
        if (f.form == form)
            return f.name;
    }
    return kFormNames[0].name;
}

std::string formNameList()
{
    std::string list;
    const size_t n = std::size(kFormNames);
    for (size_t i = 0; i < n; ++i)
        list += (i == 0 ? "" : i + 1 == n ? " 或 " : "、") + std::string(kFormNames[i].name);
    return list;
}

std::optional<int> wholeNumber(std::string_view text)
{
    const std::string t = trimmed(text);
    int n = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return n;
}

SheetOptions defaultSheetOptions()
{
    SheetOptions o;
    o.counts.fill(kTypeCountOption.fallback);
    o.ticked[0] = true;  // 一位数加一位数
    o.ticked[2] = true;  // 10以内的减法
    return o;
}

SheetSetOptions drawOptions(const SheetOptions& options)
{
    SheetSetOptions set;
    for (size_t type = 0; type < options.ticked.size(); ++type)
        set.perType[type] = options.ticked[type] ? options.counts[type] : 0;
    set.noRepeats = options.noRepeats;
    set.form = options.form;
    set.copies = options.copies;
    return set;
}

std::string sheetOptionsProblem(const SheetOptions& options)
{
    for (size_t type = 0; type < options.ticked.size(); ++type) {
        if (options.ticked[type] && !kTypeCountOption.accepts(options.counts[type]))
            return kTypeCountOption.refusal();
    }
    return optionsProblem(drawOptions(options));
}

SheetOptions readSheetOptions(const SettingReader& read)
{
    const SheetOptions fallback = defaultSheetOptions();
    SheetOptions o = fallback;
    const auto number = [&](const std::string& name, const NumberOption& option, int& into) {
        const auto text = read(name);
        const auto n = text ? wholeNumber(*text) : std::nullopt;
        if (n && option.accepts(*n))
            into = *n;
    };
    const auto yesNo = [&](const SwitchOption& option, bool& into) {
        const auto text = read(option.setting);
        if (const auto value = text ? switchOf(*text) : std::nullopt)
            into = *value;
    };

    for (int type = 0; type < kTypeCount; ++type)
        number(countSetting(type), kTypeCountOption, o.counts[static_cast<size_t>(type)]);
    if (const auto types = read(kTypesSetting)) {
        std::array<bool, kTypeCount> ticked{};
        bool any = false;
        size_t from = 0;
        while (from <= types->size()) {
            const size_t comma = std::min(types->find(',', from), types->size());
            const auto type = wholeNumber(std::string_view(*types).substr(from, comma - from));
            if (type && *type >= 0 && *type < kTypeCount)
                any = ticked[static_cast<size_t>(*type)] = true;
            from = comma + 1;
        }
        if (any)
            o.ticked = ticked;
    }
    yesNo(kNoRepeatsOption, o.noRepeats);
    if (const auto name = read(kFormSetting)) {
        if (const auto form = formNamed(*name))
            o.form = *form;
    }
    number(kCopiesOption.setting, kCopiesOption, o.copies);
    yesNo(kWithKeysOption, o.withKeys);
    o.page = readPageOptions(read);

    // Counts each in range but together too many for a sheet.
    if (!sheetOptionsProblem(o).empty()) {
        for (size_t type = 0; type < o.ticked.size(); ++type) {
            if (o.ticked[type])
                o.counts[type] = fallback.counts[type];
        }
    }
    return o;
}

std::vector<std::pair<std::string, std::string>> sheetOptionSettings(const SheetOptions& options)
{
    std::vector<std::pair<std::string, std::string>> settings;
    std::string types;
    for (int type = 0; type < kTypeCount; ++type) {
        const size_t i = static_cast<size_t>(type);
        if (options.ticked[i])
            types += (types.empty() ? "" : ",") + std::to_string(type);
        settings.emplace_back(countSetting(type), std::to_string(options.counts[i]));
    }
    settings.emplace_back(kTypesSetting, types);
    settings.emplace_back(kNoRepeatsOption.setting, options.noRepeats ? "true" : "false");
    settings.emplace_back(kFormSetting, nameOf(options.form));
    settings.emplace_back(kCopiesOption.setting, std::to_string(options.copies));
    settings.emplace_back(kWithKeysOption.setting, options.withKeys ? "true" : "false");
    for (auto& setting : pageOptionSettings(options.page))
        settings.push_back(std::move(setting));
    return settings;
}

}  // namespace numbrook
