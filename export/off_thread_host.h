// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a document host's calls on a thread of their own, so that the thread
// that asks can go on handling what it must (a window's painting and timers)
// while it waits. For a host that blocks on another process, such as the
// office; a host that works on the asking thread itself is used directly.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "export/document_host.h"

namespace numbrook {

// One call that runs on the host's thread, as the asking thread sees it.
class PendingCall {
public:
    bool finished() const;
    // Has wake called, from the host's thread, when the call finishes; false
    // (and no call) if it has finished already. Empty: no wake.
    bool setWake(std::function<void()> wake);
    // Blocks until the call has finished.
    void waitBlocking();
    // Called once by the host's thread.
    void finish();

private:
    mutable std::mutex mutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
    std::function<void()> wake_;
};

// How the asking thread waits for a call: it returns once the call has finished.
class CallWaiter {
public:
    virtual ~CallWaiter() = default;
    virtual void wait(PendingCall& call) = 0;
};

// Waits without doing anything else.
class BlockingWaiter final : public CallWaiter {
public:
    void wait(PendingCall& call) override { call.waitBlocking(); }
};

// The host, driven from a thread of its own: made on the caller's
// thread, every call and the host's end run on that thread, one at a time,
// while the caller waits with waiter. Errors arrive as the host threw them.
std::unique_ptr<DocumentHost> runOffThread(std::unique_ptr<DocumentHost> host,
                                           std::shared_ptr<CallWaiter> waiter);

}  // namespace numbrook
