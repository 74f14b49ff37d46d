// SPDX-License-Identifier: GPL-3.0-or-later
// The export through the real LibreOffice: the exercise document, the
// written cells read back before the document closes, printing to a file,
// the failures, and that no office process is ever left behind.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "app/host_choice.h"
#include "export/builtin/builtin_host.h"
#include "export/export_run.h"
#include "export/export_steps.h"
#include "export/host_loader.h"
#include "export/libreoffice/kept_office.h"
#include "export/libreoffice/libreoffice_host.h"
#include "export/libreoffice/office_process.h"
#include "export/libreoffice/office_sweep.h"
#include "tests/export/recording_host.h"
#include "tests/export/spawn_in_new_session.h"
#include "tests/support/environment.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/sample_sheets.h"
#include "tests/support/temp_folder.h"

namespace numbrook {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::eventually;
using testing::exportLogged;
using testing::Log;
using testing::pageCountOf;
using testing::sampleAnswer;
using testing::sampleProblem;
using testing::ScopedEnvironment;
using testing::spawnInNewSession;
using testing::TempFolder;

// The office processes of an instance (its keeper's group but the keeper).
std::vector<pid_t> officePidsOf(pid_t keeper)
{
    std::vector<pid_t> pids = office::liveGroupMembers("/proc", keeper);
    pids.erase(std::remove(pids.begin(), pids.end(), keeper), pids.end());
    return pids;
}

// Nothing of an office in /tmp: neither its pipes nor a temporary folder
// "lu<pid>…" of its processes.
void expectNothingInTmp(const std::vector<pid_t>& officePids, const std::vector<std::string>& pipes)
{
    for (const std::string& pipe : pipes) {
        EXPECT_FALSE(fs::exists(pipe)) << pipe;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator("/tmp")) {
        for (const pid_t office : officePids) {
            EXPECT_NE(entry.path().filename().string().rfind("lu" + std::to_string(office), 0), 0u)
                << entry.path();
        }
    }
}

// No process of the instance, its profile gone, nothing in /tmp.
void expectNothingLeft(pid_t pid, const std::string& profile,
                       const std::vector<pid_t>& officePids = {},
                       const std::vector<std::string>& pipes = {})
{
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(office::groupMembers("/proc", pid).empty()) << "processes of the instance are left";
    EXPECT_FALSE(profile.empty());
    EXPECT_FALSE(fs::exists(profile)) << profile;
    expectNothingInTmp(officePids, pipes);
}

// Ends an instance that was shown to the user, as the user would, and
// removes what it leaves: its profile and its pipes' socket files.
void endShownInstance(pid_t pid, const std::string& profile)
{
    const auto pipes =
        office::listeningSocketPaths("/proc", office::liveGroupMembers("/proc", pid));
    office::endProcessGroup(pid, 0ms);
    // The host clears them away too once it sees the instance end.
    std::error_code ignored;
    for (const std::string& path : pipes) {
        fs::remove(path, ignored);
    }
    fs::remove_all(profile, ignored);
}

// What the test wants to see of the real host an export makes.
struct Observation {
    pid_t pid = -1;
    std::string profile;
    std::string printFile;     // prints go here
    std::string firstProblem;  // cell 1 of the problem grid and cell 2 of the answer
    std::string secondAnswer;  // grid, read just before printing
    enum class Kill { Never, AfterStart, AfterOpen, WhileFilling, BeforePrint };
    Kill kill = Kill::Never;        // when to kill the office
    bool stopWhileFilling = false;  // SIGSTOP the office instead
    LibreOfficeHost::Options options;
    std::string documentLocation;    // the open document's URL, after opening
    std::vector<pid_t> officePids;   // after the start
    std::vector<std::string> pipes;  // after the start
};

void expectNothingLeft(const Observation& seen)
{
    expectNothingLeft(seen.pid, seen.profile, seen.officePids, seen.pipes);
}

// Whether an office instance of this test process runs (the user's, as the
// export sees it: a shown one). Instances of other programs on this machine
// are not looked at: only the refusal tests look at the machine's.
bool ownInstanceRunning()
{
    office::sweepOrphans("/proc", fs::temp_directory_path().string(), "/tmp", ::getuid());
    const auto processes = office::listProcesses("/proc");
    const std::set<pid_t> ours = office::withDescendants(processes, {::getpid()});
    return std::any_of(processes.begin(), processes.end(), [&ours](const auto& process) {
        return ours.count(process.pid) != 0 && process.state != 'Z' &&
               process.name == "soffice.bin";
    });
}

// Passes every operation to a real host and looks in at chosen moments.
class ObservedHost final : public DocumentHost {
public:
    explicit ObservedHost(Observation& seen) : host_(seen.options), seen_(seen)
    {
        host_.setPrintFile(seen.printFile);
    }

