// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/presets.h"

#include "generator/sheet_options.h"

#include <algorithm>
#include <charconv>

namespace numbrook {
namespace {

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void fault(int line, const std::string& what)
{
    throw PresetError("第" + std::to_string(line) + "行：" + what);
}

// The setting `key = value` of the preset being read.
void set(Preset& preset, std::string_view key, std::string_view value, int line)
{
    const std::string v(value);
    if (key == "edition") {
        preset.edition = v;
    } else if (key == "page") {
        if (value != "portrait" && value != "landscape")
            fault(line, "page 只能是 portrait 或 landscape，不能是“" + v + "”");
        preset.page = value == "portrait" ? PageOrientation::Portrait : PageOrientation::Landscape;
    } else if (key == "form") {
        const std::optional<ProblemForm> form = formNamed(value);
        if (!form)
            fault(line, "form 只能是 " + formNameList() + "，不能是“" + v + "”");
        preset.options.form = *form;
    } else {
        const int type = typeOfCaption(key);
        if (type < 0)
            fault(line, "没有题型“" + std::string(key) + "”");
        int count = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
        if (error != std::errc() || end != value.data() + value.size() || count < 1 ||
            count > kMaxSheetProblems)
            fault(line, "“" + std::string(key) + "”的题数须是" + kSheetProblemsOption.range() +
                            "，不能是“" + v + "”");
        int& slot = preset.options.perType[static_cast<size_t>(type)];
        if (slot != 0)
            fault(line, "题型“" + std::string(key) + "”已经给过");
        slot = count;
        if (problemsPerSheet(preset.options) > kMaxSheetProblems)
            fault(line, "“" + preset.name + "”的题数合计超过" + std::to_string(kMaxSheetProblems));
    }
}

}  // namespace

std::vector<Preset> loadPresets(std::string_view text)
{
    std::vector<Preset> presets;
    int line = 0;
    int opened = 0;  // the line of the last preset's name
    const auto closeLast = [&] {
        if (!presets.empty() && !hasCounts(presets.back().options))
            fault(opened, "“" + presets.back().name + "”没有题型");
    };
    while (!text.empty()) {
        ++line;
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view row = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (row.empty() || row.front() == '#' || row.front() == ';')
            continue;
        if (row.front() == '[') {
            const std::string_view name =
                row.size() >= 2 && row.back() == ']' ? trimmed(row.substr(1, row.size() - 2)) : "";
            if (name.empty())
                fault(line, "预设名须写成“[名称]”");
            closeLast();
            Preset preset;
            preset.name = std::string(name);
            if (findPreset(presets, preset.name))
                fault(line, "预设“" + preset.name + "”已经有了");
            presets.push_back(std::move(preset));
            opened = line;
            continue;
        }
        const size_t equals = row.find('=');
        if (equals == std::string_view::npos)
            fault(line, "须写成“设置 = 值”或“题型 = 题数”");
        if (presets.empty())
            fault(line, "设置前须有“[预设名]”");
        set(presets.back(), trimmed(row.substr(0, equals)), trimmed(row.substr(equals + 1)), line);
    }
    closeLast();
    return presets;
}

const Preset* findPreset(const std::vector<Preset>& presets, std::string_view name)
{
    const auto found = std::find_if(presets.begin(), presets.end(),
                                    [name](const Preset& p) { return p.name == name; });
    return found == presets.end() ? nullptr : &*found;
}

}  // namespace numbrook
