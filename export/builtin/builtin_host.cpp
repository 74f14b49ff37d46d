// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/builtin_host.h"

#include <QFile>

#include "export/builtin/print_job.h"
#include "export/builtin/sheet_renderer.h"
#include "export/export_steps.h"
#include "export/print_job_name.h"

namespace numbrook::builtin {

namespace {

// The problem sheet (answers false) or the answer sheet as typed.
PageText pageOf(const FilledSheets& sheets, bool answers)
{
    const int header = answers ? kAnswerHeaderTable : kProblemHeaderTable;
    PageText page{answers ? kSheetLayout.answerTitle : kSheetLayout.problemTitle,
                  sheets.text(header, 1, 1),
                  kSheetLayout.teacherLine,
                  {},
                  std::nullopt};
    page.cells.reserve(kGridCells);
    for (int r = 1; r <= kGridSide; ++r) {
        for (int c = 1; c <= kGridSide; ++c)
            page.cells.push_back(sheets.text(header + 1, r, c));
    }
    return page;
}

}  // namespace

void BuiltinHost::startInstance()
{
    started_ = true;
}

void BuiltinHost::open(const std::string& /*path*/)
{
    // The sheet's layout is built in (sheet_layout.h): the exercise document
    // itself is not read, so sheets can be made where no word processor
    // could read it. Every open starts from empty sheets, as a fresh copy
    // of the document would.
    if (!started_) {
        throw HostError("内置练习纸：未启动就打开文档", HostFailure::Other);
    }
    sheets_ = FilledSheets{};
    documentOpen_ = true;
    selectedTable_ = 0;
}

void BuiltinHost::requireDocument(const char* operation) const
{
    if (!documentOpen_) {
        throw HostError(std::string("内置练习纸：没有打开的文档，无法") + operation,
                        HostFailure::Other);
    }
}

void BuiltinHost::selectCell(int table, int row, int column)
{
    requireDocument("选择单元格");
    FilledSheets::checkCell(table, row, column);
    selectedTable_ = table;
    selectedRow_ = row;
    selectedColumn_ = column;
}

void BuiltinHost::typeText(const std::string& text)
{
    requireDocument("输入文字");
    if (selectedTable_ == 0) {
        throw HostError("内置练习纸：没有选中的单元格", HostFailure::Other);
    }
    sheets_.setText(selectedTable_, selectedRow_, selectedColumn_, text);
}

void BuiltinHost::printPages(const std::string& pages)
{
    requireDocument("打印");
    int lastPage = 0;
    if (pages == "1-1") {
        lastPage = 1;
    } else if (pages == "1-2") {
        lastPage = 2;
    } else {
        throw HostError("内置练习纸：无法打印页码“" + pages + "”", HostFailure::PrintFailed);
    }

    // The sheets are rendered into memory as a PDF of landscape A4 pages
    // and handed to CUPS as they are: no temporary file to fail on a full
    // or unusable TMPDIR or to be left behind, and the server's answer
    // tells at once whether the job was taken.
    const std::string jobName = printJobName(sheets_.text(kProblemHeaderTable, 1, 1));
    std::vector<PageText> printed;
    for (int page = 1; page <= lastPage; ++page)
        printed.push_back(pageOf(sheets_, page != 1));
    const QByteArray pdf = pdfOf(printed, QString::fromStdString(jobName));
    if (pdf.isEmpty())
        throw HostError("无法生成打印内容", HostFailure::PrintFailed);
    printNotice_.clear();
    if (printFile_.empty()) {
        printNotice_ = waitNotice(submitPdfToDefaultPrinter(pdf.toStdString(), jobName).wait);
        return;
    }
    QFile file(QString::fromStdString(printFile_));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.flush()) {
        throw HostError("无法写入" + printFile_, HostFailure::PrintFailed);
    }
}

void BuiltinHost::closeDocument()
{
    documentOpen_ = false;
    selectedTable_ = 0;
    sheets_ = FilledSheets{};
}

void BuiltinHost::quit()
{
    started_ = false;
}

void BuiltinHost::show()
{
    requireDocument("显示");
    if (!show_) {
        throw HostError("内置练习纸：没有显示练习纸的窗口", HostFailure::Other);
    }
    show_({{pageOf(sheets_, false), pageOf(sheets_, true)},
           printJobName(sheets_.text(kProblemHeaderTable, 1, 1))});
}

}  // namespace numbrook::builtin
