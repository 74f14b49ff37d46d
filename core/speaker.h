// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace numbrook {

// Reads text aloud in Chinese, so that a test can hear what would be said.
//
// Finding a voice can take the system seconds, so it is asked for once and
// told later: findVoice() calls `found` (on the caller's thread, maybe before
// it returns) with whether there is a Chinese voice. Until then, and where
// there is none, available() is false and say() does nothing. A text said
// while another is read cuts it short.
class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void findVoice(std::function<void(bool found)> found) = 0;
    virtual bool available() = 0;
    virtual void say(const std::string& text) = 0;  // UTF-8
};

}  // namespace numbrook
