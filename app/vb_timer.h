// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace numbrook {

// A timer driven by its interval alone: 0 stops it, a non-zero interval
// (at most 65535 ms) starts it afresh. Ticks come as events on the UI thread.
class VbTimer : public QObject {
    Q_OBJECT
public:
    explicit VbTimer(QObject* parent = nullptr);

    void setInterval(int ms);
    int interval() const { return interval_; }
    bool isTicking() const { return timer_.isActive(); }

signals:
    void tick();

private:
    QTimer timer_;
    int interval_ = 0;
};

}  // namespace numbrook
