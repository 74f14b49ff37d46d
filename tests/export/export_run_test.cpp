// SPDX-License-Identifier: GPL-3.0-or-later
// The export's exact conversation with the document host, the progress box
// and the message boxes, driven through recording doubles.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "export/export_steps.h"
#include "tests/export/recording_host.h"
#include "tests/support/sample_sheets.h"

namespace numbrook {
namespace {

using testing::exportLogged;
using testing::Log;
using testing::RecordingHost;
using testing::recordingHosts;

const std::string kDocument = "/opt/numbrook/式题导出.doc";
const std::string kPrintQuestion =
    "box [提示语！] 导出完毕，请确认是否直接进行打印,请确定！ (ok/cancel)";
const std::string kAnswersQuestion = "box [提示语！] 请确认是否需要一并打印答案！ (ok/cancel)";

using Problems = testing::SampleProblems;

struct ExportOutcome {
    Log log;
    bool progressVisibleAtEnd = true;
};

ExportOutcome runExport(const Problems& p, int exportNumber, std::vector<Answer> answers,
                        RecordingHost::Script script = {},
                        std::vector<LocalTime> times = {LocalTime{2026, 12, 5, 19, 8, 5}})
{
    ExportOutcome run;
    run.progressVisibleAtEnd =
        exportLogged(run.log, {p.problems, p.answers, p.count, exportNumber, kDocument},
                     recordingHosts(run.log, script), std::move(answers), std::move(times),
                     [&run](int ms) { run.log.push_back("pause " + std::to_string(ms)); });
    return run;
}

// The walk as the rules put it: at a problem position the problem cell, the
// answer cell, then the caption; at a blanked position the caption first.
Log expectedWalk(const Problems& p)
{
    Log log{"progress shown", "label 0%"};
    for (int row = 1; row <= 10; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const int n = (row - 1) * 10 + column;
            const std::string where = std::to_string(row) + "," + std::to_string(column);
            const std::string label = "label " + std::to_string(n) + "%";
            if (n <= p.count) {
                const std::string number = "(" + std::to_string(n) + ")";
                log.insert(log.end(),
                           {"select 2," + where, "type " + number + p.problems[n],
                            "select 4," + where, "type " + number + p.answers[n], label});
            } else {
                log.insert(log.end(),
                           {label, "select 2," + where, "type  ", "select 4," + where, "type  "});
            }
        }
    }
    log.push_back("progress hidden");
    return log;
}

Log expectedStart(const std::string& number, const std::string& problemTime,
                  const std::string& answerTime)
{
    return {"running?",
            "start",
            "open " + kDocument,
            "select 1,1,1",
            "type " + testing::sheetHeader(false, problemTime, number),
            "select 3,1,1",
            "type " + testing::sheetHeader(true, answerTime, number)};
}

Log concat(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// ---- complete exports ------------------------------------------------------------

class CompleteExport : public ::testing::TestWithParam<int> {};

TEST_P(CompleteExport, WritesHeadersGridsAndPrintsBothSheets)
{
    const Problems p(GetParam());
    const ExportOutcome run = runExport(p, 1, {Answer::Ok, Answer::Ok});
    const Log expected = concat(
        {expectedStart("01", "2026-12-05 19:08:05", "2026-12-05 19:08:05"),
         expectedWalk(p),
         {kPrintQuestion, kAnswersQuestion, "print 1-2", "pause 100", "close", "quit", "~host"}});
    EXPECT_EQ(run.log, expected);
    EXPECT_FALSE(run.progressVisibleAtEnd);
}

INSTANTIATE_TEST_SUITE_P(Counts, CompleteExport, ::testing::Values(1, 10, 15, 100));

// Spot checks of the grid addressing, independent of the expected-walk helper.
TEST(GridWalk, FifteenProblemsFillRowOneAndHalfOfRowTwoThenBlankTheRest)
{
    const Problems p(15);
    const Log log = runExport(p, 1, {Answer::Ok, Answer::Ok}).log;
    const auto at = [&log](const std::string& entry) {
        return std::find(log.begin(), log.end(), entry) - log.begin();
    };
    // Cell 15 is row 2, column 5; cell 16 is row 2, column 6; cell 21 is row 3, column 1.
    EXPECT_EQ(log[at("select 2,2,5") + 1], "type (15)25×7=");
    EXPECT_EQ(log[at("select 4,2,5") + 1], "type (15)25×7=175");
    EXPECT_EQ(log[at("select 4,2,5") + 2], "label 15%");
    EXPECT_EQ(log[at("select 2,2,6") - 1], "label 16%");
    EXPECT_EQ(log[at("select 2,2,6") + 1], "type  ");
    EXPECT_EQ(log[at("select 2,3,1") - 1], "label 21%");
    EXPECT_EQ(log[at("select 4,10,10") + 1], "type  ");
    EXPECT_EQ(std::count(log.begin(), log.end(), "type  "), 2 * 85);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& e) { return e.rfind("label", 0) == 0; }),
              101);
    EXPECT_EQ(log[at("progress hidden") - 1], "type  ");
}

