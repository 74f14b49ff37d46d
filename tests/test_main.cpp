// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include <csignal>

#include <cstdlib>

#include "app/startup.h"

int main(int argc, char** argv)
{
    // Test discovery runs this binary during the build, with no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::signal(SIGPIPE, SIG_IGN);  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    // Settings the windows remember go to Qt's test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
