// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test doubles for the export: a document host and a progress view that
// write every call into one shared log, with the message boxes of fakes.h
// writing there too, so that a test sees the exact order of host
// operations, progress captions and boxes; and a clock reading given times.

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
#include "export/document_host.h"
#include "export/export_run.h"
#include "tests/support/fakes.h"

namespace numbrook::testing {

using Log = std::vector<std::string>;

// Log entries: "running?", "start", "open <path>", "select t,r,c",
// "type <text>", "print <pages>", "close", "quit", "show", "~host".
class RecordingHost final : public DocumentHost {
public:
    struct Script {
        bool instanceRunning = false;
        // The operation whose log entry equals failAt for the failOccurrence-th
        // time fails with HostError("boom", failure).
        std::string failAt;
        int failOccurrence = 1;
        // After the failure every later operation fails too, as when the instance died.
        bool diesAtFailure = false;
        // What the failure says it was.
        HostFailure failure = HostFailure::Other;
        // What the host has to say of a print that did not fail.
        std::string printNotice;
    };

    RecordingHost(Log& log, Script script) : log_(log), script_(std::move(script)) {}
    ~RecordingHost() override { log_.push_back("~host"); }

    bool isInstanceRunning() override
    {
        log_.push_back("running?");
        return script_.instanceRunning;
    }
    void startInstance() override { record("start"); }
    void open(const std::string& path) override { record("open " + path); }
    void selectCell(int table, int row, int column) override
    {
        record("select " + std::to_string(table) + "," + std::to_string(row) + "," +
               std::to_string(column));
    }
    void typeText(const std::string& text) override { record("type " + text); }
    void printPages(const std::string& pages) override { record("print " + pages); }
    std::string printNotice() override { return script_.printNotice; }
    void closeDocument() override { record("close"); }
    void quit() override { record("quit"); }
    void show() override { record("show"); }

private:
    void record(const std::string& entry)
    {
        log_.push_back(entry);
        if (entry == script_.failAt) {
            ++seen_;
        }
        if (dead_ || (entry == script_.failAt && seen_ == script_.failOccurrence)) {
            dead_ = dead_ || script_.diesAtFailure;
            throw HostError("boom", script_.failure);
        }
    }

    Log& log_;
    Script script_;
    bool dead_ = false;
    int seen_ = 0;
};

// Log entries: "progress shown", "progress hidden", "label <text>".
class RecordingView final : public ExportView {
public:
    explicit RecordingView(Log& log) : log_(log) {}
    void setProgressVisible(bool visible) override
    {
        visible_ = visible;
        log_.push_back(visible ? "progress shown" : "progress hidden");
    }
    void setProgressText(const std::string& text) override { log_.push_back("label " + text); }
    bool visible() const { return visible_; }

private:
    Log& log_;
    bool visible_ = false;
};

// Returns the given times in turn, the last one from then on.
class ClockOfTimes final : public Clock {
public:
    explicit ClockOfTimes(std::vector<LocalTime> times) : times_(std::move(times)) {}
    LocalTime now() const override
    {
        const LocalTime time = times_[std::min(next_, times_.size() - 1)];
        ++next_;
        return time;
    }

private:
    std::vector<LocalTime> times_;
    mutable size_t next_ = 0;
};

// Makes recording hosts that write into log and follow script.
inline HostFactory recordingHosts(Log& log, RecordingHost::Script script = {})
{
    return [&log, script]() -> std::unique_ptr<DocumentHost> {
        return std::make_unique<RecordingHost>(log, script);
    };
}

// One export through makeHost with the recording view, boxes giving answers
// in turn and a clock reading times in turn; whether the progress box was
// left visible.
inline bool exportLogged(
    Log& log, const ExportJob& job, const HostFactory& makeHost, std::vector<Answer> answers,
    std::vector<LocalTime> times = {{2026, 12, 5, 19, 8, 5}}, const Pause& pause = [](int) {})
{
    RecordingView view(log);
    ScriptedBoxes boxes;
    boxes.answers = std::move(answers);
    boxes.log = &log;
    const ClockOfTimes clock(std::move(times));
    exportToDocument(job, makeHost, view, boxes, clock, pause);
    return view.visible();
}

}  // namespace numbrook::testing
