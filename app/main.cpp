// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>

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
#include "app/sheet_window.h"
#include "app/startup.h"
#include "app/window_look.h"

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
        numbrook::installQtChinese(terminal);
        commandLine =
            numbrook::parseCommandLine(QCoreApplication::arguments(), numbrook::terminalWidth());
    }
    switch (commandLine.action) {
    case numbrook::CommandLine::Action::Help:
    case numbrook::CommandLine::Action::Version:
        std::fputs(commandLine.output.c_str(), stdout);
        return 0;
    case numbrook::CommandLine::Action::UsageError:
        std::fputs(commandLine.output.c_str(), stderr);
        return numbrook::kUsageExitStatus;
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

    if (commandLine.action == numbrook::CommandLine::Action::SheetWindow) {
        const numbrook::SystemClock clock;
        numbrook::attachSkin();
        numbrook::SheetWindow::open(clock);
        return QApplication::exec();
    }

    numbrook::RealServices world(commandLine.sheets);
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
