// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "core/version.h"
#include "generator/sheet_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace numbrook {

namespace {

// The types by number, as --help lists them.
QString typeList()
{
    return QStringLiteral("\n题型编号：") + QString::fromStdString(typeListing());
}

// A whole number from min to max, or nothing.
std::optional<int> numberIn(const QString& text, int min, int max)
{
    const auto n = wholeNumber(text.toStdString());
    if (!n || *n < min || *n > max)
        return std::nullopt;
    return n;
}

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QString typeRange()
{
    return text(typeNumberRange());
}

// A type by its number or its caption, or nothing.
std::optional<int> typeIn(const QString& text)
{
    if (const int type = typeOfCaption(text.trimmed().toStdString()); type >= 0)
        return type;
    return numberIn(text, 0, kTypeCount - 1);
}

// "0,1,8" or "表内乘法,表内除法": distinct types.
std::optional<std::vector<int>> typesOf(const QString& text)
{
    std::set<int> types;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const auto type = typeIn(item);
        if (!type || !types.insert(*type).second)
            return std::nullopt;
    }
    return std::vector<int>(types.begin(), types.end());
}

// "0=30,8=70": a count for each type named once.
std::optional<std::array<int, kTypeCount>> perTypeOf(const QString& text)
{
    std::array<int, kTypeCount> counts{};
    std::set<int> named;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList pair = item.split(QLatin1Char('='));
        const auto type = pair.size() == 2 ? typeIn(pair[0]) : std::nullopt;
        const auto count =
            pair.size() == 2 ? numberIn(pair[1], 0, kMaxSheetProblems) : std::nullopt;
        if (!type || !count || !named.insert(*type).second)
            return std::nullopt;
        counts[static_cast<size_t>(*type)] = *count;
    }
    return counts;
}

// One option of the program: its names (the first letter-only ones short),
// the name of its value (empty: it takes none) and its line in the usage.
struct OptionSpec {
    QStringList names;
    QString valueName;
    QString description;
};

