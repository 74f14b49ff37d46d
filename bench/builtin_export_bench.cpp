// SPDX-License-Identifier: GPL-3.0-or-later
// Times a 100-problem export through the built-in document host: the
// export's twelve steps with both questions answered OK, the two sheets
// rendered to a PDF file instead of a printer. Prints the median of the runs.
//
//   builtin_export_bench [--runs N] [--pdf FILE]
//
// With --pdf the sheets of the last run are kept in FILE (how the pictures
// of the sheets in docs/ are made). Runs headless.

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "app/startup.h"
#include "export/builtin/builtin_host.h"
#include "export/export_run.h"

namespace {

using namespace numbrook;

class NoView final : public ExportView {
public:
    void setProgressVisible(bool) override {}
    void setProgressText(const std::string&) override {}
};

class AlwaysOk final : public MessageBoxes {
public:
    Answer show(const std::string& text, const std::string&, Buttons) override
    {
        if (text.rfind("导出失败", 0) == 0) {
            std::fprintf(stderr, "%s\n", text.c_str());
            std::exit(1);
        }
        return Answer::Ok;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int runs = 5;
    std::string pdf;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--pdf") == 0 && i + 1 < argc) {
            pdf = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--pdf FILE]\n", argv[0]);
            return 2;
        }
    }
    QApplication app(argc, argv);
    setUpApplication(app);

    // 100 two-digit by one-digit products, the widest problems.
    std::vector<std::string> problems{""}, answers{""};
    for (int n = 1; n <= 100; ++n) {
        const int a = 10 + (n * 37) % 90;
        const int b = 1 + (n * 7) % 9;
        problems.push_back(std::to_string(a) + "×" + std::to_string(b) + "=");
        answers.push_back(problems.back() + std::to_string(a * b));
    }
    const std::string out =
        pdf.empty()
            ? (std::filesystem::temp_directory_path() / "numbrook-builtin-bench.pdf").string()
            : pdf;

    NoView view;
    AlwaysOk boxes;
    SystemClock clock;
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        exportToDocument(
            {problems, answers, 100, 1, "built-in"},
            [&out]() -> std::unique_ptr<DocumentHost> {
                auto host = std::make_unique<builtin::BuiltinHost>();
                host->setPrintFile(out);
                return host;
            },
            view, boxes, clock, [](int) {});
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (pdf.empty())
        std::filesystem::remove(out);
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("built-in export, 100 problems, fill + two pages to PDF, %d runs:", runs);
    for (const double m : ms)
        std::printf(" %.1f", m);
    std::printf(" ms\nmedian %.1f ms\n", sorted[sorted.size() / 2]);
    return 0;
}