// ---- headers ------------------------------------------------------------------------

struct SheetNumberCase {
    int exportNumber;
    const char* text;
    friend void PrintTo(const SheetNumberCase& c, std::ostream* out) { *out << c.exportNumber; }
};

class SheetNumber : public ::testing::TestWithParam<SheetNumberCase> {};

TEST_P(SheetNumber, StandsInBothHeaders)
{
    const Log log = runExport(Problems(1), GetParam().exportNumber, {Answer::Ok, Answer::Ok}).log;
    const std::string suffix = std::string("编号：") + GetParam().text;
    for (const size_t index : {4u, 6u}) {
        const std::string& header = log[index];
        ASSERT_GE(header.size(), suffix.size());
        EXPECT_EQ(header.substr(header.size() - suffix.size()), suffix) << header;
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, SheetNumber,
                         ::testing::Values(SheetNumberCase{0, "00"}, SheetNumberCase{1, "01"},
                                           SheetNumberCase{9, "09"}, SheetNumberCase{10, "10"},
                                           SheetNumberCase{123, "123"}));

TEST(Headers, ReadTheClockAnewForEachSheet)
{
    const ExportOutcome run =
        runExport(Problems(1), 7, {Answer::Ok, Answer::Ok}, {},
                  {LocalTime{2026, 1, 2, 3, 4, 59}, LocalTime{2026, 1, 2, 3, 5, 0}});
    const Log start(run.log.begin(), run.log.begin() + 7);
    EXPECT_EQ(start, expectedStart("07", "2026-01-02 03:04:59", "2026-01-02 03:05:00"));
}

// ---- the answers to the print questions ------------------------------------------------------

TEST(PrintQuestion, OkThenCancelPrintsTheProblemSheetAlone)
{
    const Log log = runExport(Problems(15), 1, {Answer::Ok, Answer::Cancel}).log;
    const Log tail(log.end() - 7, log.end());
    EXPECT_EQ(tail, (Log{kPrintQuestion, kAnswersQuestion, "print 1-1", "pause 100", "close",
                         "quit", "~host"}));
}

TEST(PrintQuestion, APrintThatWaitsInTheQueueIsToldOnceTheHostIsDone)
{
    RecordingHost::Script script;
    script.printNotice = "打印机已暂停，打印任务在队列中等待";
    const Log log = runExport(Problems(15), 1, {Answer::Ok, Answer::Ok}, script).log;
    const Log tail(log.end() - 4, log.end());
    EXPECT_EQ(tail, (Log{"close", "quit", "box [提示！] 打印机已暂停，打印任务在队列中等待 (ok)",
                         "~host"}));
}

TEST(PrintQuestion, CancelShowsTheDocumentWithTheCursorInTheProblemHeader)
{
    const ExportOutcome run = runExport(Problems(15), 1, {Answer::Cancel});
    const Log tail(run.log.end() - 5, run.log.end());
    EXPECT_EQ(tail, (Log{"progress hidden", kPrintQuestion, "show", "select 1,1,1", "~host"}));
    EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "close"), 0);
    EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "quit"), 0);
    EXPECT_FALSE(run.progressVisibleAtEnd);
}