// Every option the program reads. A new option is one more row here and
// one more reading in parseCommandLine.
const std::vector<OptionSpec>& programOptions()
{
    static const std::vector<OptionSpec> options{
        {{QStringLiteral("h"), QStringLiteral("help")}, {}, QStringLiteral("显示本说明后退出。")},
        {{QStringLiteral("v"), QStringLiteral("version")}, {}, QStringLiteral("显示版本后退出。")},
        {{QStringLiteral("sheets")},
         QStringLiteral("office|builtin"),
         QStringLiteral(
             "用什么制作练习纸：office（LibreOffice Writer）或 builtin（程序自带，"
             "可打印、预览、保存为PDF）。不给出时，装有LibreOffice就用它，否则用程序自带的。")},
        {{QStringLiteral("sheet-window")},
         {},
         QStringLiteral("只打开“练习纸”窗口：一个班的练习纸和答案。")},
        {{QStringLiteral("make-sheets")},
         QStringLiteral("file.pdf"),
         QStringLiteral("不开窗口，把一套练习纸写成PDF文件：先是各份练习纸，再是各份答案，"
                        "A4纸，按题数排版。")},
        {{QStringLiteral("types")},
         QStringLiteral("0,1,8"),
         QStringLiteral("题型编号或名称（见上），用逗号分开；默认出题窗口的%1种。")
             .arg(kDrillTypeCount)},
        {{QStringLiteral("count")},
         QStringLiteral("N"),
         QStringLiteral("每份的题数，%1，默认%2；题型逐题随机抽取。")
             .arg(text(kSheetProblemsOption.range()))
             .arg(kSheetProblemsOption.fallback)},
        {{QStringLiteral("per-type")},
         QStringLiteral("0=30,8=70"),
         QStringLiteral("每种题型的题数，合计%1，打乱排列；不能与--count同用。")
             .arg(text(kSheetProblemsOption.range()))},
        {{QStringLiteral("copies")},
         QStringLiteral("N"),
         QStringLiteral("份数，%1，每份各自抽题、各有编号，默认%2。")
             .arg(text(kCopiesOption.range()))
             .arg(kCopiesOption.fallback)},
        {{QStringLiteral("no-repeats")},
         {},
         QStringLiteral("不重复：同一份里，一种题型的题全部出过一遍之前不再重复。")},
        {{QStringLiteral("form")},
         QStringLiteral("形式"),
         [] {
             QStringList forms;
             for (const FormName& form : kFormNames)
                 forms << QString::fromLatin1(form.name) + QLatin1Char(' ') +
                              QString::fromUtf8(form.caption);
             forms.front() += QStringLiteral("（默认）");
             return QStringLiteral("形式：") + forms.join(QStringLiteral("，")) +
                    QStringLiteral("。混合：求得数和填空各占一半；竖式：两个数的加、减、乘"
                                   "列成竖式，其余题型仍为求得数。");
         }()},
        {{QStringLiteral("title")},
         QStringLiteral("文字"),
         QStringLiteral("练习纸的标题，如“一年级（2）班 口算练习”，最多%1个字；默认“%2”。")
             .arg(kTitleOption.maxCharacters)
             .arg(QString::fromUtf8(kTitleOption.fallback))},
        {{QStringLiteral("orientation")},
         QStringLiteral("方向"),
         QStringLiteral("纸张方向：portrait 纵向，landscape 横向；默认每份%1题以内纵向，以上横向。")
             .arg(kMaxPortraitProblems)},
        {{QStringLiteral("columns")},
         QStringLiteral("N"),
         QStringLiteral("每行的题数（列数），%1；默认按题数和题目长短自动定。")
             .arg(text(kColumnsOption.range()))},
        {{QStringLiteral("keys-per-page")},
         QStringLiteral("1|2|4"),
         QStringLiteral("每页印几份答案（答案合页），各标编号；默认1。")},
        {{QStringLiteral("time-limit")},
         QStringLiteral("N"),
         QStringLiteral("表头的“限时__分钟”填上N分钟，%1；默认留空。")
             .arg(text(kTimeLimitOption.range()))},
        {{QStringLiteral("preset")},
         QStringLiteral("名称"),
         QStringLiteral("按教材单元预设题型、题数、形式和纸张方向（--form、--orientation "
                        "可另选）；不能与--types、--count、--per-type同用。")},
        {{QStringLiteral("list-presets")}, {}, QStringLiteral("列出预设的名称后退出。")},
        {{QStringLiteral("practice")},
         {},
         QStringLiteral("只打开“练习”窗口：逐题作答，记录成绩和错题。")},
        {{QStringLiteral("records-csv")},
         QStringLiteral("file.csv"),
         QStringLiteral("不开窗口，把练习记录（每次作答一行）写成CSV文件，UTF-8。")},
        {{QStringLiteral("pupil")},
         QStringLiteral("姓名"),
         QStringLiteral("与--records-csv同用：只写这名学生的记录；与--practice同用：填好姓名。")},
    };
    return options;
}

// Qt's own options, which the application object takes from the command
// line later: accepted here, never shown.
const std::vector<OptionSpec>& qtOptions()
{
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> all;
        for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                                 "qmljsdebugger", "qwindowgeometry", "qwindowicon", "qwindowtitle",
                                 "session", "display", "geometry", "style", "stylesheet"})
            all.push_back({{QString::fromLatin1(name)}, QStringLiteral("value"), {}});
        for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
            all.push_back({{QString::fromLatin1(name)}, {}, {}});
        return all;
    }();
    return options;
}

QString namesColumn(const OptionSpec& option)
{
    QStringList shown;
    for (const QString& name : option.names)
        shown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString column = shown.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty())
        column += QStringLiteral(" <") + option.valueName + QLatin1Char('>');
    return column;
}

