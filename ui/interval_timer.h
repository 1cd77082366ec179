// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The animation timer over QTimer. Interval 0 means stopped; setting the interval it already has
// changes nothing; any other value restarts the period, so the next tick comes one full interval later.
// Ticks never queue up: a late tick is delivered once.

#include <QTimer>

#include <functional>
#include <stdexcept>

namespace rs {

// Raised when the system gives no timer.
class TimerError : public std::runtime_error {
  public:
    TimerError();
};

class IntervalTimer {
  public:
    IntervalTimer();

    int interval() const { return interval_; }
    // Keeps the new value even when the timer cannot be started, and then throws TimerError.
    void setInterval(int milliseconds);

    void setOnTimer(std::function<void()> handler) { onTimer_ = std::move(handler); }

    const QTimer& qtimer() const { return timer_; }

  private:
    QTimer timer_;
    int interval_ = 0;
    std::function<void()> onTimer_;
};

} // namespace rs
