// SPDX-License-Identifier: GPL-3.0-or-later
// The test main of the layers without Qt: no application object, and no Qt
// library linked, so that a Qt call in them would not even link.
#include <gtest/gtest.h>

#include <csignal>

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
