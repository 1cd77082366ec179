// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/track_bar.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace rs {
namespace {

struct SetCase {
    int start;
    int requested;
    int position;
    int calls;
};

TEST(TrackBar, SettingClampsAndRunsTheHandlerOnlyOnARealChange) {
    // Range -180..180 like the hidden angle bar.
    const SetCase cases[] = {
        {30, 30, 30, 0},    {30, 32, 32, 1},       {30, 500, 180, 1},        {30, -500, -180, 1},
        {180, 181, 180, 0}, {-180, -181, -180, 0}, {-180, INT_MIN, -180, 0}, {0, INT_MAX, 180, 1},
    };
    for (const SetCase& c : cases) {
        TrackBar bar(Qt::Horizontal, nullptr);
        bar.setInitial(-180, 180, c.start, 5, 15);
        int calls = 0;
        int seen = 0;
        bar.setOnChange([&] {
            ++calls;
            seen = bar.position();
        });
        bar.setPosition(c.requested);
        EXPECT_EQ(bar.position(), c.position) << c.start << " -> " << c.requested;
        EXPECT_EQ(calls, c.calls) << c.start << " -> " << c.requested;
        if (c.calls > 0) {
            EXPECT_EQ(seen, c.position) << "the handler sees the new position";
        }
    }
}

TEST(TrackBar, InitialSettingsRunNoHandler) {
    TrackBar bar(Qt::Vertical, nullptr);
    int calls = 0;
    bar.setOnChange([&] { ++calls; });
    bar.setInitial(20, 1000, 200, 0, 20);
    bar.setInitial(5, 50, 20, 1, 2); // also when the new range moves the old position
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(bar.position(), 20);
    EXPECT_EQ(bar.minimum(), 5);
    EXPECT_EQ(bar.maximum(), 50);
    bar.setPosition(21);
    EXPECT_EQ(calls, 1);
}

struct KeyCase {
    Qt::Orientation orientation;
    Qt::Key key;
    int lineStep;
    int delta;
};

TEST(TrackBar, KeysMoveTheThumbTheWayTheArrowPoints) {
    // Vertical bars have their minimum at the top: Up moves towards it.
    const KeyCase cases[] = {
        {Qt::Vertical, Qt::Key_Up, 1, -1},     {Qt::Vertical, Qt::Key_Down, 1, +1},
        {Qt::Vertical, Qt::Key_PageUp, 1, -2}, {Qt::Vertical, Qt::Key_PageDown, 1, +2},
        {Qt::Vertical, Qt::Key_Home, 1, -15},  {Qt::Horizontal, Qt::Key_Right, 5, +5},
        {Qt::Horizontal, Qt::Key_Left, 5, -5}, {Qt::Vertical, Qt::Key_Down, 0, 0},
    };
    for (const KeyCase& c : cases) {
        TrackBar bar(c.orientation, nullptr);
        bar.setInitial(5, 50, 20, c.lineStep, 2);
        int calls = 0;
        bar.setOnChange([&] { ++calls; });
        QTest::keyClick(&bar, c.key);
        EXPECT_EQ(bar.position(), 20 + c.delta) << "key " << c.key << " step " << c.lineStep;
        EXPECT_EQ(calls, c.delta == 0 ? 0 : 1) << "key " << c.key;
    }
}

TEST(TrackBar, VerticalBarHasItsMinimumAtTheTop) {
    QWidget window;
    TrackBar bar(Qt::Vertical, &window);
    bar.setGeometry(0, 0, 25, 113);
    bar.setInitial(5, 50, 20, 1, 2);
    window.resize(40, 130);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(12, 4));
    const int afterTopClick = bar.position();
    EXPECT_LT(afterTopClick, 20);
    bar.setPosition(20);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(12, 108));
    EXPECT_GT(bar.position(), 20);
}

} // namespace
} // namespace rs
