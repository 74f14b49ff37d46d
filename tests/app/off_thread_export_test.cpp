// SPDX-License-Identifier: GPL-3.0-or-later
// An office call runs off the window's thread: the window keeps painting and
// ticking while it waits, drops the user's input, and one run still makes
// one export.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/event_loop_waiter.h"
#include "export/off_thread_host.h"
#include "tests/app/window_fixture.h"

namespace numbrook {
namespace {

// A host whose calls wait until the test opens the gate, and that notes the
// thread of each call.
class GatedHost final : public DocumentHost {
public:
    struct Record {
        std::mutex mutex;
        std::condition_variable changed;
        bool open = false;
        int calls = 0;
        int starts = 0;
        std::thread::id callThread;
        std::thread::id endThread;  // none until the host has ended
        void release()
        {
            std::lock_guard lock(mutex);
            open = true;
            changed.notify_all();
        }
    };

    explicit GatedHost(Record& record, bool instanceRunning = false,
                       HostFailure failure = HostFailure::Other)
        : record_(record), instanceRunning_(instanceRunning), failure_(failure)
    {
    }
    ~GatedHost() override
    {
        std::lock_guard lock(record_.mutex);
        record_.endThread = std::this_thread::get_id();
    }
    bool isInstanceRunning() override
    {
        pass();
        return instanceRunning_;
    }
    void startInstance() override
    {
        pass();
        std::lock_guard lock(record_.mutex);
        ++record_.starts;
    }
    void open(const std::string&) override { pass(); }
    void selectCell(int, int, int) override { pass(); }
    void typeText(const std::string& text) override
    {
        pass();
        if (text == "fail")
            throw HostError("stopped", failure_);
    }
    void printPages(const std::string&) override { pass(); }
    void closeDocument() override { pass(); }
    void quit() override { pass(); }
    void show() override { pass(); }

private:
    void pass()
    {
        std::unique_lock lock(record_.mutex);
        ++record_.calls;
        record_.callThread = std::this_thread::get_id();
        record_.changed.wait(lock, [this] { return record_.open; });
    }

    Record& record_;
    bool instanceRunning_;
    HostFailure failure_;
};

TEST(OffThreadHost, RunsEveryCallAndTheEndOnItsThreadAndPassesResultsAndErrors)
{
    GatedHost::Record record;
    record.release();
    {
        auto host =
            runOffThread(std::make_unique<GatedHost>(record, true, HostFailure::NotAnswering),
                         std::make_shared<BlockingWaiter>());
        EXPECT_TRUE(host->isInstanceRunning());
        EXPECT_NE(record.callThread, std::this_thread::get_id());
        host->startInstance();
        try {
            host->typeText("fail");
            FAIL() << "no error";
        } catch (const HostError& error) {
            EXPECT_STREQ(error.what(), "stopped");
            EXPECT_EQ(error.failure(), HostFailure::NotAnswering);
        }
        host->typeText("ok");
        EXPECT_EQ(record.calls, 4);
    }
    EXPECT_EQ(record.endThread, record.callThread);
}

TEST(EventLoopWaiter, KeepsTimersAndPaintingGoingAndDropsInputAndCloseRequests)
{
    GatedHost::Record record;
    auto host =
        runOffThread(std::make_unique<GatedHost>(record), std::make_shared<EventLoopWaiter>());
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("确定"), &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (ticks == 3) {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            window.close();
        }
        if (ticks == 10)
            record.release();
    });
    timer.start();
    host->typeText("x");  // returns once the timer has opened the gate
    timer.stop();

    EXPECT_GE(ticks, 10);
    EXPECT_EQ(clicks, 0) << "the user's input is dropped while a call runs";
    EXPECT_TRUE(window.isVisible()) << "closing waits until the call is done";
    // After the call, input counts again.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

// The run's ticks keep coming while the export waits on the office; the
// guard turns them away, so the run still makes one export.
using testing::WindowTest;

TEST_F(WindowTest, OneExportRunLeadsToOneExportWhileTheOfficeIsWaitedOn)
{
    GatedHost::Record record;
    makeWindow([&record] {
        return runOffThread(std::make_unique<GatedHost>(record),
                            std::make_shared<EventLoopWaiter>());
    });
    w->Text2->setText(QStringLiteral("0.001"));
    w->Text3->setText(QStringLiteral("2"));

    int ticksWhileWaiting = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        bool waiting = false;
        {
            std::lock_guard lock(record.mutex);
            waiting = record.calls > 0 && !record.open;
        }
        if (!waiting)
            return;
        // The run's own timer is still set while the office is waited on.
        if (w->Timer1->isTicking())
            ++ticksWhileWaiting;
        if (ticksWhileWaiting == 20)
            record.release();
    });
    probe.start();
    w->Command7_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Timer1->isTicking(); }, 60000));
    probe.stop();

    EXPECT_EQ(hostsMade, 1);
    EXPECT_EQ(record.starts, 1);
    EXPECT_GE(ticksWhileWaiting, 20);
    EXPECT_NE(record.endThread, std::thread::id());
}

}  // namespace
}  // namespace numbrook
