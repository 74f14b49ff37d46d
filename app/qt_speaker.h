// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The speaker of the program: Qt's text to speech (speech-dispatcher) with
// a Mandarin voice. The engine is made when a voice is first looked for, on
// a thread of its own: speech-dispatcher lists every voice of every
// synthesizer it has, which takes seconds with espeak-ng, and the window
// stays live meanwhile.

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "core/speaker.h"

class QObject;
class QThread;
class QTextToSpeech;

namespace numbrook {

class QtSpeaker final : public Speaker {
public:
    QtSpeaker();
    ~QtSpeaker() override;
    QtSpeaker(const QtSpeaker&) = delete;
    QtSpeaker& operator=(const QtSpeaker&) = delete;

    void findVoice(std::function<void(bool found)> found) override;
    bool available() override { return shared_->state == State::Found; }
    void say(const std::string& text) override;

    enum class State { NotAsked, Looking, Found, Missing };
    // Shared with the speech thread, which may outlive the speaker when the
    // program ends during a look-up.
    struct Shared {
        std::atomic<State> state{State::NotAsked};
        QTextToSpeech* engine = nullptr;  // lives on the speech thread
        QObject* home = nullptr;  // on the callers' thread: where `found` is called
        std::vector<std::function<void(bool)>> waiting;
    };

private:
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    QThread* thread_ = nullptr;
};

}  // namespace numbrook
