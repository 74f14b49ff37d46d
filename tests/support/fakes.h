// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/speaker.h"

namespace numbrook::testing {

// A clock that stands still unless told to move.
class FixedClock final : public Clock {
public:
    LocalTime time{2026, 12, 5, 19, 8, 5, 0};
    LocalTime now() const override { return time; }
};

// Records every box and answers from a script (OK once the script is spent).
class ScriptedBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        Buttons buttons;
    };
    std::vector<Shown> shown;
    std::vector<Answer> answers;
    // Runs while a box is open, as other events may be handled under a modal box.
    std::function<void()> whileOpen;
    // Where set, every box is written there too: "box [<title>] <text> (ok)" or "(ok/cancel)".
    std::vector<std::string>* log = nullptr;

    Answer show(const std::string& text, const std::string& title, Buttons buttons) override
    {
        shown.push_back({text, title, buttons});
        if (log)
            log->push_back("box [" + title + "] " + text +
                           (buttons == Buttons::Ok ? " (ok)" : " (ok/cancel)"));
        if (whileOpen)
            whileOpen();
        if (answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

// Hears what would be said; has a voice unless told otherwise.
class RecordingSpeaker final : public Speaker {
public:
    bool hasVoice = true;
    std::vector<std::string> said;

    void findVoice(std::function<void(bool)> found) override { found(hasVoice); }
    bool available() override { return hasVoice; }
    void say(const std::string& text) override { said.push_back(text); }
};

}  // namespace numbrook::testing
