// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/off_thread_host.h"

namespace numbrook {

// Waits for a document-host call on the window's thread in a nested event
// loop: the window keeps painting and its timers keep ticking, while the
// user's input (clicks, keys, wheel, touch) and requests to close a window
// are dropped, so that nothing new is started while the call runs.
class EventLoopWaiter final : public CallWaiter {
public:
    void wait(PendingCall& call) override;
};

}  // namespace numbrook
