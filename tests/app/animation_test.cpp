// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Start/Stop, the tick, frame stepping, the tick rate and the wave speed, and the frame drawall shows.

#include "app/sound.h"
#include "sim/frame_renderer.h"
#include "tests/ui/event_wait.h"
#include "tests/ui/scripted_interaction.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace rs {
namespace {

bool fileMenuEnabled(const TForm1& form) {
    return form.FileF1->menuAction()->isEnabled();
}

// Two sources with rings and lines, some points beyond the overtaking limit.
void twoSourceScene(TForm1& form) {
    WaveSource& a = form.scene.source(1);
    a.x = -100;
    a.amp = 1000;
    a.omega = 10;
    WaveSource& b = form.scene.source(2);
    b.x = 100;
    b.amp = 1000;
    b.omega = 10;
    b.phase = 90;
    WaveSource& c = form.scene.source(3);
    c.y = 120;
    c.amp = 400;
    c.omega = 7;
    form.scene.simTime = 7.0;
}

// The frame renderFramePlain draws for settings s, independent of the window's reading of its controls.
RasterCanvas expectedFrame(const Scene& scene, const FrameSettings& s) {
    RasterCanvas canvas;
    renderFramePlain(scene, s, canvas);
    return canvas;
}

bool samePicture(const RasterCanvas& a, const RasterCanvas& b) {
    return std::equal(a.data(), a.data() + RasterCanvas::kSize * RasterCanvas::kSize, b.data());
}

bool sameSettings(const FrameSettings& a, const FrameSettings& b) {
    return a.ch_guruguru == b.ch_guruguru && a.ch_2cut == b.ch_2cut && a.gens1 == b.gens1 &&
           a.gens2 == b.gens2 && a.ch_seibun == b.ch_seibun && a.ch_bashi == b.ch_bashi &&
           a.ch_baishitsu == b.ch_baishitsu && a.ch_rect == b.ch_rect && a.ch_suihei == b.ch_suihei &&
           a.numpoints == b.numpoints && a.numzoom == b.numzoom;
}

class PaintCounter final : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

struct SettingsCase {
    const char* change;
    std::function<void(TForm1&)> act;
    std::function<void(FrameSettings&)> expect;
};

TEST(DrawAll, DrawsTheFrameOfTheControlsAsTheyStand) {
    const auto none = [](FrameSettings&) {};
    const SettingsCase cases[] = {
        {"defaults", [](TForm1&) {}, none},
        {"red background", [](TForm1& f) { f.ch_guruguru->setChecked(true); },
         [](FrameSettings& s) { s.ch_guruguru = true; }},
        {"two sources", [](TForm1& f) { f.ch_2cut->setChecked(true); },
         [](FrameSettings& s) { s.ch_2cut = true; }},
        {"1/r", [](TForm1& f) { f.gens1->setChecked(true); },
         [](FrameSettings& s) {
             s.gens1 = true;
             s.gens2 = false;
         }},
        {"no attenuation", [](TForm1& f) { f.gens0->setChecked(true); },
         [](FrameSettings& s) { s.gens2 = false; }},
        {"no component lines", [](TForm1& f) { f.ch_seibun->setChecked(false); },
         [](FrameSettings& s) { s.ch_seibun = false; }},
        {"no foot lines", [](TForm1& f) { f.ch_bashi->setChecked(false); },
         [](FrameSettings& s) { s.ch_bashi = false; }},
        {"no particles", [](TForm1& f) { f.ch_baishitsu->setChecked(false); },
         [](FrameSettings& s) { s.ch_baishitsu = false; }},
        {"square particles", [](TForm1& f) { f.ch_rect->setChecked(true); },
         [](FrameSettings& s) { s.ch_rect = true; }},
        {"no crosses", [](TForm1& f) { f.ch_suihei->setChecked(false); },
         [](FrameSettings& s) { s.ch_suihei = false; }},
        {"N = 50", [](TForm1& f) { f.numpoints->setPosition(50); },
         [](FrameSettings& s) { s.numpoints = 50; }},
        {"N = 5", [](TForm1& f) { f.numpoints->setPosition(5); }, [](FrameSettings& s) { s.numpoints = 5; }},
        {"limit 30", [](TForm1& f) { f.numzoom->setPosition(30); }, [](FrameSettings& s) { s.numzoom = 30; }},
        {"limit 10", [](TForm1& f) { f.numzoom->setPosition(10); }, [](FrameSettings& s) { s.numzoom = 10; }},
        {"controls no frame reads",
         [](TForm1& f) {
             f.ch_koma->setChecked(true);
             f.fpschanger->setPosition(1000);
             f.phichanger->setPosition(-90);
             f.thetachanger->setPosition(45);
         },
         none},
    };
    for (const SettingsCase& c : cases) {
        testing::ScriptedInteraction ui;
        TForm1 form(ui);
        PaintCounter paints;
        form.graph->installEventFilter(&paints);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        twoSourceScene(form);
        c.act(form);
        FrameSettings expected;
        c.expect(expected);

        EXPECT_TRUE(sameSettings(form.frameSettings(), expected)) << c.change;
        form.drawall();
        EXPECT_TRUE(samePicture(form.picture, expectedFrame(form.scene, expected))) << c.change;
        EXPECT_EQ(form.scene.simTime, 7.0) << c.change << ": drawing alone leaves the clock";

        // The view repaints once the frame is complete, when the event loop runs again.
        QCoreApplication::processEvents();
        const int before = paints.count;
        form.drawall();
        EXPECT_EQ(paints.count, before) << c.change << ": painted in the middle of a frame";
        QCoreApplication::processEvents();
        EXPECT_GT(paints.count, before) << c.change << ": the finished frame was never shown";
    }
}

// A colour no frame uses: a picture still holding it was not drawn over.
constexpr Colour kUntouched = 0x00123456;

void paintUntouched(TForm1& form) {
    form.picture.setBrushColour(kUntouched);
    form.picture.fillRect(0, 0, RasterCanvas::kSize, RasterCanvas::kSize);
}

enum class Event { click, tick, fpsTo1000, velocityTo37, velocityTo5 };

struct StateCase {
    const char* name;
    bool running;
    bool koma;
    Event event;
    int interval;   // of Timer1 afterwards
    double simTime; // afterwards, from 40
    double speed;   // afterwards, from 2.0
};

TEST(Animation, StateTable) {
    const StateCase cases[] = {
        {"stopped, click starts", false, false, Event::click, 200, 40, 2.0},
        {"running, click stops", true, false, Event::click, 0, 40, 2.0},
        {"running, tick draws", true, false, Event::tick, 200, 41, 2.0},
        {"running, stepping tick draws and stops", true, true, Event::tick, 0, 41, 2.0},
        {"running, rate moved", true, false, Event::fpsTo1000, 1000, 40, 2.0},
        {"stopped, rate moved", false, false, Event::fpsTo1000, 0, 40, 2.0},
        {"running, speed moved", true, false, Event::velocityTo37, 200, 40, 3.7},
        {"stopped, speed moved", false, false, Event::velocityTo5, 0, 40, 0.5},
        {"stopped, stepping checked, click starts", false, true, Event::click, 200, 40, 2.0},
    };
    for (const StateCase& c : cases) {
        testing::ScriptedInteraction ui;
        TForm1 form(ui);
        twoSourceScene(form);
        form.scene.simTime = 40.0;
        ASSERT_TRUE(fileMenuEnabled(form));
        ASSERT_EQ(form.Timer1.interval(), 0);
        if (c.running) {
            form.BitBtn1->click();
        }
        form.ch_koma->setChecked(c.koma);
        paintUntouched(form);

        switch (c.event) {
        case Event::click:
            form.BitBtn1->click();
            break;
        case Event::tick:
            form.Timer1Timer();
            break;
        case Event::fpsTo1000:
            form.fpschanger->setPosition(1000);
            break;
        case Event::velocityTo37:
            form.velocitychanger->setPosition(37);
            break;
        case Event::velocityTo5:
            form.velocitychanger->setPosition(5);
            break;
        }

        EXPECT_EQ(form.Timer1.interval(), c.interval) << c.name;
        EXPECT_EQ(form.Timer1.qtimer().isActive(), c.interval != 0) << c.name;
        EXPECT_EQ(fileMenuEnabled(form), c.interval == 0) << c.name;
        EXPECT_EQ(form.scene.simTime, c.simTime) << c.name;
        const bool drawn = c.simTime != 40.0;
        EXPECT_EQ(form.picture.pixel(3, 3) != kUntouched, drawn) << c.name;
        for (int k = 1; k <= kSourceCount; ++k) {
            EXPECT_EQ(form.scene.source(k).speed, c.speed) << c.name << ", source " << k;
        }
        EXPECT_TRUE(ui.errors.empty()) << c.name;
    }
}

TEST(Animation, StartTakesTheRateSetWhileStopped) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.fpschanger->setPosition(1000);
    form.fpschanger->setPosition(20);
    EXPECT_EQ(form.Timer1.interval(), 0);
    form.BitBtn1->click();
    EXPECT_EQ(form.Timer1.interval(), 20);
    EXPECT_EQ(form.Timer1.qtimer().interval(), 20);
}