QString usageText(int width)
{
    QString text = QStringLiteral("用法：numbrook [选项]\n") +
                   wrapText(QString::fromUtf8(kProgramTitle) +
                                QStringLiteral(" 口算练习：屏幕出题，或导出练习纸。"),
                            width, 0) +
                   typeList() + QStringLiteral("\n\n选项：\n");
    int column = 0;
    for (const OptionSpec& option : programOptions())
        column = std::max(column, displayWidth(namesColumn(option)));
    const int indent = 2 + column + 2;
    for (const OptionSpec& option : programOptions()) {
        QString names = namesColumn(option);
        names += QString(column - displayWidth(names), QLatin1Char(' '));
        text += wrapText(QStringLiteral("  ") + names + QStringLiteral("  ") + option.description,
                         width, indent) +
                QLatin1Char('\n');
    }
    return text;
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Punctuation that never begins a line.
bool closesLine(char32_t c)
{
    return QStringLiteral("，。、；：！？）》」』】”’,.;:!?)").contains(QString::fromUcs4(&c, 1));
}

// Punctuation that never ends a line.
bool opensLine(char32_t c)
{
    return QStringLiteral("（《「『【“‘(").contains(QString::fromUcs4(&c, 1));
}

}  // namespace

int displayWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QString wrapText(const QString& text, int width, int indent)
{
    // Pieces that are never split: a run of narrow characters up to a blank,
    // or one wide character, each with the closing punctuation after it.
    const std::u32string chars = text.toStdU32String();
    std::vector<std::u32string> pieces;
    for (size_t i = 0; i < chars.size();) {
        size_t end = i + 1;
        if (chars[i] == U' ') {
            end = chars.find_first_not_of(U' ', i);
            end = end == std::u32string::npos ? chars.size() : end;
        } else if (isWide(chars[i])) {
            while (end < chars.size() && closesLine(chars[end]))
                ++end;
        } else {
            while (end < chars.size() && chars[end] != U' ' && !isWide(chars[end]))
                ++end;
            while (end < chars.size() && closesLine(chars[end]))
                ++end;
        }
        // Opening punctuation never ends a line: it goes with what follows.
        if (!pieces.empty() && opensLine(pieces.back().back()) && chars[i] != U' ')
            pieces.back() += chars.substr(i, end - i);
        else
            pieces.push_back(chars.substr(i, end - i));
        i = end;
    }

    QString out;
    QString line;
    int used = 0;
    for (const std::u32string& piece : pieces) {
        const QString p = QString::fromStdU32String(piece);
        const bool blank = piece[0] == U' ';
        const int w = displayWidth(p);
        if (used + w > width && used > indent && !blank) {
            out += line + QLatin1Char('\n');
            line = QString(indent, QLatin1Char(' '));
            used = indent;
        }
        if (blank && used == indent && !out.isEmpty())
            continue;  // no blanks at the start of a continued line
        line += p;
        used += w;
    }
    // Blanks before a break stay out of the line.
    out += line;
    while (out.contains(QStringLiteral(" \n")))
        out.replace(QStringLiteral(" \n"), QStringLiteral("\n"));
    return out;
}

int terminalWidth()
{
    winsize size{};
    if (::isatty(STDOUT_FILENO) && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 &&
        size.ws_col > 0)
        return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS"); columns && std::atoi(columns) > 0)
        return std::atoi(columns);
    return 80;
}

std::string noDisplayText(const char* display, const char* wayland)
{
    std::string where;
    if (display && *display)
        where = std::string("DISPLAY=") + display;
    if (wayland && *wayland)
        where += (where.empty() ? "" : "，") + std::string("WAYLAND_DISPLAY=") + wayland;
    return where.empty() ? "numbrook: 没有图形显示（未设置DISPLAY），请在桌面中运行本程序！\n"
                         : "numbrook: 无法打开图形显示（" + where + "），请在桌面中运行本程序！\n";
}

// The options of a class set into `set`: empty, or what is wrong with them.
// The page's options into `page`: empty, or what is wrong with them.
template <typename IsSet, typename ValueOf>
QString readPage(const IsSet& isSet, const ValueOf& valueOf, SheetPageOptions& page,
                 const Preset* preset)
{
    if (preset)
        page.orientation = preset->page;
    if (isSet("title")) {
        const std::string title = valueOf("title").trimmed().toStdString();
        if (!kTitleOption.accepts(title))
            return QStringLiteral("--title ") + text(kTitleOption.refusal());
        page.title = title;
    }
    if (isSet("orientation")) {
        const QString value = valueOf("orientation");
        const auto orientation = orientationNamed(value.toStdString());
        if (!orientation)
            return QStringLiteral("--orientation 只能是 %1，不能是“")
                       .arg(text(orientationNameList())) +
                   value + QStringLiteral("”");
        page.orientation = *orientation;
    }
    for (const auto& [name, option, into] :
         {std::tuple{"columns", &kColumnsOption, &page.columns},
          {"keys-per-page", &kKeysPerPageOption, &page.keysPerPage},
          {"time-limit", &kTimeLimitOption, &page.timeLimit}}) {
        if (!isSet(name))
            continue;
        const auto n = wholeNumber(valueOf(name).toStdString());
        if (!n || !option->accepts(*n))
            return QStringLiteral("--%1 须是%2，不能是“")
                       .arg(QLatin1String(name), text(option->range())) +
                   valueOf(name) + QStringLiteral("”");
        *into = *n;
    }
    return {};
}

