// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/interval_timer.h"

namespace rs {

TimerError::TimerError() : std::runtime_error("タイマーを取得できません") {}

IntervalTimer::IntervalTimer() {
    // Coarse timers may fire up to 5% early or late; the interval is the user's measure of the pace.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTimer_) {
            onTimer_();
        }
    });
}

void IntervalTimer::setInterval(int milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    timer_.stop();
    if (milliseconds == 0) {
        return;
    }
    if (milliseconds < 0) {
        throw TimerError();
    }
    timer_.start(milliseconds);
    // QTimer::start reports no failure and even calls a refused timer active; a real timer has an id.
    if (timer_.timerId() <= 0) {
        timer_.stop();
        throw TimerError();
    }
}

} // namespace rs