TEST(Animation, ClockWrapTurnsTheAngleDrawsNothingAndFrameAfterIsAtTheStart) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    twoSourceScene(form);
    form.ch_guruguru->setChecked(true);
    form.BitBtn1->click();
    form.scene.simTime = 100000.0;

    form.Timer1Timer(); // the last frame before the wrap
    EXPECT_EQ(form.scene.simTime, 100001.0);
    EXPECT_EQ(form.phichanger->position(), 32);

    paintUntouched(form);
    form.Timer1Timer(); // the wrap
    EXPECT_EQ(form.scene.simTime, -100000.0);
    EXPECT_EQ(form.phichanger->position(), 34);
    EXPECT_EQ(form.picture.pixel(3, 3), kUntouched);
    EXPECT_EQ(form.picture.pixel(300, 300), kUntouched);

    form.Timer1Timer();
    EXPECT_EQ(form.scene.simTime, -99999.0);
    Scene atStart = form.scene;
    atStart.simTime = -100000.0;
    FrameSettings red;
    red.ch_guruguru = true;
    EXPECT_TRUE(samePicture(form.picture, expectedFrame(atStart, red)));
}

TEST(Animation, TickTurnsTheHiddenAngleOnlyWithTheRedBackground) {
    struct Turn {
        int from;
        bool red;
        int to;
    };
    const Turn turns[] = {
        {30, true, 32},     {177, true, 179},   {178, true, 180}, {179, true, -179}, {180, true, -178},
        {-180, true, -178}, {-179, true, -177}, {0, true, 2},     {179, false, 179}, {-180, false, -180},
    };
    for (const Turn& t : turns) {
        testing::ScriptedInteraction ui;
        TForm1 form(ui);
        form.phichanger->setPosition(t.from);
        form.ch_guruguru->setChecked(t.red);
        form.Timer1Timer();
        EXPECT_EQ(form.phichanger->position(), t.to) << t.from << (t.red ? " red" : " white");
    }
}

