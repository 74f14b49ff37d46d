// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests write into and read from the sheets: the header line
// exactly as the teacher reads it, written here once, and sample problems.

#include <string>
#include <vector>

namespace numbrook::testing {

// The header of the problem sheet or the answer sheet, for a time
// ("yyyy-mm-dd hh:mm:ss") and a sheet number as shown ("07").
inline std::string sheetHeader(bool answers, const std::string& dateTime, const std::string& number)
{
    return std::string("NumbrookV1.6导出（") + (answers ? "答案" : "式题") +
           "）专用纸张--作者QQ（31415926）日期：" + dateTime + "编号：" + number;
}

// The headers the fixed clock of the tests gives (fakes.h), the answer
// sheet's read a second later.
inline std::string problemHeader(const std::string& number)
{
    return sheetHeader(false, "2026-12-05 19:08:05", number);
}
inline std::string answerHeader(const std::string& number)
{
    return sheetHeader(true, "2026-12-05 19:08:06", number);
}

// Problem n of 100 two-digit by one-digit products, the widest problems
// ("(100)99×9=891" the widest of all), with its answer.
inline std::string sampleProblem(int n)
{
    return std::to_string(n == 100 ? 99 : 10 + n % 90) + "×" +
           std::to_string(n == 100 ? 9 : 1 + n % 9) + "=";
}
inline std::string sampleAnswer(int n)
{
    const int a = n == 100 ? 99 : 10 + n % 90;
    const int b = n == 100 ? 9 : 1 + n % 9;
    return sampleProblem(n) + std::to_string(a * b);
}

// Sample problems 1..count with their answers, indexed as the drill holds
// them (index 0 unused).
struct SampleProblems {
    explicit SampleProblems(int problemCount) : count(problemCount)
    {
        for (int n = 1; n <= count; ++n) {
            problems.push_back(sampleProblem(n));
            answers.push_back(sampleAnswer(n));
        }
    }
    int count;
    std::vector<std::string> problems{""};
    std::vector<std::string> answers{""};
};

}  // namespace numbrook::testing
