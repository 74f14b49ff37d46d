// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "core/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <optional>
#include <set>

namespace numbrook {

namespace {

// The types by number, as --help lists them.
QString typeList()
{
    QString list = QStringLiteral("\n题型编号：");
    for (int type = 0; type < kTypeCount; ++type)
        list += QStringLiteral("\n  %1 %2").arg(type).arg(QString::fromUtf8(kTypeCaptions[type]));
    return list;
}

// A whole number from min to max, or nothing.
std::optional<int> numberIn(const QString& text, int min, int max)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < min || n > max)
        return std::nullopt;
    return n;
}

// "0,1,8": distinct type numbers.
std::optional<std::vector<int>> typesOf(const QString& text)
{
    std::set<int> types;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const auto type = numberIn(item, 0, kTypeCount - 1);
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
        const auto type = pair.size() == 2 ? numberIn(pair[0], 0, kTypeCount - 1) : std::nullopt;
        const auto count =
            pair.size() == 2 ? numberIn(pair[1], 0, kMaxSheetProblems) : std::nullopt;
        if (!type || !count || !named.insert(*type).second)
            return std::nullopt;
        counts[static_cast<size_t>(*type)] = *count;
    }
    return counts;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kProgramTitle) +
                                     QStringLiteral(" 口算练习：屏幕出题，或导出练习纸。") +
                                     typeList());
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("显示本说明后退出。"));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("显示版本后退出。"));
    const QCommandLineOption sheets(
        QStringLiteral("sheets"),
        QStringLiteral(
            "用什么制作练习纸：office（LibreOffice Writer）或 builtin（程序自带，"
            "可打印、预览、保存为PDF）。不给出时，装有LibreOffice就用它，否则用程序自带的。"),
        QStringLiteral("office|builtin"));
    const QCommandLineOption sheetWindow(
        QStringLiteral("sheet-window"),
        QStringLiteral("只打开“练习纸”窗口：一个班的练习纸和答案。"));
    const QCommandLineOption makeSheets(
        QStringLiteral("make-sheets"),
        QStringLiteral("不开窗口，把一套练习纸写成PDF文件：先是各份练习纸，再是各份答案，"
                       "A4横向。"),
        QStringLiteral("file.pdf"));
    const QCommandLineOption types(QStringLiteral("types"),
                                   QStringLiteral("题型编号（见上），用逗号分开；默认全部九种。"),
                                   QStringLiteral("0,1,8"));
    const QCommandLineOption count(
        QStringLiteral("count"), QStringLiteral("每份的题数，1到100，默认100；题型逐题随机抽取。"),
        QStringLiteral("N"));
    const QCommandLineOption perType(
        QStringLiteral("per-type"),
        QStringLiteral("每种题型的题数，合计1到100，打乱排列；不能与--count同用。"),
        QStringLiteral("0=30,8=70"));
    const QCommandLineOption copies(QStringLiteral("copies"),
                                    QStringLiteral("份数，1到60，每份各自抽题、各有编号，默认1。"),
                                    QStringLiteral("N"));
    const QCommandLineOption noRepeats(
        QStringLiteral("no-repeats"),
        QStringLiteral("不重复：同一份里，一种题型的题全部出过一遍之前不再重复。"));
    const QCommandLineOption form(
        QStringLiteral("form"),
        QStringLiteral("形式：result 求得数（默认），blank 填空，mixed 各占一半。"),
        QStringLiteral("result|blank|mixed"));
    parser.addOptions({help, version, sheets, sheetWindow, makeSheets, types, count, perType,
                       copies, noRepeats, form});

    CommandLine result;
    const auto usageError = [&](const QString& reason) {
        result.action = CommandLine::Action::UsageError;
        result.output =
            (QStringLiteral("numbrook: ") + reason + QLatin1Char('\n') + parser.helpText())
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
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.output = parser.helpText().toStdString();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.output = std::string(kProgramTitle) + " " + kPackageVersion + "\n";
        return result;
    }
    const QList<const QCommandLineOption*> setOptions{&types,  &count,     &perType,
                                                      &copies, &noRepeats, &form};
    if (parser.isSet(makeSheets)) {
        result.action = CommandLine::Action::MakeSheets;
        result.pdfPath = parser.value(makeSheets).toStdString();
        if (result.pdfPath.empty())
            return usageError(QStringLiteral("--make-sheets 要给出PDF文件名"));
        SheetSetOptions& set = result.sheetSet;
        set.count = kMaxSheetProblems;
        for (int type = 0; type < kTypeCount; ++type)
            set.types.push_back(type);
        if (parser.isSet(types)) {
            const auto list = typesOf(parser.value(types));
            if (!list)
                return usageError(
                    QStringLiteral("--types 须是0到8的题型编号，用逗号分开，不能是“") +
                    parser.value(types) + QStringLiteral("”"));
            set.types = *list;
        }
        if (parser.isSet(count) && parser.isSet(perType))
            return usageError(QStringLiteral("--count 和 --per-type 只能给出一个"));
        if (parser.isSet(count)) {
            const auto n = numberIn(parser.value(count), 1, kMaxSheetProblems);
            if (!n)
                return usageError(QStringLiteral("--count 须是1到100，不能是“") +
                                  parser.value(count) + QStringLiteral("”"));
            set.count = *n;
        }
        if (parser.isSet(perType)) {
            const auto counts = perTypeOf(parser.value(perType));
            if (!counts)
                return usageError(QStringLiteral("--per-type 须写成“题型=题数”，用逗号分开，"
                                                 "不能是“") +
                                  parser.value(perType) + QStringLiteral("”"));
            for (int type = 0; type < kTypeCount; ++type) {
                if ((*counts)[type] > 0 && parser.isSet(types) &&
                    std::find(set.types.begin(), set.types.end(), type) == set.types.end())
                    return usageError(QStringLiteral("--per-type 的题型%1不在--types里").arg(type));
            }
            set.perType = *counts;
            if (!hasCounts(set))
                return usageError(QStringLiteral("--per-type 的题数合计须在1到100之间"));
        }
        if (parser.isSet(copies)) {
            const auto n = numberIn(parser.value(copies), 1, kMaxSheetCopies);
            if (!n)
                return usageError(QStringLiteral("--copies 须是1到60，不能是“") +
                                  parser.value(copies) + QStringLiteral("”"));
            set.copies = *n;
        }
        set.noRepeats = parser.isSet(noRepeats);
        if (parser.isSet(form)) {
            const QString value = parser.value(form);
            if (value == QLatin1String("result")) {
                set.form = ProblemForm::Result;
            } else if (value == QLatin1String("blank")) {
                set.form = ProblemForm::Blank;
            } else if (value == QLatin1String("mixed")) {
                set.form = ProblemForm::Mixed;
            } else {
                return usageError(QStringLiteral("--form 只能是 result、blank 或 mixed，不能是“") +
                                  value + QStringLiteral("”"));
            }
        }
        if (const std::string problem = optionsProblem(set); !problem.empty())
            return usageError(QString::fromStdString(problem));
        return result;
    }
    for (const QCommandLineOption* option : setOptions) {
        if (parser.isSet(*option))
            return usageError(QStringLiteral("--") + option->names().constFirst() +
                              QStringLiteral(" 只能与 --make-sheets 同用"));
    }
    if (parser.isSet(sheetWindow))
        result.action = CommandLine::Action::SheetWindow;
    if (parser.isSet(sheets)) {
        const QString value = parser.value(sheets);
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