    bool isInstanceRunning() override { return ownInstanceRunning(); }
    void startInstance() override
    {
        host_.startInstance();
        seen_.pid = host_.instancePid();
        seen_.profile = host_.profileFolder();
        seen_.officePids = officePidsOf(seen_.pid);
        seen_.pipes = office::listeningSocketPaths("/proc", seen_.officePids);
        killAt(Observation::Kill::AfterStart);
    }
    void open(const std::string& path) override
    {
        host_.open(path);
        seen_.documentLocation = host_.documentLocation();
        killAt(Observation::Kill::AfterOpen);
    }
    void selectCell(int table, int row, int column) override
    {
        host_.selectCell(table, row, column);
    }
    void typeText(const std::string& text) override
    {
        host_.typeText(text);
        if (++typed_ == 40) {
            killAt(Observation::Kill::WhileFilling);
            if (seen_.stopWhileFilling)
                office::signalGroupButLeader(seen_.pid, SIGSTOP);
        }
    }
    void printPages(const std::string& pages) override
    {
        killAt(Observation::Kill::BeforePrint);
        if (seen_.kill != Observation::Kill::BeforePrint) {
            seen_.firstProblem = host_.cellText(kProblemGridTable, 1, 1);
            seen_.secondAnswer = host_.cellText(kAnswerGridTable, 1, 2);
        }
        host_.printPages(pages);
    }
    void closeDocument() override { host_.closeDocument(); }
    void quit() override { host_.quit(); }
    void show() override { host_.show(); }

private:
    void killAt(Observation::Kill stage)
    {
        if (seen_.kill == stage)  // soffice.bin, not its keeper
            office::signalGroupButLeader(seen_.pid, SIGKILL);
    }

