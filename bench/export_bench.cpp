// SPDX-License-Identifier: GPL-3.0-or-later
// Times a 100-problem export through the real LibreOffice host, phase by
// phase, and prints the median of several runs:
//
//   numbrook_export_bench [--runs N] [--problems N] [--pdf FILE]
//
// Each run starts and connects an instance, opens the exercise document
// beside the program, writes both headers and all 200 grid cells in the
// export's order, then closes the document and quits. With --pdf the filled
// document of the first run is also saved as a PDF (not timed), which is how
// the pictures of the two sheets are made.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/export_steps.h"
#include "export/document_path.h"
#include "export/libreoffice/libreoffice_host.h"
#include "bench/median.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Phases {
    double start = 0;
    double open = 0;
    double fill = 0;
    double closeAndQuit = 0;
    double whole = 0;
};

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

struct Problem {
    int a;
    const char* op;  // "＋", "+", "－", "×" or "÷"
    int b;
};

int resultOf(const Problem& p)
{
    const std::string op = p.op;
    if (op == "＋" || op == "+") {
        return p.a + p.b;
    }
    if (op == "－") {
        return p.a - p.b;
    }
    if (op == "×") {
        return p.a * p.b;
    }
    return p.a / p.b;
}

// Problems of all nine kinds in turn, from a fixed sequence so that every
// run writes the same texts, with the widest texts of the grid last:
// (97)98－19=79, (98)79+19=98, (99)99－10=89 and (100)99×9=891.
void makeProblems(int count, std::vector<std::string>& problems, std::vector<std::string>& answers)
{
    problems.assign(static_cast<size_t>(count) + 1, "");
    answers.assign(static_cast<size_t>(count) + 1, "");
    unsigned state = 12345;
    const auto draw = [&state](int low, int high) {
        state = state * 1103515245u + 12345u;
        return low + static_cast<int>((state >> 16) % static_cast<unsigned>(high - low + 1));
    };
    const Problem widest[] = {{98, "－", 19}, {79, "+", 19}, {99, "－", 10}, {99, "×", 9}};
    for (int n = 1; n <= count; ++n) {
        const int small = draw(2, 9);
        const int other = draw(2, 9);
        const int tens = draw(2, 8);
        Problem p{};
        switch (n % 9) {
        case 1:
            p = {small, "＋", other};
            break;
        case 2:
            p = {std::min(tens, 7) * 10 + small - 1, "+", 10 + (11 - small)};
            break;  // units carry
        case 3:
            p = {std::max(small, other) + 2, "－", std::min(small, other)};
            break;
        case 4:
            p = {10 + small - 1, "－", small};
            break;  // crosses ten
        case 5:
            p = {tens * 10 + small, "－", 10 + small - 1};
            break;  // no borrowing
        case 6:
            p = {tens * 10 + small - 2, "－", 10 + small};
            break;  // borrowing
        case 7:
            p = {small - 1, "×", other};
            break;
        case 8:
            p = {tens * 10 + other, "×", small};
            break;
        default:
            p = {small * other, "÷", other};
            break;
        }
        if (n > count - 4 && count >= 4) {
            p = widest[n - (count - 3)];
        }
        const std::string problem = std::to_string(p.a) + p.op + std::to_string(p.b) + "=";
        problems[static_cast<size_t>(n)] = problem;
        answers[static_cast<size_t>(n)] = problem + std::to_string(resultOf(p));
    }
}

Phases runOnce(int count, const std::string& document, const std::string& pdf)
{
    std::vector<std::string> problems;
    std::vector<std::string> answers;
    makeProblems(count, problems, answers);
    numbrook::LocalTime time;
    time.year = 2026;
    time.month = 6;
    time.day = 5;
    time.hour = 19;
    time.minute = 8;
    time.second = 5;

    Phases phases;
    numbrook::LibreOfficeHost host;
    const auto t0 = Clock::now();
    host.startInstance();
    const auto t1 = Clock::now();
    host.open(document);
    const auto t2 = Clock::now();
    host.selectCell(numbrook::kProblemHeaderTable, 1, 1);
    host.typeText(numbrook::headerText(numbrook::SheetSide::Problems, time, 123));
    host.selectCell(numbrook::kAnswerHeaderTable, 1, 1);
    host.typeText(numbrook::headerText(numbrook::SheetSide::Answers, time, 123));
    for (const auto& step : numbrook::gridSteps(problems, answers, count)) {
        if (step.kind == numbrook::GridStep::Kind::Cell) {
            host.selectCell(step.table, step.row, step.column);
            host.typeText(step.text);
        }
    }
    const auto t3 = Clock::now();
    Clock::duration untimed{};
    if (!pdf.empty()) {
        const auto before = Clock::now();
        host.exportPdf(pdf);
        untimed = Clock::now() - before;
    }
    const auto t4 = Clock::now();
    host.closeDocument();
    host.quit();
    const auto t5 = Clock::now();

    phases.start = seconds(t0, t1);
    phases.open = seconds(t1, t2);
    phases.fill = seconds(t2, t3);
    phases.closeAndQuit = seconds(t4, t5);
    phases.whole = seconds(t0, t5) - std::chrono::duration<double>(untimed).count();
    return phases;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int count = 100;
    std::string pdf;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--problems" && i + 1 < argc) {
            count = std::clamp(std::atoi(argv[++i]), 1, numbrook::kGridCells);
        } else if (argument == "--pdf" && i + 1 < argc) {
            pdf = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--problems N] [--pdf FILE]\n", argv[0]);
            return 2;
        }
    }

    try {
        const std::string document = numbrook::exerciseDocumentPath();
        std::vector<Phases> all;
        for (int run = 0; run < runs; ++run) {
            all.push_back(runOnce(count, document, run == 0 ? pdf : std::string()));
        }
        const auto medianOf = [&](double Phases::*phase) {
            std::vector<double> values;
            for (const Phases& phases : all) {
                values.push_back(phases.*phase);
            }
            return numbrook::bench::median(values);
        };
        std::printf("export of %d problems (%d grid cells + 2 headers), median of %d runs:\n",
                    count, 2 * numbrook::kGridCells, runs);
        std::printf("  start and connect  %6.3f s\n", medianOf(&Phases::start));
        std::printf("  open               %6.3f s\n", medianOf(&Phases::open));
        std::printf("  fill               %6.3f s\n", medianOf(&Phases::fill));
        std::printf("  close and quit     %6.3f s\n", medianOf(&Phases::closeAndQuit));
        std::printf("  whole              %6.3f s\n", medianOf(&Phases::whole));
        if (!pdf.empty()) {
            std::printf("filled document of the first run saved as %s\n", pdf.c_str());
        }
    } catch (const numbrook::HostError& error) {
        std::fprintf(stderr, "export failed: %s\n", error.what());
        return 1;
    }
    return 0;
}
