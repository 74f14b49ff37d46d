// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/event_loop_waiter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>

namespace numbrook {
namespace {

// Drops what the user does while the export waits. Dropped rather than
// kept for later: a key kept until the print question shows would answer it.
class InputDropper final : public QObject {
public:
    InputDropper() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDropper() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputDropper(const InputDropper&) = delete;
    InputDropper& operator=(const InputDropper&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            return true;
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            return true;
        default:
            return event->isInputEvent();
        }
    }
};

}  // namespace

void EventLoopWaiter::wait(PendingCall& call)
{
    if (QCoreApplication::instance() == nullptr) {
        call.waitBlocking();
        return;
    }
    QEventLoop loop;
    const InputDropper dropper;
    if (call.setWake([&loop] {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        })) {
        // A loop that an ending application leaves early: the caller then
        // waits without the loop.
        loop.exec();
    }
    call.setWake({});
}

}  // namespace numbrook
