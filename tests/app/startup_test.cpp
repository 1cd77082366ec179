// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Start-up state, the quit paths and errors escaping handlers while the event loop runs.

#include "app/command_line.h"
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

// A scene whose line 18 (source 1's x) holds -100 and whose line 20 (its amplitude) holds line20.
std::string sceneWithAmplitude(const std::string& line20) {
    std::string bytes;
    for (const char* line : {"-30", "30", "20", "15", "20", "200", "0", "-1", "0", "-1", "-1", "-1", "-1",
                             "0", "0", "0", "0", "-100", "0"}) {
        bytes += std::string(line) + "\r\n";
    }
    bytes += line20 + "\r\n";
    for (int n = 21; n <= 37; ++n) {
        bytes += "0\r\n";
    }
    return bytes;
}

// At most one scene, opened once the window is up exactly as File > Open opens a chosen one. Rows with
// a status run the real program, without a display, which none of them needs; the others start the
// window, here in process, naming a file of the test's own folder.
TEST(ProgramStart, CommandLineOpensOneSceneAsOpenWould) {
    constexpr int kStarts = -1;
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;       // the real program's, or kStarts
        std::string says; // standard output for status 0, the message before the usage for 2, the error box
        std::int32_t x;   // source 1 once the window is up
        std::int32_t amp;
    } cases[] = {
        {"no file", {}, kStarts, "", 0, 0},
        {"a good file", {"good.rsd"}, kStarts, "", -100, 1000},
        {"a malformed file keeps the lines before the bad one",
         {"bad.rsd"},
         kStarts,
         "'12 3' は整数ではありません.",
         -100,
         0},
        {"a missing file is ignored", {"missing.rsd"}, kStarts, "", 0, 0},
        {"a name after --", {"--", "-dash.rsd"}, kStarts, "", -100, 1000},
        {"a name that is not UTF-8", {"\xff\xfe.rsd"}, kStarts, "", -100, 1000},
        {"two names", {"good.rsd", "bad.rsd"}, 2, "too many names: bad.rsd", 0, 0},
        {"an unknown option", {"-x", "good.rsd"}, 2, "unknown option -x", 0, 0},
        {"an unknown long option", {"--open=good.rsd"}, 2, "unknown option --open", 0, 0},
        {"an empty name", {""}, 2, "empty file name", 0, 0},
        {"--help", {"--help", "good.rsd"}, 0, kWindowUsage, 0, 0},
        {"--version", {"--version"}, 0, "ripplescope " RIPPLESCOPE_VERSION "\n", 0, 0},
    };
    test::TempFolder dir;
    test::writeBytes(dir.file("good.rsd"), sceneWithAmplitude("1000"));
    test::writeBytes(dir.file("bad.rsd"), sceneWithAmplitude("12 3"));
    test::writeBytes(dir.file("-dash.rsd"), sceneWithAmplitude("1000"));
    test::writeBytes(dir.file("\xff\xfe.rsd"), sceneWithAmplitude("1000"));

    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.status != kStarts) {
            const test::ProcessResult run = test::runProgram(
                RIPPLESCOPE_WINDOW, {c.args, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, {}, 60});
            EXPECT_EQ(run.exitCode, c.status) << run.err;
            EXPECT_EQ(run.out, c.status == 0 ? c.says : "");
            EXPECT_EQ(run.err, c.status == 0 ? "" : "ripplescope: " + c.says + "\n" + kWindowUsage);
            continue;
        }
        const WindowArguments parsed = parseWindowArguments(c.args);
        ASSERT_EQ(parsed.action, WindowArguments::Action::Start) << parsed.error;
        testing::ScriptedInteraction ui;
        TForm1 form(ui);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        if (parsed.scene) {
            form.openNamedScene(dir.file(*parsed.scene));
        }
        EXPECT_EQ(form.scene.source(1).x, c.x);
        EXPECT_EQ(form.scene.source(1).amp, c.amp);
        EXPECT_EQ(form.bt_1_x->text(), QStringLiteral("X:") + QString::number(c.x));
        ASSERT_EQ(ui.errors.size(), c.says.empty() ? 0u : 1u);
        if (!c.says.empty()) {
            EXPECT_EQ(ui.errors[0].caption, QStringLiteral("Ripplescope"));
            EXPECT_EQ(ui.errors[0].text, QString::fromStdString(c.says));
        }
        EXPECT_TRUE(ui.rememberedNames.isEmpty()) << "no dialog is shown";
    }
}

} // namespace
} // namespace rs
