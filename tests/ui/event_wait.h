// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Runs the event loop until a condition holds. The deadline only keeps a broken build from hanging
// the suite; no test asserts anything about how long the wait took.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace rs::testing {

template <class Condition> bool processEventsUntil(Condition done, int failSafeMs = 20000) {
    QDeadlineTimer deadline(failSafeMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace rs::testing
