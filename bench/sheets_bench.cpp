// SPDX-License-Identifier: GPL-3.0-or-later
// Times class sets of exercise sheets, and prints the median of each:
//   - one sheet of 100 problems and its key, drawn and written to a PDF, in process;
//   - `numbrook --make-sheets` of a class set of 40 (80 pages), and of 60 in
//     each layout (20 upright, 50 upright, 100 across, 竖式, four keys a
//     page), the whole process from exec to exit, without a display;
//   - the sheet window's preview following an option change (份数 1 → 2 and
//     39 → 40, the orientation, the keys a page), from the change to the
//     preview drawn anew and painted.
//
//   sheets_bench [--runs N] [--program PATH]
//
// The program defaults to the numbrook beside this benchmark. Runs headless.

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/qt_message_boxes.h"
#include "app/sheet_window.h"
#include "app/startup.h"
#include "bench/median.h"
#include "export/builtin/class_set.h"

namespace {

using namespace numbrook;
using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

void report(const char* what, const std::vector<double>& ms)
{
    std::printf("%-58s median %7.1f ms  (", what, bench::median(ms));
    for (const double m : ms)
        std::printf(" %.1f", m);
    std::printf(" )\n");
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int runs = 5;
    std::string program = (std::filesystem::path(argv[0]).parent_path() / "numbrook").string();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            program = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--program PATH]\n", argv[0]);
            return 2;
        }
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    QStandardPaths::setTestModeEnabled(true);  // the window's settings stay out of the user's
    const auto folder = std::filesystem::temp_directory_path();
    const std::string pdf = (folder / "numbrook-sheets-bench.pdf").string();

    const SystemClock clock;
    RandomSource random;
    SheetSetOptions one;
    one.perType = {10, 10, 10, 10, 10, 10, 10, 15, 15};
    one.noRepeats = true;
    one.form = ProblemForm::Mixed;
    std::vector<double> inProcess;
    for (int run = 0; run < runs; ++run) {
        const auto start = Steady::now();
        builtin::writeClassSetPdf(QString::fromStdString(pdf),
                                  drawClassSet(one, random, clock.now()));
        inProcess.push_back(msSince(start));
    }
    report("one sheet of 100 and its key to PDF, in process", inProcess);

    std::vector<double> wholeProcess;
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" + program +
                                "' --make-sheets '" + pdf +
                                "' --copies 40 --no-repeats --form mixed 2>/dev/null";
    for (int run = 0; run < runs; ++run) {
        const auto start = Steady::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            return 1;
        }
        wholeProcess.push_back(msSince(start));
    }
    report("numbrook --make-sheets, 40 sheets and keys (80 pages)", wholeProcess);

    // A class set of 60 in each layout.
    const std::pair<const char*, const char*> layouts[] = {
        {"60 × 20 upright, 24 pt", "--types 0 --count 20"},
        {"60 × 50 upright, mixed", "--types 0,1,2,3 --count 50 --form mixed"},
        {"60 × 100 across", "--count 100"},
        {"60 × 20 竖式", "--types 1,4,7 --count 20 --form vertical"},
        {"60 × 30, four keys a page", "--types 0,2 --count 30 --keys-per-page 4"},
    };
    for (const auto& [what, options] : layouts) {
        std::vector<double> ms;
        const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY '" + program +
                                "' --make-sheets '" + pdf + "' --copies 60 " + options +
                                " 2>/dev/null";
        for (int i = 0; i < runs; ++i) {
            const auto start = Steady::now();
            if (std::system(run.c_str()) != 0) {
                std::fprintf(stderr, "failed: %s\n", run.c_str());
                return 1;
            }
            ms.push_back(msSince(start));
        }
        report(("numbrook --make-sheets, " + std::string(what)).c_str(), ms);
    }
    std::filesystem::remove(pdf);

    const std::string conf = (folder / "numbrook-sheets-bench.conf").string();
    QSettings settings(QString::fromStdString(conf), QSettings::IniFormat);
    QtMessageBoxes boxes;
    SheetWindow window(SheetWindowServices{boxes, random, settings, clock});
    window.tickTypes({0, 1, 2, 3, 4, 5, 6, 7, 8});
    window.show();
    QApplication::processEvents();
    auto* copies = window.findChild<QSpinBox*>(QStringLiteral("Copies"));
    for (const int from : {1, 39}) {
        std::vector<double> follow;
        for (int run = 0; run < runs; ++run) {
            copies->setValue(from);
            QApplication::processEvents();
            const auto start = Steady::now();
            copies->setValue(from + 1);  // draws, lays out and previews the set anew
            window.repaint();
            follow.push_back(msSince(start));
        }
        const std::string what = "preview after 份数 " + std::to_string(from) + " -> " +
                                 std::to_string(from + 1) + ", drawn and painted";
        report(what.c_str(), follow);
    }
    // The page's options: the same problems laid out anew.
    copies->setValue(40);
    QApplication::processEvents();
    for (const char* name : {"Orientation", "KeysPerPage"}) {
        auto* box = window.findChild<QComboBox*>(QString::fromLatin1(name));
        std::vector<double> follow;
        std::vector<double> busy;  // the processor's time, whatever else the machine runs
        for (int run = 0; run < runs; ++run) {
            const auto start = Steady::now();
            const std::clock_t cpu = std::clock();
            box->setCurrentIndex((box->currentIndex() + 1) % box->count());
            window.repaint();
            follow.push_back(msSince(start));
            busy.push_back(1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
            QApplication::processEvents();
        }
        const std::string what = std::string("preview of 40 after a change of ") + name;
        report(what.c_str(), follow);
        report("  the same, processor time", busy);
    }
    std::filesystem::remove(conf);
    return 0;
}
