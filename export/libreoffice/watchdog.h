// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace numbrook::office {

// Arms a deadline for one call into the office; a missed one ends the
// office's processes, so that the call comes back with an error.
class Watchdog {
public:
    using Clock = std::chrono::steady_clock;

    explicit Watchdog(std::function<void()> onMiss) : onMiss_(std::move(onMiss)) {}
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Sets the deadline for the call that follows; returns the one it replaces.
    std::optional<Clock::time_point> arm(std::chrono::milliseconds timeout)
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { watch(); });
        }
        const auto previous = deadline_;
        deadline_ = Clock::now() + timeout;
        changed_.notify_all();
        return previous;
    }
    void restore(std::optional<Clock::time_point> previous)
    {
        std::lock_guard lock(mutex_);
        deadline_ = previous;
        changed_.notify_all();
    }
    bool missed() const { return missed_.load(); }
    void clearMissed() { missed_ = false; }

private:
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!deadline_) {
                changed_.wait(lock);
            } else if (Clock::now() >= *deadline_) {
                deadline_.reset();
                missed_ = true;
                lock.unlock();
                onMiss_();
                lock.lock();
            } else {
                changed_.wait_until(lock, *deadline_);
            }
        }
    }

    std::function<void()> onMiss_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Clock::time_point> deadline_;
    std::atomic<bool> missed_{false};
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace numbrook::office
