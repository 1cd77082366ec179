// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tests/ui/event_wait.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/dispatch_guard.h"
#include "ui/interval_timer.h"

#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace rs {
namespace {

struct IntervalCase {
    std::vector<int> settings;
    int interval;
    bool active;
};

TEST(IntervalTimer, ZeroMeansStoppedAnyOtherValueRuns) {
    const IntervalCase cases[] = {
        {{}, 0, false},          {{0}, 0, false},
        {{200}, 200, true},      {{200, 0}, 0, false},
        {{200, 0, 0}, 0, false}, {{200, 1000}, 1000, true},
        {{20, 20}, 20, true},    {{0, 1000, 0, 20}, 20, true},
    };
    for (const IntervalCase& c : cases) {
        IntervalTimer timer;
        for (const int ms : c.settings) {
            timer.setInterval(ms);
        }
        EXPECT_EQ(timer.interval(), c.interval) << c.settings.size();
        EXPECT_EQ(timer.qtimer().isActive(), c.active) << c.settings.size();
        if (c.active) {
            EXPECT_EQ(timer.qtimer().interval(), c.interval);
        }
    }
}

// The period a running timer still has to go; a restart puts it back to the full interval.
TEST(IntervalTimer, SameValueKeepsThePeriodNewValueRestartsIt) {
    IntervalTimer timer;
    timer.setInterval(100000);
    QThread::msleep(60);
    timer.setInterval(100000);
    EXPECT_LE(timer.qtimer().remainingTime(), 100000 - 50) << "the same value must not restart the period";

    timer.setInterval(200000);
    EXPECT_GT(timer.qtimer().remainingTime(), 100000) << "a new value starts a full new period";
}

TEST(IntervalTimer, TicksReachTheHandlerUntilStopped) {
    IntervalTimer timer;
    int ticks = 0;
    timer.setOnTimer([&] {
        if (++ticks == 3) {
            timer.setInterval(0);
        }
    });
    timer.setInterval(1);
    ASSERT_TRUE(testing::processEventsUntil([&] { return ticks >= 3; }));
    EXPECT_FALSE(timer.qtimer().isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 3);
}

TEST(IntervalTimer, ErrorInATickIsShownAndTheTimerKeepsRunning) {
    testing::ScriptedInteraction ui;
    DispatchGuard guard(ui);
    IntervalTimer timer;
    int ticks = 0;
    timer.setOnTimer(guard.wrap([&] {
        ++ticks;
        throw std::runtime_error("変換できません");
    }));
    timer.setInterval(1);
    ASSERT_TRUE(testing::processEventsUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(timer.qtimer().isActive());
    EXPECT_EQ(timer.interval(), 1);
    ASSERT_EQ(ui.errors.size(), static_cast<std::size_t>(ticks));
    EXPECT_EQ(ui.errors.back().text, QStringLiteral("変換できません."));
}

struct RefusedOutcome {
    std::optional<std::string> message;
    int interval = 0;
    bool active = true;
};

TEST(IntervalTimer, RefusedTimerRaisesAndKeepsTheNewInterval) {
    // A thread that Qt did not start has no event dispatcher, so it gives no timers.
    RefusedOutcome outcome;
    std::thread worker([&] {
        IntervalTimer timer;
        try {
            timer.setInterval(200);
        } catch (const TimerError& e) {
            outcome.message = e.what();
        }
        outcome.interval = timer.interval();
        outcome.active = timer.qtimer().isActive() && timer.qtimer().timerId() > 0;
    });
    worker.join();
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_EQ(*outcome.message, "タイマーを取得できません");
    EXPECT_EQ(outcome.interval, 200);
    EXPECT_FALSE(outcome.active);
}

TEST(IntervalTimer, NegativeIntervalIsRefused) {
    IntervalTimer timer;
    timer.setInterval(200);
    EXPECT_THROW(timer.setInterval(-1), TimerError);
    EXPECT_EQ(timer.interval(), -1);
    EXPECT_FALSE(timer.qtimer().isActive());
    timer.setInterval(0);
    EXPECT_EQ(timer.interval(), 0);
}

} // namespace
} // namespace rs
