// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help, --version, --sheets=office|builtin, and what
// anything else gives; and the program itself answering them.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>

#include "app/command_line.h"
#include "tests/export/pdf_tools.h"

namespace numbrook {
namespace {

using Action = CommandLine::Action;

struct LineCase {
    std::vector<const char*> arguments;
    Action action;
    SheetsHost sheets;
    const char* inOutput;  // a piece of the printed text
};

class CommandLineParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineParse, GivesTheActionAndTheHost)
{
    const LineCase c = GetParam();
    QStringList arguments{QStringLiteral("numbrook")};
    for (const char* a : c.arguments)
        arguments << QString::fromUtf8(a);
    const CommandLine line = parseCommandLine(arguments);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.sheets, c.sheets);
    EXPECT_NE(line.output.find(c.inOutput), std::string::npos) << line.output;
    if (line.action != Action::Run) {
        EXPECT_EQ(line.output.back(), '\n');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineParse,
    ::testing::Values(
        LineCase{{}, Action::Run, SheetsHost::Automatic, ""},
        LineCase{{"--sheets=office"}, Action::Run, SheetsHost::Office, ""},
        LineCase{{"--sheets=builtin"}, Action::Run, SheetsHost::Builtin, ""},
        LineCase{{"--sheets", "builtin"}, Action::Run, SheetsHost::Builtin, ""},
        LineCase{{"--help"}, Action::Help, SheetsHost::Automatic, "--sheets <office|builtin>"},
        LineCase{{"-h"}, Action::Help, SheetsHost::Automatic, "--version"},
        LineCase{{"--version"},
                 Action::Version,
                 SheetsHost::Automatic,
                 "NumbrookV1.6 " NUMBROOK_PACKAGE_VERSION "\n"},
        LineCase{{"--bogus"}, Action::UsageError, SheetsHost::Automatic, "--sheets"},
        LineCase{{"--sheets=wps"}, Action::UsageError, SheetsHost::Automatic, "wps"},
        LineCase{{"--sheets"}, Action::UsageError, SheetsHost::Automatic, "--help"},
        LineCase{{"sheet.doc"}, Action::UsageError, SheetsHost::Automatic, "sheet.doc"}));

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// platform: the Qt platform to run on; empty: none at all, as in a terminal
// without a display.
ProgramRun runProgram(const std::string& arguments, const std::string& platform = "offscreen")
{
    const std::string errFile = ::testing::TempDir() + "numbrook-command-line.err";
    ProgramRun run;
    run.out = testing::commandOutput(
        (platform.empty() ? std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM")
                          : "env QT_QPA_PLATFORM=" + platform) +
        " '" NUMBROOK_PROGRAM "' " + arguments + " 2>'" + errFile + "'; echo \"status=$?\"");
    const size_t at = run.out.rfind("status=");
    run.status = std::stoi(run.out.substr(at + 7));
    run.out.erase(at);
    run.err = testing::commandOutput("cat '" + errFile + "'");
    return run;
}

TEST(ProgramCommandLine, VersionHelpAndUnknownOption)
{
    // --version and --help answer without a display.
    const ProgramRun version = runProgram("--version", "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "NumbrookV1.6 " NUMBROOK_PACKAGE_VERSION "\n");

    const ProgramRun help = runProgram("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--sheets"), std::string::npos) << help.out;

    // An unknown option: usage on standard error and status 2, no window.
    const ProgramRun unknown = runProgram("--frobnicate");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("--sheets"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace numbrook
