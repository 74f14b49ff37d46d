// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_run.h"

#include <cstdio>
#include <exception>
#include <iostream>

#include "core/version.h"
#include "export/document_path.h"
#include "export/export_steps.h"

namespace numbrook {

namespace {

constexpr const char* kAlreadyRunning = "系统检测到已打开WORD文档，需要关闭WORD文档才能运行！";
constexpr const char* kPrintQuestion = "导出完毕，请确认是否直接进行打印,请确定！";
constexpr const char* kAnswersQuestion = "请确认是否需要一并打印答案！";
constexpr const char* kQuestionTitle = "提示语！";
constexpr const char* kFailurePrefix = "导出失败：";
constexpr const char* kFailureTitle = "提示！";
constexpr int kPauseAfterPrintMs = 100;

}  // namespace

std::string failureReason(HostFailure failure)
{
    switch (failure) {
    case HostFailure::NotInstalled:
        return "没有安装LibreOffice Writer，请先安装！";
    case HostFailure::DocumentUnusable:
        return "式题导出.doc文档丢失或已损坏，请重新安装本程序！";
    case HostFailure::NotAnswering:
        return "LibreOffice没有响应！";
    case HostFailure::OfficeEnded:
        return "LibreOffice意外退出了！";
    case HostFailure::NoPrinter:
        return "没有可用的打印机，请检查打印机！";
    case HostFailure::PrintFailed:
        return "打印出错，请检查打印机！";
    case HostFailure::NoTempSpace:
        return "临时文件夹空间不足！";
    case HostFailure::Other:
        break;
    }
    return "LibreOffice操作出错！";
}

namespace {

// What the export has begun on the host, so that a failure can undo it.
// A step counts as begun before its call: a half-done start or open is undone too.
struct HostUse {
    bool instanceBegun = false;
    bool documentBegun = false;
    bool closeBegun = false;
    bool quitBegun = false;
    bool shown = false;
};

void writeCell(DocumentHost& host, int table, int row, int column, const std::string& text)
{
    host.selectCell(table, row, column);
    host.typeText(text);
}

// Best effort after a failure: close the document without saving and end the
// instance the export started, unless the user has been given it. Errors here
// are secondary and dropped; the host's destructor kills what is left.
void undoHostUse(DocumentHost* host, const HostUse& use)
{
    if (host == nullptr || use.shown) {
        return;
    }
    if (use.documentBegun && !use.closeBegun) {
        try {
            host->closeDocument();
        } catch (...) {
        }
    }
    if (use.instanceBegun && !use.quitBegun) {
        try {
            host->quit();
        } catch (...) {
        }
    }
}

}  // namespace

std::string sheetNumberText(int exportNumber)
{
    std::string digits = std::to_string(exportNumber);
    return exportNumber < 10 ? "0" + digits : digits;
}

std::string dateTimeText(const LocalTime& time)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return buffer;
}

std::string headerText(SheetSide sheet, const LocalTime& time, int exportNumber)
{
    const char* kind = sheet == SheetSide::Problems ? "式题" : "答案";
    return std::string(kProgramTitle) + "导出（" + kind + "）专用纸张--作者QQ（" + kAuthorContact +
           "）日期：" + dateTimeText(time) + "编号：" + sheetNumberText(exportNumber);
}

std::string progressText(int cellNumber)
{
    // How far the walk has come through the 100 cells, in whole percent.
    return std::to_string(cellNumber * 100 / kGridCells) + "%";
}

std::string gridCellText(int cellNumber, const std::string& text)
{
    return "(" + std::to_string(cellNumber) + ")" + text;
}

