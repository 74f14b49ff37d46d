// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <csignal>
#include <cstdio>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/make_sheets.h"
#include "app/real_services.h"
#include "app/sheet_window.h"
#include "app/startup.h"
#include "app/window_look.h"

int main(int argc, char** argv)
{
    // A word processor that dies mid-export closes its pipe: that is an
    // error for the export to report, not a reason for the program to end.
    std::signal(SIGPIPE, SIG_IGN);

    // --help, --version and --make-sheets work in a terminal without a
    // display: read them before the window system is opened.
    numbrook::CommandLine early;
    {
        QCoreApplication terminal(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("numbrook"));
        numbrook::installQtChinese(terminal);
        early = numbrook::parseCommandLine(QCoreApplication::arguments());
        if (early.action == numbrook::CommandLine::Action::Help ||
            early.action == numbrook::CommandLine::Action::Version) {
            std::fputs(early.output.c_str(), stdout);
            return 0;
        }
        // A class set's bad value: the usage, whatever Qt's own options are.
        if (early.action == numbrook::CommandLine::Action::UsageError && !early.pdfPath.empty()) {
            std::fputs(early.output.c_str(), stderr);
            return numbrook::kUsageExitStatus;
        }
    }
    if (early.action == numbrook::CommandLine::Action::MakeSheets)
        return numbrook::makeSheetsFile(argc, argv, early);

    QApplication app(argc, argv);
    numbrook::setUpApplication(app);

    // Qt has taken its own options (-platform, -style …); the rest are ours.
    const numbrook::CommandLine commandLine = numbrook::parseCommandLine(QApplication::arguments());
    switch (commandLine.action) {
    case numbrook::CommandLine::Action::Help:
    case numbrook::CommandLine::Action::Version:
        std::fputs(commandLine.output.c_str(), stdout);
        return 0;
    case numbrook::CommandLine::Action::UsageError:
        std::fputs(commandLine.output.c_str(), stderr);
        return numbrook::kUsageExitStatus;
    case numbrook::CommandLine::Action::SheetWindow: {
        const numbrook::SystemClock clock;
        numbrook::attachSkin();
        numbrook::SheetWindow::open(clock);
        return QApplication::exec();
    }
    case numbrook::CommandLine::Action::MakeSheets:  // answered before the window system
    case numbrook::CommandLine::Action::Run:
        break;
    }

    numbrook::RealServices world(commandLine.sheets);
    numbrook::Form1 window(world.forWindow());
    world.placeBoxesOver(&window);
    numbrook::fitToScreen(window);
    window.show();
    return QApplication::exec();
}
