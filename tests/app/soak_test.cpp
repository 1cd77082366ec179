// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// A long run of ticks at the heaviest settings: the clock wraps once and comes back, nothing piles up.

#include "app/sound.h"
#include "tests/ui/scripted_interaction.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <malloc.h>

namespace rs {
namespace {

// Bytes of heap in use. Under AddressSanitizer the allocator reports nothing here, and its quarantine
// would hide a leak from the resident set anyway; the plain build is the one that checks.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

TEST(Soak, TwoHundredThousandTicksWrapOnceAndLeaveNothingBehind) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.numpoints->setPosition(5);
    form.gens2->setChecked(true);
    form.ch_guruguru->setChecked(true);
    for (QCheckBox* box : {form.ch_seibun, form.ch_bashi, form.ch_baishitsu, form.ch_suihei}) {
        box->setChecked(true);
    }
    const int xy[][2] = {{-100, 0}, {100, 0}, {0, -150}, {37, 120}};
    for (int k = 1; k <= kSourceCount; ++k) {
        WaveSource& s = form.scene.source(k);
        s.x = xy[k - 1][0];
        s.y = xy[k - 1][1];
        s.amp = 1500 * k;
        s.omega = 3 * k;
        s.phase = 45 * k;
    }
    // Running as after a click on Start/Stop; the event loop never runs here, so the real timer stays
    // silent and every tick below is one of ours.
    form.BitBtn1->click();
    const int phiStart = form.phichanger->position();

    constexpr long kTicks = 200002;
    constexpr long kWarmUp = 1000;
    long wraps = 0;
    long wrapTick = -1;
    long children = 0;
    std::size_t heapAfterWarmUp = 0;
    for (long tick = 1; tick <= kTicks; ++tick) {
        const double before = form.scene.simTime;
        form.Timer1Timer();
        if (form.scene.simTime < before) {
            ++wraps;
            wrapTick = tick;
        }
        if (tick == kWarmUp) {
            children = form.findChildren<QObject*>().size();
            heapAfterWarmUp = heapInUse();
        }
    }

    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(wrapTick, 100002); // frames at 0..100000, then the tick that draws nothing
    EXPECT_EQ(form.scene.simTime, 0.0);
    // Two degrees per tick from the start position, kept within -180..180.
    const long turned = (phiStart + 180 + 2 * kTicks) % 360 - 180;
    EXPECT_EQ(form.phichanger->position(), turned);
    EXPECT_EQ(form.Timer1.interval(), 200);
    EXPECT_FALSE(form.FileF1->menuAction()->isEnabled());
    EXPECT_EQ(form.findChildren<QObject*>().size(), children);
    EXPECT_TRUE(ui.errors.empty());
    // A tick that kept even a few bytes would leave over a megabyte behind after this many ticks.
    EXPECT_LT(heapInUse(), heapAfterWarmUp + 256 * 1024);
    form.BitBtn1->click();
}

} // namespace
} // namespace rs
