// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/off_thread_host.h"

#include <deque>
#include <exception>
#include <thread>
#include <type_traits>
#include <utility>

namespace numbrook {

bool PendingCall::finished() const
{
    std::lock_guard lock(mutex_);
    return finished_;
}

bool PendingCall::setWake(std::function<void()> wake)
{
    std::lock_guard lock(mutex_);
    if (finished_) {
        return false;
    }
    wake_ = std::move(wake);
    return true;
}

void PendingCall::waitBlocking()
{
    std::unique_lock lock(mutex_);
    finishedChanged_.wait(lock, [this] { return finished_; });
}

void PendingCall::finish()
{
    std::lock_guard lock(mutex_);
    finished_ = true;
    // Under the lock: once the waiter has seen the call finish, it may end
    // whatever the wake refers to.
    if (wake_) {
        wake_();
    }
    finishedChanged_.notify_all();
}

namespace {

class OffThreadHost final : public DocumentHost {
public:
    OffThreadHost(std::unique_ptr<DocumentHost> host, std::shared_ptr<CallWaiter> waiter)
        : host_(std::move(host)), waiter_(std::move(waiter)), thread_([this] { serve(); })
    {
    }

    ~OffThreadHost() override
    {
        // The host ends on its own thread too: ending an office is a call into it.
        try {
            call([this] { host_.reset(); });
        } catch (...) {
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        queued_.notify_all();
        thread_.join();
    }

    OffThreadHost(const OffThreadHost&) = delete;
    OffThreadHost& operator=(const OffThreadHost&) = delete;

    bool isInstanceRunning() override
    {
        return call([this] { return host_->isInstanceRunning(); });
    }
    void startInstance() override
    {
        call([this] { host_->startInstance(); });
    }
    void open(const std::string& path) override
    {
        call([this, &path] { host_->open(path); });
    }
    void selectCell(int table, int row, int column) override
    {
        call([this, table, row, column] { host_->selectCell(table, row, column); });
    }
    void typeText(const std::string& text) override
    {
        call([this, &text] { host_->typeText(text); });
    }
    void printPages(const std::string& pages) override
    {
        call([this, &pages] { host_->printPages(pages); });
    }
    void closeDocument() override
    {
        call([this] { host_->closeDocument(); });
    }
    std::string printNotice() override
    {
        return call([this] { return host_->printNotice(); });
    }
    void quit() override
    {
        call([this] { host_->quit(); });
    }
    void show() override
    {
        call([this] { host_->show(); });
    }

private:
    template <class Operation>
    auto call(Operation operation) -> decltype(operation())
    {
        using Result = decltype(operation());
        PendingCall pending;
        std::exception_ptr error;
        std::conditional_t<std::is_void_v<Result>, bool, Result> result{};
        post([&] {
            try {
                if constexpr (std::is_void_v<Result>) {
                    operation();
                } else {
                    result = operation();
                }
            } catch (...) {
                error = std::current_exception();
            }
            pending.finish();
        });
        waiter_->wait(pending);
        pending.waitBlocking();  // a waiter that gave up early still waits here
        if (error) {
            std::rethrow_exception(error);
        }
        if constexpr (!std::is_void_v<Result>) {
            return result;
        }
    }

    void post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        queued_.notify_all();
    }

    void serve()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                queued_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                if (tasks_.empty()) {
                    return;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::unique_ptr<DocumentHost> host_;
    std::shared_ptr<CallWaiter> waiter_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<DocumentHost> runOffThread(std::unique_ptr<DocumentHost> host,
                                           std::shared_ptr<CallWaiter> waiter)
{
    if (!waiter) {
        waiter = std::make_shared<BlockingWaiter>();
    }
    return std::make_unique<OffThreadHost>(std::move(host), std::move(waiter));
}

}  // namespace numbrook