// ---- the refusal ----------------------------------------------------------------------------

TEST(Refusal, RunningInstanceOnlyShowsTheMessageWithTheApplicationsTitle)
{
    RecordingHost::Script script;
    script.instanceRunning = true;
    const ExportOutcome run = runExport(Problems(15), 1, {}, script);
    EXPECT_EQ(run.log,
              (Log{"running?", "box [] 系统检测到已打开WORD文档，需要关闭WORD文档才能运行！ (ok)",
                   "~host"}));
}

// ---- failures ---------------------------------------------------------------------------------

struct FailureCase {
    const char* name;
    std::vector<Answer> answers;
    std::string failAt;
    int occurrence;
    bool dies;
    // What follows the failing operation, before the failure message.
    Log undo;
    friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

class Failure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failure, UndoesWhatWasBegunHidesTheProgressAndReportsTheError)
{
    const FailureCase& c = GetParam();
    RecordingHost::Script script;
    script.failAt = c.failAt;
    script.failOccurrence = c.occurrence;
    script.diesAtFailure = c.dies;
    const ExportOutcome run = runExport(Problems(15), 1, c.answers, script);

    auto failed = run.log.begin() - 1;
    for (int i = 0; i < c.occurrence; ++i) {
        failed = std::find(failed + 1, run.log.end(), c.failAt);
        ASSERT_NE(failed, run.log.end());
    }
    Log expectedTail = c.undo;
    expectedTail.push_back("progress hidden");
    expectedTail.push_back("box [提示！] 导出失败：LibreOffice操作出错！ (ok)");
    expectedTail.push_back("~host");
    EXPECT_EQ(Log(failed + 1, run.log.end()), expectedTail);
    EXPECT_FALSE(run.progressVisibleAtEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, Failure,
    ::testing::Values(
        FailureCase{"InstanceCannotStart", {}, "start", 1, false, {"quit"}},
        FailureCase{"DocumentMissing", {}, "open " + kDocument, 1, false, {"close", "quit"}},
        FailureCase{"HeaderTableMissing", {}, "select 3,1,1", 1, false, {"close", "quit"}},
        FailureCase{"GridCellMissing", {}, "select 4,2,3", 1, false, {"close", "quit"}},
        FailureCase{"InstanceDiesWhileFilling", {}, "type (7)17×8=136", 1, true, {"close", "quit"}},
        FailureCase{
            "NoPrinter", {Answer::Ok, Answer::Ok}, "print 1-2", 1, false, {"close", "quit"}},
        FailureCase{
            "CloseFailsAfterPrinting", {Answer::Ok, Answer::Cancel}, "close", 1, false, {"quit"}},
        FailureCase{"QuitFails", {Answer::Ok, Answer::Ok}, "quit", 1, false, {}},
        FailureCase{"ShowFails", {Answer::Cancel}, "show", 1, false, {"close", "quit"}},
        FailureCase{"CursorAfterShowingFails", {Answer::Cancel}, "select 1,1,1", 2, false, {}}),
    [](const ::testing::TestParamInfo<FailureCase>& tested) {
        return std::string(tested.param.name);
    });

// The teacher reads a short reason for each kind of failure; the host's own
// text, which names the office's internals, goes to standard error only.
struct ReasonCase {
    HostFailure failure;
    const char* failAt;
    std::vector<Answer> answers;
    const char* box;
    friend void PrintTo(const ReasonCase& c, std::ostream* out) { *out << c.box; }
};

class FailureReason : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(FailureReason, ShowsTheShortReasonAndWritesTheDetailToStandardError)
{
    const ReasonCase& c = GetParam();
    RecordingHost::Script script;
    script.failAt = c.failAt;
    script.failure = c.failure;
    ::testing::internal::CaptureStderr();
    const ExportOutcome run = runExport(Problems(3), 1, c.answers, script);
    const std::string standardError = ::testing::internal::GetCapturedStderr();

