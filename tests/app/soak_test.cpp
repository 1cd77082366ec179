// A long run of ticks at the heaviest settings: the clock wraps once and comes back, nothing piles up.

#include "app/sound.h"
#include "tests/ui/scripted_interaction.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace rs {
namespace {

// Resident set of this process in kB, from the kernel's own accounting.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
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
    long rssAfterWarmUp = 0;
    for (long tick = 1; tick <= kTicks; ++tick) {
        const double before = form.scene.simTime;
        form.Timer1Timer();
        if (form.scene.simTime < before) {
            ++wraps;
            wrapTick = tick;
        }
        if (tick == kWarmUp) {
            children = form.findChildren<QObject*>().size();
            rssAfterWarmUp = residentKb();
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
    // A frame that kept even a few bytes would leave megabytes behind over this many ticks.
    ASSERT_GT(rssAfterWarmUp, 0);
    EXPECT_LT(residentKb() - rssAfterWarmUp, 4096);
    form.BitBtn1->click();
}

} // namespace
} // namespace rs
