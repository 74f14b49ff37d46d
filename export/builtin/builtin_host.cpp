// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/builtin/builtin_host.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "export/builtin/sheet_renderer.h"

namespace numbrook::builtin {

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

    QPrinter printer(QPrinter::HighResolution);
    if (printFile_.empty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            throw HostError("没有默认打印机（QPrinterInfo::defaultPrinter为空）",
                            HostFailure::NoPrinter);
        }
        printer.setPrinterName(info.printerName());
        if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
            throw HostError("打印机" + info.printerName().toStdString() + "不可用",
                            HostFailure::NoPrinter);
        }
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printFile_));
    }
    printer.setDocName(QStringLiteral("口算练习"));
    printer.setCopyCount(1);
    if (!renderSheets(printer, sheets_, 1, lastPage) || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        throw HostError("打印作业失败（" + printer.printerName().toStdString() + "）",
                        HostFailure::PrintFailed);
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
    show_(sheets_);
}

}  // namespace numbrook::builtin