TEST(Animation, TwoClicksWithinOneIntervalDrawNothing) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    twoSourceScene(form);
    form.scene.simTime = 0.0;
    form.fpschanger->setPosition(20);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_TRUE(fileMenuEnabled(form));
    // Several intervals pass; no tick may come.
    QTest::qWait(120);
    EXPECT_EQ(form.scene.simTime, 0.0);
    EXPECT_EQ(form.picture.pixel(3, 3), kWhite);
}

TEST(Animation, FrameSteppingDrawsOneFramePerClickAndFreesTheFileMenu) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    twoSourceScene(form);
    form.scene.simTime = 57.0;
    form.fpschanger->setPosition(20);
    form.ch_koma->setChecked(true);
    for (int click = 1; click <= 3; ++click) {
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        EXPECT_FALSE(fileMenuEnabled(form)) << click;
        ASSERT_TRUE(testing::processEventsUntil([&] { return form.Timer1.interval() == 0; })) << click;
        EXPECT_EQ(form.scene.simTime, 57.0 + click);
        EXPECT_TRUE(fileMenuEnabled(form)) << click;
        EXPECT_FALSE(form.Timer1.qtimer().isActive()) << click;
        // Nothing more comes while stopped.
        QTest::qWait(60);
        EXPECT_EQ(form.scene.simTime, 57.0 + click);
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST(Animation, RunningTimerDrawsFramesAndStopKeepsTheClock) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    twoSourceScene(form);
    form.scene.simTime = 0.0;
    form.fpschanger->setPosition(20);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(testing::processEventsUntil([&] { return form.scene.simTime >= 3.0; }));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    const double stoppedAt = form.scene.simTime;
    QTest::qWait(60);
    EXPECT_EQ(form.scene.simTime, stoppedAt);

    // Starting again goes on from where the clock stood.
    form.ch_koma->setChecked(true);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(testing::processEventsUntil([&] { return form.Timer1.interval() == 0; }));
    EXPECT_EQ(form.scene.simTime, stoppedAt + 1.0);
    Scene previous = form.scene;
    previous.simTime = stoppedAt;
    EXPECT_TRUE(samePicture(form.picture, expectedFrame(previous, FrameSettings{})));
}

} // namespace
} // namespace rs
