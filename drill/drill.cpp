// SPDX-License-Identifier: GPL-3.0-or-later
#include "drill/drill.h"

#include <algorithm>
#include <limits>

#include "core/exercise_grid.h"
#include "display/stopwatch_format.h"
#include "generator/problem_text.h"

namespace numbrook {

void Drill::selectTypes(const std::array<bool, kDrillTypeCount>& ticked)
{
    int16_t k = 0;
    for (int16_t i = 0; i < kDrillTypeCount; ++i) {
        if (ticked[static_cast<size_t>(i)])
            selectedTypes[static_cast<size_t>(k++)] = i;
    }
    selectedCount = k;
}

std::string Drill::startScreenRun(int16_t count)
{
    runMode = RunMode::Screen;
    return startRun(count);
}

std::string Drill::startExportRun(int16_t count)
{
    // Counted before the count is checked: a refused start uses a number up.
    // The counter stops at its largest value rather than wrap.
    if (exportNumber < std::numeric_limits<int16_t>::max())
        ++exportNumber;
    runMode = RunMode::Export;
    return startRun(count);
}

std::string Drill::startRun(int16_t count)
{
    if (runMode == RunMode::Screen && (count < 1 || count > kPanelSlots))
        return "输出屏幕的题量为1-20题！";
    if (runMode == RunMode::Export && (count < 1 || count > kGridCells))
        return "导出至文件的题量为1-100题！";
    problemCount = count;
    problemTexts.assign(static_cast<size_t>(count) + 1, std::string());
    answerTexts.assign(static_cast<size_t>(count) + 1, std::string());
    nextIndex = 1;
    return {};
}

Drill::Tick Drill::tick(const std::function<void()>& exportRun)
{
    // The last tick of an export run waits on the word processor and shows
    // modal boxes; a tick delivered meanwhile would export the run again.
    if (inTick_)
        return {};
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(inTick_);

    random_.reseedFrom(clock_);
    const int j = indexFromUnit(random_.next(), selectedCount);
    currentType = selectedTypes[static_cast<size_t>(j)];

    if (nextIndex == problemCount + 1) {
        // Every problem is made: the run ends.
        if (runMode == RunMode::Export && exportRun)
            exportRun();
        return {Tick::Kind::Ended, {}, false};
    }
    const bool first = nextIndex == 1;
    return {Tick::Kind::Made, makeProblem(), first};
}

std::string Drill::makeProblem()
{
    const Problem p = makeProblemOfType(currentType, random_, clock_);
    const auto i = static_cast<size_t>(nextIndex);
    answerTexts[i] = keyText(p);
    problemTexts[i] = problemText(p);
    ++nextIndex;
    return problemTexts[i];
}

std::string Drill::panelRefusal() const
{
    return runMode == RunMode::Export ? "目前运行结果用于导出至文件，无法输出到屏幕！" : "";
}

std::vector<std::string> Drill::panelTexts(bool answers) const
{
    // After a refused screen start that followed an export run, problemCount
    // can exceed the twenty slots: the first twenty problems are shown.
    const std::vector<std::string>& texts = answers ? answerTexts : problemTexts;
    const int shown = std::min<int>(problemCount, kPanelSlots);
    if (shown < 1)
        return {};
    return {texts.begin() + 1, texts.begin() + 1 + shown};
}

std::string Drill::stopwatchTick()
{
    // Counts ticks, never reads a clock: a late tick is not made up.
    elapsedMs += 100;
    return stopwatchText(elapsedMs);
}

}  // namespace numbrook
