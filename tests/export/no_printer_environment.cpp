// SPDX-License-Identifier: GPL-3.0-or-later
// Tests never print on a real printer: before anything asks CUPS, its
// server is set to a socket that doesn't exist, so there is no printer at
// all. Tests of printing start a print server of their own.
#include <cstdlib>

namespace {

const bool kNoRealPrinter = [] {
    ::setenv("CUPS_SERVER", "/nonexistent/numbrook-tests-no-cups.sock", 1);
    return true;
}();

}  // namespace
