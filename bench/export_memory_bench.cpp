// SPDX-License-Identifier: GPL-3.0-or-later
// Memory over many 100-problem exports through the window (Form1): the
// heap in use (all of malloc's arenas) and the resident set, before the
// first export and after exports 1, 2, 10, 20, 50 … N. Every box is answered
// OK, or Cancel for "keep" (the sheets kept open in the sheet window).
//
//   export_memory_bench [fake|builtin|keep|printer|office] [N]
//
// fake: the recording host of the tests; builtin: the built-in host printing
// into a PDF file; keep: the built-in host, its sheets shown in the sheet
// window; printer: the built-in host printing on the default CUPS printer;
// office: LibreOffice, its calls off the window's thread as in the program.
// Runs headless; under heaptrack or valgrind too.

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/event_loop_waiter.h"
#include "app/form1.h"
#include "app/sheet_window.h"
#include "app/startup.h"
#include "app/vb_timer.h"
#include "export/builtin/builtin_host.h"
#include "export/host_loader.h"
#include "export/off_thread_host.h"
#include "tests/export/recording_host.h"

namespace {

using namespace numbrook;

class Answering final : public MessageBoxes {
public:
    explicit Answering(Answer answer) : answer_(answer) {}
    Answer show(const std::string& text, const std::string&, Buttons) override
    {
        if (text.rfind("导出失败", 0) == 0 || text.rfind("系统检测到", 0) == 0) {
            std::fprintf(stderr, "%s\n", text.c_str());
            std::exit(1);
        }
        return answer_;
    }

private:
    Answer answer_;
};

void report(const char* when)
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    std::printf("%-10s heap in use %6zu KB, resident %6ld KB\n", when, mallinfo2().uordblks / 1024,
                resident * (::sysconf(_SC_PAGESIZE) / 1024));
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string mode = argc > 1 ? argv[1] : "builtin";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    if (mode != "fake" && mode != "builtin" && mode != "keep" && mode != "printer" &&
        mode != "office") {
        std::fprintf(stderr, "usage: %s [fake|builtin|keep|printer|office] [N]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    QStandardPaths::setTestModeEnabled(true);  // the sheet window's settings stay out of the user's

    const std::string pdf =
        (std::filesystem::temp_directory_path() / "numbrook-memory-bench.pdf").string();
    Answering boxes(mode == "keep" ? Answer::Cancel : Answer::Ok);
    const SystemClock clock;
    RandomSource random{2024};
    testing::Log log;
    QSettings settings((std::filesystem::temp_directory_path() / "numbrook-memory-bench.conf").c_str(),
                       QSettings::IniFormat);
    SheetWindows sheetWindows(SheetWindowServices{boxes, random, settings, clock});
    ExportServices exporting;
    exporting.makeHost = [&]() -> std::unique_ptr<DocumentHost> {
        log.clear();  // the fake's log holds one export
        if (mode == "fake")
            return std::make_unique<testing::RecordingHost>(log, testing::RecordingHost::Script{});
        if (mode == "office")
            return runOffThread(loadLibreOfficeHost(), std::make_shared<EventLoopWaiter>());
        auto host = std::make_unique<builtin::BuiltinHost>(
            [&sheetWindows](const auto& sheets) { sheetWindows.open()->showSheets(sheets); });
        if (mode != "printer")
            host->setPrintFile(pdf);
        return host;
    };
    exporting.documentPath = mode == "office" ? "" : "built-in";
    exporting.pause = [](int) {};
    Form1 window(Form1Services{boxes, random, clock, std::move(exporting)});
    window.show();

    report("before");
    for (int run = 1; run <= runs; ++run) {
        window.Text3->setText(QStringLiteral("100"));
        window.Command7_Click();
        while (window.Timer1->interval() != 0)
            window.Timer1_Timer();
        QApplication::processEvents();
        if (run <= 2 || run == runs || (run % 10 == 0 && (run <= 20 || run % 50 == 0)))
            report(("export " + std::to_string(run)).c_str());
    }
    std::filesystem::remove(pdf);
    return 0;
}