template <typename IsSet, typename ValueOf>
QString readClassSet(const IsSet& isSet, const ValueOf& valueOf, SheetSetOptions& set,
                     const Preset* preset)
{
    if (valueOf("make-sheets").isEmpty())
        return QStringLiteral("--make-sheets 要给出PDF文件名");
    set.count = kSheetProblemsOption.fallback;
    for (int type = 0; type < kDrillTypeCount; ++type)
        set.types.push_back(type);
    if (preset) {
        for (const char* option : {"types", "count", "per-type"}) {
            if (isSet(option))
                return QStringLiteral("--preset 不能与--%1同用").arg(QLatin1String(option));
        }
        set.perType = preset->options.perType;
        set.form = preset->options.form;
    }
    if (isSet("types")) {
        const auto list = typesOf(valueOf("types"));
        if (!list)
            return QStringLiteral("--types 须是%1的题型编号或名称，用逗号分开，不能是“")
                       .arg(typeRange()) +
                   valueOf("types") + QStringLiteral("”");
        set.types = *list;
    }
    if (isSet("count") && isSet("per-type"))
        return QStringLiteral("--count 和 --per-type 只能给出一个");
    if (isSet("count")) {
        const auto n = numberIn(valueOf("count"), kSheetProblemsOption.min,
                                kSheetProblemsOption.max);
        if (!n)
            return QStringLiteral("--count 须是%1，不能是“").arg(text(kSheetProblemsOption.range())) +
                   valueOf("count") + QStringLiteral("”");
        set.count = *n;
    }
    if (isSet("per-type")) {
        const auto counts = perTypeOf(valueOf("per-type"));
        if (!counts)
            return QStringLiteral(
                       "--per-type 须写成“题型=题数”，用逗号分开，"
                       "不能是“") +
                   valueOf("per-type") + QStringLiteral("”");
        for (int type = 0; type < kTypeCount; ++type) {
            if ((*counts)[type] > 0 && isSet("types") &&
                std::find(set.types.begin(), set.types.end(), type) == set.types.end())
                return QStringLiteral("--per-type 的题型%1不在--types里").arg(type);
        }
        set.perType = *counts;
        if (!hasCounts(set))
            return QStringLiteral("--per-type 的题数合计须在%1之间")
                .arg(text(kSheetProblemsOption.range()));
    }
    if (isSet("copies")) {
        const auto n = numberIn(valueOf("copies"), kCopiesOption.min, kCopiesOption.max);
        if (!n)
            return QStringLiteral("--copies 须是%1，不能是“").arg(text(kCopiesOption.range())) +
                   valueOf("copies") + QStringLiteral("”");
        set.copies = *n;
    }
    set.noRepeats = isSet("no-repeats");
    if (isSet("form")) {
        const QString value = valueOf("form");
        const auto form = formNamed(value.toStdString());
        if (!form)
            return QStringLiteral("--form 只能是 %1，不能是“").arg(text(formNameList())) + value +
                   QStringLiteral("”");
        set.form = *form;
    }
    return QString::fromStdString(optionsProblem(set));
}

