// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Start-up state, the quit paths and errors escaping handlers while the event loop runs.

#include "app/sound.h"
#include "tests/support/run_program.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/interval_timer.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace rs {
namespace {

constexpr QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);

bool allPixels(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != (colour & 0xFFFFFFu)) {
                return false;
            }
        }
    }
    return true;
}

TEST(StartUp, ShowsAWhitePictureAndTheInitialScene) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    const QImage shown = form.graph->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(601, 601));
    EXPECT_TRUE(allPixels(shown, kWhite));
    EXPECT_EQ(form.scene.simTime, 0.0);
    for (int k = 1; k <= kSourceCount; ++k) {
        const WaveSource& s = form.scene.source(k);
        EXPECT_EQ(s.x, 0);
        EXPECT_EQ(s.amp, 0);
        EXPECT_EQ(s.speed, 2.0);
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST(StartUp, FormCreateClearsThePictureAndResetsTheScene) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.picture.setBrushColour(0x00123456);
    form.picture.fillRect(0, 0, 601, 601);
    form.scene.source(3).amp = -7;
    form.scene.source(1).phase = 90;
    setWaveSpeed(form.scene, 37);
    form.scene.simTime = 5.0;
    form.graph->repaint();
    ASSERT_FALSE(allPixels(form.graph->grab().toImage(), kWhite)) << "the view must show the canvas";

    form.FormCreate();

    EXPECT_TRUE(allPixels(form.graph->grab().toImage(), kWhite));
    EXPECT_EQ(form.picture.pixel(600, 600), 0x00FFFFFFu);
    EXPECT_EQ(form.scene.source(3).amp, 0);
    EXPECT_EQ(form.scene.source(1).phase, 0);
    EXPECT_EQ(form.scene.source(4).speed, 2.0);
    EXPECT_EQ(form.scene.simTime, 0.0);
}

TEST(StartUp, PictureShowsCanvasColoursUnchanged) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.picture.setBrushColour(0x00FF8000); // 0x00BBGGRR: blue 255, green 128, red 0
    form.picture.fillRect(10, 20, 11, 21);
    const QImage shown = form.graph->grab().toImage();
    EXPECT_EQ(shown.pixel(10, 20) & 0xFFFFFFu, qRgb(0x00, 0x80, 0xFF) & 0xFFFFFFu);
    EXPECT_EQ(shown.pixel(11, 20) & 0xFFFFFFu, kWhite & 0xFFFFFFu);
}

// Runs the event loop with the given actions queued; a stuck loop ends with 99 instead of hanging.
int runLoop(const std::vector<std::function<void()>>& actions) {
    for (const auto& action : actions) {
        QTimer::singleShot(0, action);
    }
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    failSafe.start(30000);
    return QApplication::exec();
}

struct QuitCase {
    const char* how;
    void (*act)(TForm1&);
};

TEST(Quit, EndsTheEventLoopWithExitCodeZeroAndNoQuestion) {
    const QuitCase cases[] = {
        {"File > Quit", [](TForm1& f) { f.QuitQ1->trigger(); }},
        {"closing the window", [](TForm1& f) { f.close(); }},
    };
    for (const QuitCase& c : cases) {
        testing::ScriptedInteraction ui;
        TForm1 form(ui);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const int code = runLoop({[&] { c.act(form); }});
        EXPECT_EQ(code, 0) << c.how;
        EXPECT_TRUE(ui.prompts.isEmpty() && ui.rememberedNames.isEmpty() && ui.errors.empty()) << c.how;
    }
}

TEST(Quit, ProgramCarriesOnAfterAHandlerThrew) {
    testing::ScriptedInteraction ui;
    TForm1 form(ui);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int clicks = 0;
    QObject::connect(form.BitBtn1, &QPushButton::clicked, form.guard().wrap([&] {
        ++clicks;
        throw TimerError();
    }));

    const int code = runLoop({
        [&] { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); },
        [&] { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); },
        [&] { form.QuitQ1->trigger(); },
    });

    EXPECT_EQ(code, 0);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[0].caption, QStringLiteral("Ripplescope"));
    EXPECT_EQ(ui.errors[0].text, QStringLiteral("タイマーを取得できません."));
}

// Started from a shell where no window can open: one line that says why and what to do, status 1, and
// no abort (no core dump, no advice to reinstall).
TEST(ProgramStart, WithoutAWindowSystemSaysSoInOneLine) {
    const struct {
        const char* what;
        std::vector<std::string> environment;
        const char* says;
    } cases[] = {
        {"no display", {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, "(DISPLAY is not set)"},
        {"nobody at the display",
         {"DISPLAY=:2147483", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"},
         "no X server answers at DISPLAY=:2147483"},
        {"unknown platform", {"QT_QPA_PLATFORM=nowhere"}, "the platform \"nowhere\""},
    };
    for (const auto& c : cases) {
        const test::ProcessResult run = test::runProgram(RIPPLESCOPE_WINDOW, {{}, c.environment, {}, 60});
        EXPECT_EQ(run.exitCode, 1) << c.what << ": signal " << run.signal << ", " << run.err;
        EXPECT_EQ(run.err.rfind("ripplescope: cannot open a window: ", 0), 0u) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find("xvfb-run\n"), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.what << ": " << run.err;
    }
}

} // namespace
} // namespace rs
