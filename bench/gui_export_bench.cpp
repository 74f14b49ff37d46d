// SPDX-License-Identifier: GPL-3.0-or-later
// Times an export through the real window and the real LibreOffice, the way
// a teacher runs it: "确定" with 100 problems at the default interval, the
// run's ticks, the export from the run's last tick to the print question,
// then printing the problem sheet (to a file). The clock stops when the
// program's real print question is exposed on the screen. Needs a display, e.g.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/numbrook_gui_export_bench [--runs N]
//
// Prints the median of the runs for: 确定 → print question, the run's own
// ticks, and last tick → print question with its phases inside the office
// host (start, open, fill), measured on the window's thread.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/event_loop_waiter.h"
#include "app/form1.h"
#include "app/real_services.h"
#include "app/startup.h"
#include "app/vb_timer.h"
#include "export/libreoffice/libreoffice_host.h"
#include "export/off_thread_host.h"
#include "bench/median.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

struct Marks {
    Clock::time_point clicked, exportBegan, started, opened, filled, question;
    std::string failure;
};

// Answers the program's real boxes once they are on the screen: the print
// question, noted when its window is exposed (mapped), with OK, and the
// answers question with Cancel (the problem sheet alone). Any other box is
// a failure.
class BoxAnswerer final : public QObject {
public:
    explicit BoxAnswerer(Marks& marks) : marks_(marks) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* window = qobject_cast<QWindow*>(object);
        if (event->type() != QEvent::Expose || !window || !window->isExposed())
            return false;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || box->windowHandle() != window || box->property("answered").toBool())
                continue;
            box->setProperty("answered", true);
            bool ok = true;
            if (box->text().startsWith(QStringLiteral("导出完毕"))) {
                marks_.question = Clock::now();
            } else if (box->text().startsWith(QStringLiteral("请确认是否需要一并打印答案"))) {
                ok = false;
            } else {
                marks_.failure = box->text().toStdString();
            }
            QTimer::singleShot(0, box, [box, ok] {
                if (ok)
                    box->defaultButton()->click();
                else
                    box->escapeButton()->click();
            });
        }
        return false;
    }

private:
    Marks& marks_;
};

// Notes when the office host's steps end, as the window's thread sees them.
class TimedHost final : public numbrook::DocumentHost {
public:
    TimedHost(std::unique_ptr<numbrook::DocumentHost> host, Marks& marks)
        : host_(std::move(host)), marks_(marks)
    {
    }
    bool isInstanceRunning() override { return host_->isInstanceRunning(); }
    void startInstance() override
    {
        host_->startInstance();
        marks_.started = Clock::now();
    }
    void open(const std::string& path) override
    {
        host_->open(path);
        marks_.opened = Clock::now();
    }
    void selectCell(int table, int row, int column) override
    {
        host_->selectCell(table, row, column);
    }
    void typeText(const std::string& text) override
    {
        host_->typeText(text);
        marks_.filled = Clock::now();
    }
    void printPages(const std::string& pages) override { host_->printPages(pages); }
    void closeDocument() override { host_->closeDocument(); }
    void quit() override { host_->quit(); }
    void show() override { host_->show(); }

private:
    std::unique_ptr<numbrook::DocumentHost> host_;
    Marks& marks_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    numbrook::setUpApplication(app);
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
    }
    const std::string printFile =
        (std::filesystem::temp_directory_path() / "numbrook-gui-bench-print.pdf").string();

    std::vector<Marks> all;
    for (int run = 0; run < runs; ++run) {
        Marks marks;
        BoxAnswerer answerer(marks);
        app.installEventFilter(&answerer);
        numbrook::RealServices world(numbrook::SheetsHost::Office);
        numbrook::Form1Services timed = world.forWindow();
        // The program's own office host, as the window makes it, printing to a file.
        timed.exporting.makeHost = [&marks,
                                    &printFile]() -> std::unique_ptr<numbrook::DocumentHost> {
            marks.exportBegan = Clock::now();
            auto office = std::make_unique<numbrook::LibreOfficeHost>();
            office->setPrintFile(printFile);
            return numbrook::runOffThread(std::make_unique<TimedHost>(std::move(office), marks),
                                          std::make_shared<numbrook::EventLoopWaiter>());
        };
        numbrook::Form1 window(std::move(timed));
        world.placeBoxesOver(&window);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window was not shown: is there a display?\n");
            return 1;
        }
        window.Check1[0]->setChecked(true);
        window.Check1[6]->setChecked(true);
        window.Text3->setText(QStringLiteral("100"));
        marks.clicked = Clock::now();
        window.Command7_Click();
        if (!QTest::qWaitFor([&] { return !window.Timer1->isTicking(); }, 300000)) {
            std::fprintf(stderr, "the run did not end\n");
            return 1;
        }
        if (!marks.failure.empty()) {
            std::fprintf(stderr, "the export failed: %s\n", marks.failure.c_str());
            return 1;
        }
        app.removeEventFilter(&answerer);
        all.push_back(marks);
    }
    std::filesystem::remove(printFile);

    const auto medianOf = [&all](Clock::time_point Marks::*from, Clock::time_point Marks::*to) {
        std::vector<double> values;
        for (const Marks& marks : all)
            values.push_back(seconds(marks.*from, marks.*to));
        return numbrook::bench::median(values);
    };
    for (size_t run = 0; run < all.size(); ++run) {
        std::printf(
            "  run %zu: last tick → print question %6.3f s (start %6.3f, open %6.3f, fill %6.3f)\n",
            run + 1, seconds(all[run].exportBegan, all[run].question),
            seconds(all[run].exportBegan, all[run].started),
            seconds(all[run].started, all[run].opened), seconds(all[run].opened, all[run].filled));
    }
    std::printf("export of 100 problems through the window, median of %d runs:\n", runs);
    std::printf("  确定 → print question         %6.3f s\n",
                medianOf(&Marks::clicked, &Marks::question));
    std::printf("  the run's ticks               %6.3f s\n",
                medianOf(&Marks::clicked, &Marks::exportBegan));
    std::printf("  last tick → print question    %6.3f s\n",
                medianOf(&Marks::exportBegan, &Marks::question));
    std::printf("    start and connect           %6.3f s\n",
                medianOf(&Marks::exportBegan, &Marks::started));
    std::printf("    open                        %6.3f s\n",
                medianOf(&Marks::started, &Marks::opened));
    std::printf("    fill                        %6.3f s\n",
                medianOf(&Marks::opened, &Marks::filled));
    std::printf("    to the question shown       %6.3f s\n",
                medianOf(&Marks::filled, &Marks::question));
    return 0;
}
