// SPDX-License-Identifier: GPL-3.0-or-later
// The records' test main: Qt Core for the SQL drivers, and no more.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
