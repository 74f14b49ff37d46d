// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/make_sheets.h"
#include "app/records_csv.h"
#include "app/real_services.h"
#include "app/startup.h"
#include "app/window_look.h"
#include "core/whole_file.h"

namespace {

// What Qt says while it opens the window system: held back, and replaced
// by one line of ours when it can't open any.
std::vector<std::string> heldMessages;

void whileOpeningDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs(
            numbrook::noDisplayText(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")).c_str(),
            stderr);
        std::_Exit(1);
    }
    heldMessages.push_back(qFormatLogMessage(type, context, message).toStdString() + "\n");
}

// Writes text on standard output and sees it out of the buffer: the exit
// status, 1 (and why, on standard error) when it can't be written.
int printOutput(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0)
        return 0;
    std::fprintf(stderr, "numbrook: 无法写入标准输出：%s\n",
                 numbrook::writeFailureReason(errno).c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // A word processor that dies mid-export closes its pipe: that is an
    // error for the export to report, not a reason for the program to end.
    std::signal(SIGPIPE, SIG_IGN);

    // The command line is read whole before the window system is opened:
    // the usage, every option error and --make-sheets come in a terminal
    // without a display too.
    numbrook::CommandLine commandLine;
    {
        QCoreApplication terminal(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("numbrook"));
        numbrook::installQtChinese();
        commandLine =
            numbrook::parseCommandLine(QCoreApplication::arguments(), numbrook::terminalWidth());
    }
    switch (commandLine.action) {
    case numbrook::CommandLine::Action::Help:
    case numbrook::CommandLine::Action::Version:
    case numbrook::CommandLine::Action::ListPresets:
        return printOutput(commandLine.output);
    case numbrook::CommandLine::Action::UsageError:
        std::fputs(commandLine.output.c_str(), stderr);
        return numbrook::kUsageExitStatus;
    case numbrook::CommandLine::Action::Failure:
        std::fputs(commandLine.output.c_str(), stderr);
        return 1;
    case numbrook::CommandLine::Action::MakeSheets:
        return numbrook::makeSheetsFile(argc, argv, commandLine);
    case numbrook::CommandLine::Action::RecordsCsv:
        return numbrook::writeRecordsCsv(argc, argv, commandLine);
    case numbrook::CommandLine::Action::Practice:
    case numbrook::CommandLine::Action::SheetWindow:
    case numbrook::CommandLine::Action::Run:
        break;
    }

    const QtMessageHandler previous = qInstallMessageHandler(whileOpeningDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    for (const std::string& message : heldMessages)
        std::fputs(message.c_str(), stderr);
    numbrook::setUpApplication(app);

    numbrook::RealServices world(commandLine.sheets);
    if (commandLine.action == numbrook::CommandLine::Action::SheetWindow) {
        numbrook::attachSkin();
        if (!world.sheetWindows().open(nullptr))
            return 1;
        return QApplication::exec();
    }

    if (commandLine.action == numbrook::CommandLine::Action::Practice) {
        numbrook::attachSkin();
        numbrook::PracticeWindow* practice = world.openPractice();
        if (!commandLine.pupil.empty())
            practice->pupilBox->setCurrentText(QString::fromStdString(commandLine.pupil));
        return QApplication::exec();
    }
    numbrook::Form1 window(world.forWindow());
    QObject::connect(&window, &numbrook::Form1::practiceRequested, &window,
                     [&world] { world.openPractice(); });
    world.placeBoxesOver(&window);
    numbrook::fitToScreen(window);
    window.show();
    return QApplication::exec();
}
