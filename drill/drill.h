// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The drill without its window: the state every part of a run shares and the
// steps of a run, as plain functions of that state. The window (app/form1.h)
// reads its boxes, calls these steps and shows what they give; nothing here
// knows a widget or a timer.
//
// A run: startScreenRun or startExportRun checks the count and sizes the
// problem arrays afresh; then each tick of the generation timer calls tick(),
// which draws a type from the ticked ones and makes the next problem, until
// the tick after the last problem ends the run (and, in an export run, calls
// the export from inside that tick). "显示" and "答案" read the problems
// through panelTexts; the stopwatch counts in stopwatchTick.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "generator/problem_types.h"
#include "generator/random_source.h"

namespace numbrook {

// The run last asked for.
enum class RunMode : int16_t {
    None = 0,
    Screen = 1,  // "出题": up to 20 problems flashed, then the panel
    Export = 2,  // "确定": up to 100 problems into the exercise sheet
};

inline constexpr int kPanelSlots = 20;

class Drill {
public:
    Drill(RandomSource& random, const Clock& clock) : random_(random), clock_(clock) {}

    // The drill state; nothing of it outlives the program.
    RunMode runMode = RunMode::None;
    int16_t problemCount = 0;               // problems of the last accepted run
    int16_t nextIndex = 0;                  // number of the next problem to make, from 1
    std::vector<std::string> problemTexts;  // the problems as set, 1..problemCount ("7×8=")
    std::vector<std::string> answerTexts;   // the same with their results ("7×8=56")
    std::array<int16_t, kDrillTypeCount>
        selectedTypes{};        // the ticked types, ascending, in 0..selectedCount-1
    int16_t selectedCount = 0;  // how many of the types are ticked
    int16_t currentType = 0;    // the type drawn by the current tick
    double elapsedMs = 0;       // the stopwatch's count
    int16_t exportNumber = 0;   // export runs asked for since start-up: the sheet number

    // The ticked types rebuilt from the boxes' states; slots from the new
    // count on keep what they held.
    void selectTypes(const std::array<bool, kDrillTypeCount>& ticked);

    // Start a run of `count` problems: the refusal to show, or empty when the
    // run has started. An export run counts its sheet number first, refused
    // or not.
    std::string startScreenRun(int16_t count);
    std::string startExportRun(int16_t count);

    // One tick of the generation timer.
    struct Tick {
        enum class Kind {
            Skipped,  // a tick came while another was still handled
            Made,     // the next problem is made
            Ended,    // the run is over (its export, if any, is done)
        };
        Kind kind = Kind::Skipped;
        std::string problem;  // Made: its text
        bool first = false;   // Made: the run's first problem
    };
    // `exportRun` runs inside the tick that ends an export run; a tick that
    // comes meanwhile is skipped.
    Tick tick(const std::function<void()>& exportRun);

    // "显示" and "答案": the refusal while the last run was an export, else empty.
    std::string panelRefusal() const;
    // The problems, or their answers, for the panel's slots: at most twenty.
    std::vector<std::string> panelTexts(bool answers) const;

    // The stopwatch: "显示" starts it from zero; each tick adds a tenth and
    // gives the time to show.
    void resetStopwatch() { elapsedMs = 0; }
    std::string stopwatchTick();

private:
    std::string startRun(int16_t count);
    std::string makeProblem();

    RandomSource& random_;
    const Clock& clock_;
    bool inTick_ = false;
};

}  // namespace numbrook