    const std::string expected = std::string("box [提示！] 导出失败：") + c.box + " (ok)";
    EXPECT_NE(std::find(run.log.begin(), run.log.end(), expected), run.log.end()) << expected;
    for (const std::string& entry : run.log) {
        EXPECT_EQ(entry.find("boom"), std::string::npos) << entry;
    }
    EXPECT_NE(standardError.find("导出失败：boom"), std::string::npos) << standardError;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailureReason,
    ::testing::Values(
        ReasonCase{
            HostFailure::NotInstalled, "start", {}, "没有安装LibreOffice Writer，请先安装！"},
        ReasonCase{HostFailure::NoTempSpace, "start", {}, "临时文件夹空间不足！"},
        ReasonCase{HostFailure::DocumentUnusable,
                   "open /opt/numbrook/式题导出.doc",
                   {},
                   "式题导出.doc文档丢失或已损坏，请重新安装本程序！"},
        ReasonCase{HostFailure::DocumentUnusable,
                   "select 2,1,1",
                   {},
                   "式题导出.doc文档丢失或已损坏，请重新安装本程序！"},
        ReasonCase{HostFailure::NotAnswering, "type (2)12×3=36", {}, "LibreOffice没有响应！"},
        ReasonCase{HostFailure::NoPrinter,
                   "print 1-2",
                   {Answer::Ok, Answer::Ok},
                   "没有可用的打印机，请检查打印机！"},
        ReasonCase{HostFailure::PrintFailed,
                   "print 1-1",
                   {Answer::Ok, Answer::Cancel},
                   "打印出错，请检查打印机！"},
        ReasonCase{HostFailure::Other, "show", {Answer::Cancel}, "LibreOffice操作出错！"}));

// A host that can't be made at all: nothing to undo, the progress box hidden,
// the reason shown and the detail written to standard error.
TEST(FailureReason, OfAHostThatCannotBeMadeIsShownWithNothingToUndo)
{
    struct Case {
        std::function<void()> fail;
        const char* detail;
        const char* reason;
    };
    const Case cases[] = {{[] { throw HostError("找不到LibreOffice", HostFailure::NotInstalled); },
                           "找不到LibreOffice", "没有安装LibreOffice Writer，请先安装！"},
                          {[] { throw std::runtime_error("out of memory"); }, "out of memory",
                           "LibreOffice操作出错！"}};
    for (const Case& c : cases) {
        Log log;
        const Problems p(3);
        ::testing::internal::CaptureStderr();
        exportLogged(log, {p.problems, p.answers, p.count, 1, kDocument},
                     [&c]() -> std::unique_ptr<DocumentHost> {
                         c.fail();
                         return nullptr;
                     },
                     {});
        const std::string standardError = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(log, (Log{"progress hidden",
                            std::string("box [提示！] 导出失败：") + c.reason + " (ok)"}));
        EXPECT_NE(standardError.find(c.detail), std::string::npos) << standardError;
    }
}

// ---- the exercise document's path ------------------------------------------------

// An export whose job leaves the document's path to be worked out.
Log exportLocating(const std::function<std::string()>& locate)
{
    Log log;
    const Problems p(1);
    exportLogged(log, {p.problems, p.answers, p.count, 1, "", locate}, recordingHosts(log),
                 {Answer::Ok, Answer::Ok});
    return log;
}

TEST(DocumentPath, IsWorkedOutWhenTheExportOpensIt)
{
    int located = 0;
    const Log log = exportLocating([&located] {
        ++located;
        return std::string("/usr/share/numbrook/式题导出.doc");
    });
    EXPECT_EQ(located, 1);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "running?");
    EXPECT_EQ(log[1], "start");
    EXPECT_EQ(log[2], "open /usr/share/numbrook/式题导出.doc");
}

TEST(DocumentPath, ThatCannotBeWorkedOutIsTheExportsFailureAndStartsNothing)
{
    const Log log = exportLocating([]() -> std::string {
        throw HostError("无法确定程序所在的文件夹：No such file or directory",
                        HostFailure::DocumentUnusable);
    });
    EXPECT_EQ(log,
              (Log{"running?", "progress hidden",
                   "box [提示！] 导出失败：式题导出.doc文档丢失或已损坏，请重新安装本程序！ (ok)",
                   "~host"}));
}

}  // namespace
}  // namespace numbrook