    LibreOfficeHost host_;
    Observation& seen_;
    int typed_ = 0;
};

struct ExportResult {
    Log log;
    std::string standardError;  // the failure's detail
};

// An export of count sample problems as sheet 03 through an observed real host.
ExportResult exportWith(Observation& seen, const std::string& document, std::vector<Answer> answers,
                        int count = 15)
{
    const testing::SampleProblems p(count);
    ExportResult result;
    ::testing::internal::CaptureStderr();
    exportLogged(
        result.log, {p.problems, p.answers, count, 3, document},
        [&seen]() -> std::unique_ptr<DocumentHost> { return std::make_unique<ObservedHost>(seen); },
        std::move(answers));
    result.standardError = ::testing::internal::GetCapturedStderr();
    return result;
}

std::string failureMessage(const Log& log)
{
    for (const std::string& entry : log) {
        if (entry.rfind("box [提示！] 导出失败：", 0) == 0) {
            return entry;
        }
    }
    return {};
}

const std::string kUnusableDocument =
    "box [提示！] 导出失败：式题导出.doc文档丢失或已损坏，请重新安装本程序！ (ok)";

class RealOffice : public ::testing::Test {
protected:
    const std::string document = exerciseDocumentPath();
};

// ---- the exercise document -----------------------------------------------------------

// The document's four tables on their two pages, as shipped and once the
// widest texts fill every cell, each on one line.
TEST_F(RealOffice, ExerciseDocumentKeepsItsTablesAndEveryCellOnOneLineWithTheWidestTexts)
{
    auto owned = std::make_unique<LibreOfficeHost>();
    LibreOfficeHost& host = *owned;
    host.startInstance();
    const pid_t pid = host.instancePid();
    host.open(document);
    const auto expectFourTablesOnTwoPages = [&host] {
        const auto shapes = host.tableShapes();
        ASSERT_EQ(shapes.size(), 4u);
        const int expected[4][4] = {{1, 1, 1, 1}, {10, 10, 1, 1}, {1, 1, 2, 2}, {10, 10, 2, 2}};
        for (size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE("table " + std::to_string(k + 1));
            EXPECT_EQ(shapes[k].rows, expected[k][0]);
            EXPECT_EQ(shapes[k].columns, expected[k][1]);
            EXPECT_EQ(shapes[k].firstPage, expected[k][2]);
            EXPECT_EQ(shapes[k].lastPage, expected[k][3]);
        }
        EXPECT_EQ(host.pageCount(), 2);
    };
    expectFourTablesOnTwoPages();
    const LocalTime time = LocalTime{2026, 12, 5, 19, 8, 5};
    for (const auto& [table, sheet] :
         {std::pair{1, SheetSide::Problems}, std::pair{3, SheetSide::Answers}}) {
        host.selectCell(table, 1, 1);
        host.typeText(headerText(sheet, time, 32767));
        EXPECT_TRUE(host.cellTextOnOneLine(table, 1, 1)) << "header of table " << table;
    }
    const char* widest[] = {"(100)99×9=891", "(100)99－10=89", "(100)79+19=98", "(100)98－19=79"};
    for (const int table : {2, 4}) {
        for (int n = 1; n <= 100; ++n) {
            host.selectCell(table, (n - 1) / 10 + 1, (n - 1) % 10 + 1);
            host.typeText(widest[n % 4]);
        }
    }
    for (const int table : {2, 4}) {
        for (int n = 1; n <= 100; ++n) {
            EXPECT_TRUE(host.cellTextOnOneLine(table, (n - 1) / 10 + 1, (n - 1) % 10 + 1))
                << "table " << table << " cell " << n;
        }
    }
    expectFourTablesOnTwoPages();
    // Ending the host without closing or quitting still ends the instance.
    const std::string profile = host.profileFolder();
    owned.reset();
    expectNothingLeft(pid, profile);
}

// ---- exports through the real host --------------------------------------------------------

TEST_F(RealOffice, DecliningToPrintLeavesTheInstanceRunningAndTheNextExportRefuses)
{
    Observation seen;
    const ExportResult result = exportWith(seen, document, {Answer::Cancel});
    EXPECT_EQ(failureMessage(result.log), "");
    EXPECT_EQ(result.log.back(),
              "box [提示语！] 导出完毕，请确认是否直接进行打印,请确定！ (ok/cancel)");
    ASSERT_GT(seen.pid, 0);
    EXPECT_FALSE(office::liveGroupMembers("/proc", seen.pid).empty())
        << "the shown instance must stay";
    EXPECT_TRUE(fs::exists(seen.profile)) << "the shown instance keeps its profile";
    EXPECT_EQ(seen.documentLocation, "")
        << "the filled sheet is untitled: the user saves it with Save As";

    // The shown instance is the user's now: a second export refuses.
    Observation second;
    const ExportResult refused = exportWith(second, document, {});
    EXPECT_EQ(refused.log,
              (Log{"box [] 系统检测到已打开WORD文档，需要关闭WORD文档才能运行！ (ok)"}));
    EXPECT_EQ(second.pid, -1);

    endShownInstance(seen.pid, seen.profile);
    // The keeper's clearing up may still be on its way out.
    EXPECT_TRUE(
        eventually([&] { return office::liveGroupMembers("/proc", seen.pid).empty(); }, 10s));
}

// A document that is missing, or no exercise document: text opens without
// tables, a program's bytes as nothing.
TEST_F(RealOffice, AnUnusableDocumentFailsWithoutLeavingAnInstance)
{
    TempFolder folder;
    std::ofstream(folder.file("text.doc")) << "这不是一个WORD文档\n";
    fs::copy_file("/bin/true", folder.file("binary.doc"));
    for (const auto& [path, reason] :
         {std::pair{std::string("/nonexistent/式题导出.doc"),
                    "/nonexistent/式题导出.doc（No such file or directory）"},
          std::pair{folder.file("text.doc"), "文档中没有第1个表格"},
          std::pair{folder.file("binary.doc"), "不是WORD文档"}}) {
        SCOPED_TRACE(path);
        Observation seen;
        const ExportResult result = exportWith(seen, path, {});
        EXPECT_EQ(failureMessage(result.log), kUnusableDocument);
        EXPECT_NE(result.standardError.find(reason), std::string::npos) << result.standardError;
        expectNothingLeft(seen);
    }
}

// An office that dies at any stage: the teacher is told it ended (not that it
// stopped answering), no process is left, and the next export works.
void PrintTo(Observation::Kill stage, std::ostream* out)
{
    static const char* const kNames[] = {"Never", "AfterStart", "AfterOpen", "WhileFilling",
                                         "BeforePrint"};
    *out << kNames[static_cast<int>(stage)];
}

class RealOfficeKilled : public RealOffice,
                         public ::testing::WithParamInterface<Observation::Kill> {};

TEST_P(RealOfficeKilled, FailsWithoutLeavingAProcess)
{
    Observation seen;
    seen.kill = GetParam();
    const ExportResult result = exportWith(seen, document, {Answer::Ok, Answer::Ok}, 100);
    EXPECT_EQ(failureMessage(result.log), "box [提示！] 导出失败：LibreOffice意外退出了！ (ok)")
        << result.standardError;
    const auto lastShown = std::find(result.log.rbegin(), result.log.rend(), "progress shown");
    EXPECT_NE(std::find(result.log.rbegin(), lastShown, "progress hidden"), lastShown)
        << "the progress box is hidden again";
    expectNothingLeft(seen);

    TempFolder out;
    Observation next;
    next.printFile = out.file("print.pdf");
    const ExportResult again = exportWith(next, document, {Answer::Ok, Answer::Ok});
    EXPECT_EQ(failureMessage(again.log), "");
    EXPECT_EQ(next.firstProblem, "(1)" + sampleProblem(1));
    expectNothingLeft(next);
}

INSTANTIATE_TEST_SUITE_P(Stages, RealOfficeKilled,
                         ::testing::Values(Observation::Kill::AfterStart,
                                           Observation::Kill::AfterOpen,
                                           Observation::Kill::WhileFilling,
                                           Observation::Kill::BeforePrint),
                         [](const auto& tested) { return ::testing::PrintToString(tested.param); });

TEST_F(RealOffice, PrintingWithoutAPrinterFailsWithoutLeavingAnInstance)
{
    if (fs::exists("/run/cups/cups.sock") || fs::exists("/var/run/cups/cups.sock") ||
        fs::exists("/etc/cups/printers.conf")) {
        GTEST_SKIP() << "a print system is set up here: this would print";
    }
    Observation seen;  // no print file: the real printer
    const ExportResult result = exportWith(seen, document, {Answer::Ok, Answer::Ok});
    EXPECT_EQ(failureMessage(result.log),
              "box [提示！] 导出失败：没有可用的打印机，请检查打印机！ (ok)");
    expectNothingLeft(seen);
}

// ---- the host on its own -------------------------------------------------------------------

TEST_F(RealOffice, AHiddenInstanceOfThisProcessIsNoUsersInstanceButAShownOneIs)
{
    // Another program's office would make the machine-wide check true.
    if (LibreOfficeHost().isInstanceRunning())
        GTEST_SKIP() << "another program of this user runs LibreOffice at the moment";
    LibreOfficeHost first;
    first.startInstance();
    EXPECT_FALSE(LibreOfficeHost().isInstanceRunning());
    first.open(document);
    first.show();
    const pid_t pid = first.instancePid();
    const std::string profile = first.profileFolder();
    EXPECT_TRUE(LibreOfficeHost().isInstanceRunning());
    endShownInstance(pid, profile);
}

TEST_F(RealOffice, ErrorsOfTheModuleArriveAsHostError)
{
    std::unique_ptr<DocumentHost> host = loadLibreOfficeHost();
    host->startInstance();
    host->open(document);
    host->selectCell(2, 10, 10);
    host->typeText("(100)99×9=891");
    EXPECT_THROW(host->selectCell(5, 1, 1), HostError);
    EXPECT_THROW(host->selectCell(2, 11, 1), HostError);
    EXPECT_THROW(host->open(document), HostError) << "one document at a time";
    host->closeDocument();
    EXPECT_THROW(host->typeText("x"), HostError);
    host->quit();
    EXPECT_THROW(host->quit(), HostError);
}

// ---- any user, any locale, any working folder ---------------------------------------------

struct LocaleCase {
    const char* name;
    const char* lang;   // nullptr: unset
    const char* lcAll;  // nullptr: unset
    friend void PrintTo(const LocaleCase& c, std::ostream* out) { *out << c.name; }
};

class RealOfficeLocale : public RealOffice, public ::testing::WithParamInterface<LocaleCase> {};

// The document as installed, read-only in a folder nobody may write, under
// Chinese names, is reached whatever locale the program runs in; the export
// fills and prints it and leaves the file as it was.
TEST_P(RealOfficeLocale, ExportsTheReadOnlyChineseNamedDocumentAndNeverWritesIt)
{
    TempFolder folder;
    const fs::path programFolder = fs::path(folder.file("程序"));
    fs::create_directory(programFolder);
    const std::string copy = (programFolder / "式题导出.doc").string();
    fs::copy_file(document, copy);
    fs::permissions(copy, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(programFolder, fs::perms::owner_read | fs::perms::owner_exec |
                                       fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    const std::string before = testing::readAll(copy);
    const auto modified = fs::last_write_time(copy);
    Observation seen;
    seen.printFile = folder.file("printed.pdf");
    ExportResult result;
    {
        ScopedEnvironment environment;
        environment.set("LANG", GetParam().lang);
        environment.set("LC_ALL", GetParam().lcAll);
        environment.set("LC_CTYPE", nullptr);
        result = exportWith(seen, copy, {Answer::Ok, Answer::Cancel});
    }
    fs::permissions(programFolder, fs::perms::owner_all);
    EXPECT_EQ(failureMessage(result.log), "") << result.standardError;
    EXPECT_EQ(seen.documentLocation, "") << "opened as an untitled copy";
    EXPECT_EQ(seen.secondAnswer, "(2)" + sampleAnswer(2));
    EXPECT_EQ(pageCountOf(seen.printFile), 1);
    EXPECT_EQ(testing::readAll(copy), before);
    EXPECT_EQ(fs::last_write_time(copy), modified);
    EXPECT_EQ(fs::directory_iterator(programFolder)->path().filename().string(), "式题导出.doc")
        << "nothing else (a lock file, a backup) appears beside it";
    expectNothingLeft(seen);
}

INSTANTIATE_TEST_SUITE_P(Locales, RealOfficeLocale,
                         ::testing::Values(LocaleCase{"LangUnset", nullptr, nullptr},
                                           LocaleCase{"AllC", "zh_CN.UTF-8", "C"},
                                           LocaleCase{"Gb18030", "zh_CN.GB18030", "zh_CN.GB18030"}),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Neither the working folder nor PATH can make the export run a program of
// someone else's: the office is started by its full path, in its own folder.
TEST_F(RealOffice, AProgramPlantedInTheWorkingFolderIsNeverRun)
{
    TempFolder folder;
    const std::string marker = folder.file("planted-ran");
    for (const char* name : {"ooenv", "oosplash", "soffice", "soffice.bin", "sh", "rm"}) {
        const std::string path = folder.file(name);
        std::ofstream(path) << "#!/bin/sh\ntouch '" << marker << "'\n";
        fs::permissions(path, fs::perms::owner_all);
    }
    const fs::path before = fs::current_path();
    fs::current_path(folder.file(""));
    Observation seen;
    ExportResult result;
    {
        ScopedEnvironment environment;
        environment.set("PATH", "");
        result = exportWith(seen, document, {Answer::Ok, Answer::Ok});
    }
    fs::current_path(before);
    seen.printFile.clear();
    EXPECT_FALSE(fs::exists(marker)) << "a planted program ran";
    expectNothingLeft(seen);
}

// A stopped office misses the call's deadline: it is ended, the teacher is
// told that LibreOffice stopped answering, and nothing is left.
TEST_F(RealOffice, AStoppedOfficeMissesTheDeadlineAndIsEnded)
{
    Observation seen;
    seen.stopWhileFilling = true;
    seen.options.callTimeoutMs = 3000;
    const auto began = std::chrono::steady_clock::now();
    const ExportResult result = exportWith(seen, document, {Answer::Ok, Answer::Ok}, 100);
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(failureMessage(result.log), "box [提示！] 导出失败：LibreOffice没有响应！ (ok)")
        << result.standardError;
    EXPECT_LT(took, 60s) << "the deadline, not a hang";
    expectNothingLeft(seen);
}

// What a program killed mid-export left, found by the next export: a profile
// whose owner is dead, an office still running on it, its pipe. It is swept
// away and is no reason to refuse.
TEST_F(RealOffice, WhatADeadOwnerLeftIsSweptAndCausesNoRefusal)
{
    const std::string tmp = fs::temp_directory_path().string();
    std::string pattern = tmp + "/numbrook-office-XXXXXX";
    const std::string orphan = ::mkdtemp(pattern.data());
    std::ofstream(orphan + "/numbrook-owner") << "999999999 1\n";
    // Looks like an office on that profile to anyone reading /proc.
    const std::string stand_in = "-env:UserInstallation=" + office::fileUrlFromPath(orphan);
    const pid_t stray = spawnInNewSession("/bin/sh", {"sh", "-c", "sleep 600; :", "sh", stand_in});

    Observation seen;
    TempFolder out;
    seen.printFile = out.file("printed.pdf");
    const ExportResult result = exportWith(seen, document, {Answer::Ok, Answer::Ok});
    EXPECT_EQ(failureMessage(result.log), "");
    EXPECT_NE(result.log.front(),
              "box [] 系统检测到已打开WORD文档，需要关闭WORD文档才能运行！ (ok)");
    EXPECT_TRUE(office::waitForChild(stray, 5s)) << "the orphan's office was ended";
    ::kill(-stray, SIGKILL);  // the stand-in's own child
    EXPECT_FALSE(fs::exists(orphan));
    expectNothingLeft(seen);
}

// Run only from the test below: a program that dies mid-export.
TEST(DISABLED_Helper, DiesMidExport)
{
    const char* report = std::getenv("NUMBROOK_TEST_REPORT");
    ASSERT_NE(report, nullptr);
    LibreOfficeHost host;
    host.startInstance();
    host.open(exerciseDocumentPath());
    host.selectCell(2, 1, 1);
    host.typeText("(1)1+1=");
    // The keeper, the profile, the office process and its pipes.
    std::ofstream out(report);
    out << host.instancePid() << ' ' << host.profileFolder();
    const std::vector<pid_t> offices = officePidsOf(host.instancePid());
    out << ' ' << offices.at(0);
    for (const std::string& pipe : office::listeningSocketPaths("/proc", offices)) {
        out << ' ' << pipe;
    }
    out.close();
    ::raise(SIGKILL);
}

TEST_F(RealOffice, AProgramKilledMidExportLeavesNoOfficeAndTheNextExportWorks)
{
    TempFolder folder;
    const std::string report = folder.file("report");
    ScopedEnvironment environment;
    environment.set("NUMBROOK_TEST_REPORT", report.c_str());
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const pid_t helper = spawnInNewSession(self, {self, "--gtest_also_run_disabled_tests",
                                                  "--gtest_filter=DISABLED_Helper.DiesMidExport"});
    ASSERT_TRUE(office::waitForChild(helper, 120s));
    std::ifstream in(report);
    pid_t keeper = -1;
    std::string profile;
    pid_t officePid = -1;
    in >> keeper >> profile >> officePid;
    const std::vector<std::string> pipes{std::istream_iterator<std::string>(in), {}};
    ASSERT_GT(keeper, 0) << "the helper did not get as far as filling";
    EXPECT_GE(pipes.size(), 2u) << "the accepting and the single-instance pipe";
    EXPECT_TRUE(eventually([&] { return office::liveGroupMembers("/proc", keeper).empty(); }, 20s))
        << "the office outlived its program";
    EXPECT_TRUE(eventually([&] { return !fs::exists(profile); }, 5s)) << profile;
    expectNothingInTmp({officePid}, pipes);

    Observation next;
    next.printFile = folder.file("print.pdf");
    const ExportResult again = exportWith(next, document, {Answer::Ok, Answer::Ok});
    EXPECT_EQ(failureMessage(again.log), "");
    expectNothingLeft(next);
}

// Under any umask of the user's, nobody else may connect to the office
// (connecting to a socket needs write permission); its temporary folders
// lie in its profile, not in /tmp.
TEST_F(RealOffice, UnderUmask000TheOfficesPipesAreTheUsersAlone)
{
    const mode_t before = ::umask(0);
    Observation seen;
    ObservedHost host(seen);
    host.startInstance();
    ::umask(before);
    EXPECT_GE(seen.pipes.size(), 2u) << "the accepting and the single-instance pipe";
    for (const std::string& pipe : seen.pipes) {
        EXPECT_EQ(
            fs::status(pipe).permissions() & (fs::perms::group_write | fs::perms::others_write),
            fs::perms::none)
            << pipe;
    }
    ASSERT_FALSE(seen.officePids.empty());
    const std::string lu = "lu" + std::to_string(seen.officePids.front());
    EXPECT_TRUE(std::any_of(
        fs::directory_iterator(seen.profile + "/tmp"), fs::directory_iterator(),
        [&lu](const auto& entry) { return entry.path().filename().string().rfind(lu, 0) == 0; }));
    host.quit();
    expectNothingLeft(seen);
}

// ---- without Writer, without room: in a mount namespace of the test's own --------------

// Runs this program's disabled test `filter` as this user in a user and mount
// namespace of its own, after `setup` (sh, as the namespace's root, $1 a
// scratch folder) has changed its mounts. Skips where namespaces can't be made.
#define EXPECT_PASSES_IN_MOUNT_NAMESPACE(setup, filter)                      \
    do {                                                                     \
        const int status_ = runInMountNamespace(setup, filter);              \
        if (status_ == kNoNamespace)                                         \
            GTEST_SKIP() << "this user may not make a mount namespace here"; \
        EXPECT_EQ(status_, 0);                                               \
    } while (false)

constexpr int kNoNamespace = -2;

int runInMountNamespace(const std::string& setup, const std::string& filter)
{
    const auto run = [](const std::vector<std::string>& arguments) {
        int status = -1;
        const pid_t pid = spawnInNewSession("/usr/bin/unshare", arguments);
        while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    if (run({"unshare", "-Urm", "true"}) != 0) {
        return kNoNamespace;
    }
    TempFolder folder;
    fs::create_directory(folder.file("scratch"));
    // The test itself runs with this user's own ids again.
    const int status =
        run({"unshare", "-Urm", "/bin/sh", "-ec",
             "exec >\"$2\" 2>&1; " + setup +
                 "\nexec unshare --user --map-user=\"$3\" --map-group=\"$4\" \"$5\" "
                 "--gtest_also_run_disabled_tests --gtest_filter=\"$6\"",
             "sh", folder.file("scratch"), folder.file("output"), std::to_string(::getuid()),
             std::to_string(::getgid()), fs::read_symlink("/proc/self/exe").string(), filter});
    std::cout << std::ifstream(folder.file("output")).rdbuf();  // the inner test's report
    return status;
}

const std::string kLibreOffice = NUMBROOK_LIBREOFFICE_PROGRAM_DIR "/..";

class WriterMasked : public ::testing::TestWithParam<std::string> {};

std::string maskName(const ::testing::TestParamInfo<std::string>& tested)
{
    const char* const names[] = {"Registry", "WriterCore", "WordImport"};
    return names[tested.index];
}

TEST_P(WriterMasked, TheAutomaticChoiceTakesTheBuiltinSheets)
{
    EXPECT_PASSES_IN_MOUNT_NAMESPACE(GetParam(), "DISABLED_InMountNamespace.WithoutWriter");
}

INSTANTIATE_TEST_SUITE_P(
    Parts, WriterMasked,
    ::testing::Values(
        // The registry without writer.xcd, copied onto a file system of our own.
        "r=" + kLibreOffice +
            "/share/registry; mount -t tmpfs none \"$1\"; for f in \"$r\"/*; do "
            "[ \"${f##*/}\" = writer.xcd ] || cp -RL \"$f\" \"$1\"/; done; mount --bind \"$1\" "
            "\"$r\"",
        "mount --bind /dev/null " + kLibreOffice + "/program/libswlo.so",
        "mount --bind /dev/null " + kLibreOffice + "/program/libmswordlo.so"),
    maskName);

TEST(DISABLED_InMountNamespace, WithoutWriter)
{
    ::testing::internal::CaptureStderr();
    const std::unique_ptr<DocumentHost> chosen = chooseHostFactory(SheetsHost::Automatic)();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(dynamic_cast<builtin::BuiltinHost*>(chosen.get()), nullptr);
    EXPECT_NE(said.find("using the built-in sheets"), std::string::npos) << said;
    try {
        loadLibreOfficeHost();
        ADD_FAILURE() << "the office host was made without Writer";
    } catch (const HostError& error) {
        EXPECT_EQ(error.failure(), HostFailure::NotInstalled) << error.what();
    }
    // The office itself indeed can't read the exercise document here: it
    // fails to open it, or opens it as text without tables.
    LibreOfficeHost office;
    office.startInstance();
    try {
        office.open(exerciseDocumentPath());
        office.selectCell(kProblemGridTable, 1, 1);
        ADD_FAILURE() << "the masked office read the document";
    } catch (const HostError& error) {
        EXPECT_EQ(error.failure(), HostFailure::DocumentUnusable) << error.what();
    }
    office.quit();
}

// A temporary folder with a mebibyte free: enough for the seed, too little
// for the office, which would hang on it where a display is.
TEST(NoRoom, TheStartFailsAtOnceWithItsOwnReason)
{
    EXPECT_PASSES_IN_MOUNT_NAMESPACE("mount -t tmpfs -o size=1m none \"$1\"; export TMPDIR=\"$1\"",
                                     "DISABLED_InMountNamespace.NoRoom");
}

TEST(DISABLED_InMountNamespace, NoRoom)
{
    const auto began = std::chrono::steady_clock::now();
    try {
        LibreOfficeHost().startInstance();
        ADD_FAILURE() << "started without room";
    } catch (const HostError& error) {
        EXPECT_EQ(error.failure(), HostFailure::NoTempSpace) << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, 5s);
    for (const auto& entry : fs::directory_iterator(std::getenv("TMPDIR"))) {
        EXPECT_NE(entry.path().filename().string().rfind(office::kProfilePrefix, 0), 0u);
    }
}

TEST(LibreOfficeMissing, StartFailsWithAnInstallHint)
{
    LibreOfficeHost::Options options;
    options.programFolder = "/nonexistent/libreoffice/program";
    LibreOfficeHost host(options);
    try {
        host.startInstance();
        FAIL() << "started without LibreOffice";
    } catch (const HostError& error) {
        EXPECT_STREQ(error.what(),
                     "找不到LibreOffice（/nonexistent/libreoffice/program/"
                     "soffice），请安装LibreOffice Writer！");
        EXPECT_EQ(error.failure(), HostFailure::NotInstalled);
    }
    EXPECT_EQ(host.instancePid(), -1);
}

}  // namespace
}  // namespace numbrook