std::vector<GridStep> gridSteps(const std::vector<std::string>& problemTexts,
                                const std::vector<std::string>& answerTexts, int problemCount)
{
    std::vector<GridStep> steps;
    steps.reserve(kGridCells * 3);
    for (int n = 1; n <= kGridCells; ++n) {
        const int row = (n - 1) / kGridSide + 1;
        const int column = (n - 1) % kGridSide + 1;
        if (n <= problemCount) {
            // The problem grid is written before the answer grid; the caption follows.
            steps.push_back({GridStep::Kind::Cell, kProblemGridTable, row, column,
                             gridCellText(n, problemTexts[n])});
            steps.push_back({GridStep::Kind::Cell, kAnswerGridTable, row, column,
                             gridCellText(n, answerTexts[n])});
            steps.push_back({GridStep::Kind::Progress, 0, 0, 0, progressText(n)});
        } else {
            // Blanking: the caption comes first, then one space in each grid.
            steps.push_back({GridStep::Kind::Progress, 0, 0, 0, progressText(n)});
            steps.push_back({GridStep::Kind::Cell, kProblemGridTable, row, column, " "});
            steps.push_back({GridStep::Kind::Cell, kAnswerGridTable, row, column, " "});
        }
    }
    return steps;
}

void exportToDocument(const ExportJob& job, const HostFactory& makeHost, ExportView& view,
                      MessageBoxes& boxes, const Clock& clock, const Pause& pause)
{
    std::unique_ptr<DocumentHost> host;
    HostUse use;
    try {
        host = makeHost();

        // A word processor the user already runs would be taken over: refuse.
        if (host->isInstanceRunning()) {
            boxes.show(kAlreadyRunning, "", Buttons::Ok);
            return;
        }

        // Where the exercise document is, before an instance is started for it.
        const std::string document = !job.documentPath.empty() ? job.documentPath
                                     : job.locateDocument      ? job.locateDocument()
                                                               : exerciseDocumentPath();

        // Start a hidden instance of our own and open the exercise document.
        use.instanceBegun = true;
        host->startInstance();
        use.documentBegun = true;
        host->open(document);

        // The two headers, each with the clock read anew.
        writeCell(*host, kProblemHeaderTable, 1, 1,
                  headerText(SheetSide::Problems, clock.now(), job.exportNumber));
        writeCell(*host, kAnswerHeaderTable, 1, 1,
                  headerText(SheetSide::Answers, clock.now(), job.exportNumber));

        // The grids, with the progress box showing how far the walk has come.
        view.setProgressVisible(true);
        view.setProgressText(progressText(0));
        for (const GridStep& step :
             gridSteps(job.problemTexts, job.answerTexts, job.problemCount)) {
            if (step.kind == GridStep::Kind::Cell) {
                writeCell(*host, step.table, step.row, step.column, step.text);
            } else {
                view.setProgressText(step.text);
            }
        }
        view.setProgressVisible(false);

        // Print and end the instance, or give the filled document to the user.
        if (boxes.show(kPrintQuestion, kQuestionTitle, Buttons::OkCancel) == Answer::Ok) {
            const bool withAnswers =
                boxes.show(kAnswersQuestion, kQuestionTitle, Buttons::OkCancel) == Answer::Ok;
            host->printPages(withAnswers ? "1-2" : "1-1");
            const std::string notice = host->printNotice();
            pause(kPauseAfterPrintMs);
            use.closeBegun = true;
            host->closeDocument();
            use.quitBegun = true;
            host->quit();
            // A print that waits (a paused printer) is no failure, but the teacher should know.
            if (!notice.empty())
                boxes.show(notice, kFailureTitle, Buttons::Ok);
        } else {
            host->show();
            use.shown = true;
            host->selectCell(kProblemHeaderTable, 1, 1);
        }
    } catch (const std::exception& error) {
        // The teacher reads a short reason; the detail goes to standard error.
        const auto* hostError = dynamic_cast<const HostError*>(&error);
        const HostFailure failure =
            hostError != nullptr ? hostError->failure() : HostFailure::Other;
        std::cerr << "numbrook: " << kFailurePrefix << error.what() << std::endl;
        undoHostUse(host.get(), use);
        view.setProgressVisible(false);
        boxes.show(kFailurePrefix + failureReason(failure), kFailureTitle, Buttons::Ok);
    }
}

}  // namespace numbrook