CommandLine parseCommandLine(const QStringList& arguments, int helpWidth, PresetSource presets)
{
    QCommandLineParser parser;
    // Qt's options come with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const auto* table : {&programOptions(), &qtOptions()}) {
        for (const OptionSpec& row : *table)
            parser.addOption(QCommandLineOption(row.names, row.description, row.valueName));
    }
    const auto isSet = [&](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto valueOf = [&](const char* name) { return parser.value(QString::fromLatin1(name)); };

    CommandLine result;
    const auto usageError = [&](const QString& reason) {
        result.action = CommandLine::Action::UsageError;
        result.output =
            (QStringLiteral("numbrook: ") + reason + QLatin1Char('\n') + usageText(helpWidth))
                .toStdString();
        return result;
    };

    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("多余的参数：") +
                          parser.positionalArguments().join(QLatin1Char(' ')));
    }
    // An option given twice is a slip (which --count was meant?): refused.
    const QStringList given = parser.optionNames();
    for (const OptionSpec& option : programOptions()) {
        const auto times = std::count_if(given.begin(), given.end(), [&](const QString& name) {
            return option.names.contains(name);
        });
        if (times > 1)
            return usageError(QStringLiteral("--") + option.names.last() +
                              QStringLiteral(" 只能给出一次"));
    }
    if (isSet("help")) {
        result.action = CommandLine::Action::Help;
        result.output = usageText(helpWidth).toStdString();
        return result;
    }
    if (isSet("version")) {
        result.action = CommandLine::Action::Version;
        result.output = std::string(kProgramTitle) + " " + kPackageVersion + "\n";
        return result;
    }
    // The presets, read only when an option names them.
    std::vector<Preset> presetList;
    if (isSet("list-presets") || isSet("preset")) {
        try {
            presetList = presets();
        } catch (const PresetError& e) {
            result.action = CommandLine::Action::Failure;
            result.output = std::string("numbrook: ") + e.what() + "\n";
            return result;
        }
    }
    if (isSet("list-presets")) {
        result.action = CommandLine::Action::ListPresets;
        for (const Preset& preset : presetList)
            result.output += preset.name + "\n";
        return result;
    }
    const Preset* preset = nullptr;
    if (isSet("preset")) {
        preset = findPreset(presetList, valueOf("preset").trimmed().toStdString());
        if (!preset)
            return usageError(QStringLiteral("没有预设“") + valueOf("preset") +
                              QStringLiteral("”；--list-presets 列出全部预设的名称"));
    }
    // The options of a class set, which only --make-sheets takes.
    const char* const setOptions[] = {"types",   "count",       "per-type",      "copies",
                                      "no-repeats", "form",     "preset",        "title",
                                      "orientation", "columns", "keys-per-page", "time-limit"};
    if (isSet("make-sheets")) {
        result.action = CommandLine::Action::MakeSheets;
        result.pdfPath = valueOf("make-sheets").toStdString();
        if (const QString wrong = readClassSet(isSet, valueOf, result.sheetSet, preset);
            !wrong.isEmpty())
            return usageError(wrong);
        if (const QString wrong = readPage(isSet, valueOf, result.sheetPage, preset);
            !wrong.isEmpty())
            return usageError(wrong);
        return result;
    }
    for (const char* option : setOptions) {
        if (isSet(option))
            return usageError(QStringLiteral("--") + QString::fromLatin1(option) +
                              QStringLiteral(" 只能与 --make-sheets 同用"));
    }
    if (isSet("records-csv")) {
        result.action = CommandLine::Action::RecordsCsv;
        result.csvPath = valueOf("records-csv").toStdString();
        if (result.csvPath.empty())
            return usageError(QStringLiteral("--records-csv 要给出CSV文件名"));
    } else if (isSet("practice")) {
        result.action = CommandLine::Action::Practice;
    } else if (isSet("pupil")) {
        return usageError(QStringLiteral("--pupil 只能与 --records-csv 或 --practice 同用"));
    }
    result.pupil = valueOf("pupil").trimmed().toStdString();
    if (isSet("sheet-window"))
        result.action = CommandLine::Action::SheetWindow;
    if (isSet("sheets")) {
        const QString value = valueOf("sheets");
        if (value == QLatin1String("office")) {
            result.sheets = SheetsHost::Office;
        } else if (value == QLatin1String("builtin")) {
            result.sheets = SheetsHost::Builtin;
        } else {
            return usageError(QStringLiteral("--sheets 只能是 office 或 builtin，不能是“") + value +
                              QStringLiteral("”"));
        }
    }
    return result;
}

}  // namespace numbrook
