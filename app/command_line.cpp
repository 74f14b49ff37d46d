// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace numbrook {

namespace {

const char* const kVersionText = "NumbrookV1.6 " NUMBROOK_PACKAGE_VERSION "\n";

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("NumbrookV1.6 口算练习：屏幕出题，或导出练习纸。"));
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
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(sheets);

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
        result.output = kVersionText;
        return result;
    }
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
