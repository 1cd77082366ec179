// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// ripplescope-render run as its own process: its pictures and trace against the window's, exit statuses.

#include "app/sound.h"
#include "sim/frame_renderer.h"
#include "tests/scene_io/test_files.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/recording_surface.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace rs {
namespace {

// Two sources in step on the x axis, fewer points than at start-up, red background.
const char* const kScene =
    "-30\r\n30\r\n12\r\n15\r\n25\r\n200\r\n0\r\n-1\r\n0\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n-1\r\n"
    "0\r\n0\r\n-100\r\n0\r\n40\r\n10\r\n0\r\n100\r\n20\r\n-40\r\n12\r\n90\r\n0\r\n0\r\n0\r\n"
    "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ProcessResult runExporter(const QStringList& args) {
    QProcess process;
    // No display: the program must pick the offscreen platform by itself.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(RIPPLESCOPE_RENDER), args);
    ProcessResult run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

// The window with the same scene, its clock set to time, after `ticks` ticks.
class Reference {
  public:
    Reference(const std::string& scene, double time) {
        EXPECT_TRUE(form.openSceneFile(QString::fromStdString(scene)));
        form.scene.simTime = time;
    }
    // One tick of the clock; the time of the frame it drew, or nothing when the clock wrapped.
    std::optional<double> tick() {
        const double time = form.scene.simTime;
        if (!clockTick(form.scene, [this] { form.drawall(); })) return std::nullopt;
        return time;
    }
    QImage picture() const { return form.graph->image().convertToFormat(QImage::Format_RGB32); }
    std::string trace(double time) {
        Scene at = form.scene;
        at.simTime = time;
        RecordingSurface surface;
        // Every point through the model afresh, independent of the renderer the program keeps.
        renderFramePlain(at, form.frameSettings(), surface);
        return surface.trace();
    }

  private:
    testing::ScriptedInteraction ui;
    TForm1 form{ui};
};

// Draws a frame trace onto a fresh canvas, so the trace can be held against the picture.
QImage replay(const std::string& trace) {
    RasterCanvas canvas;
    std::istringstream lines(trace);
    std::string op;
    while (lines >> op) {
        if (op == "brush" || op == "pen") {
            std::string hex;
            lines >> hex;
            const auto c = static_cast<Colour>(std::stoul(hex, nullptr, 16));
            op == "brush" ? canvas.setBrushColour(c) : canvas.setPenColour(c);
            continue;
        }
        std::int64_t a = 0, b = 0, c = 0, d = 0;
        lines >> a >> b;
        if (op == "moveto") {
            canvas.moveTo(a, b);
        } else if (op == "lineto") {
            canvas.lineTo(a, b);
        } else {
            lines >> c >> d;
            if (op == "fillrect") canvas.fillRect(a, b, c, d);
            if (op == "ellipse") canvas.ellipse(a, b, c, d);
            if (op == "rectangle") canvas.rectangle(a, b, c, d);
        }
    }
    return QImage(reinterpret_cast<const uchar*>(canvas.data()), RasterCanvas::kSize, RasterCanvas::kSize,
                  RasterCanvas::kSize * 4, QImage::Format_RGBX8888)
        .convertToFormat(QImage::Format_RGB32);
}

QImage loadPng(const std::string& path) {
    QImage image(QString::fromStdString(path), "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

class Exporter : public ::testing::Test {
  protected:
    void SetUp() override { test::writeBytes(scene, kScene); }
    QString q(const std::string& s) const { return QString::fromStdString(s); }

    test::TempFolder dir;
    std::string scene = dir.file("scene.rsd");
};

TEST_F(Exporter, PictureAndTraceEqualTheWindowsFrame) {
    const std::string png = dir.file("out.png");
    const std::string ops = dir.file("ops.txt");
    const ProcessResult run = runExporter({"--time", "7", "--ops", q(ops), q(scene), q(png)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;

    Reference window(scene, 7);
    ASSERT_EQ(window.tick(), 7.0);
    const QImage written = loadPng(png);
    ASSERT_EQ(written.size(), QSize(601, 601));
    EXPECT_TRUE(written == window.picture());
    EXPECT_NE(written.pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF)) << "a drawn frame, not the blank picture";
    const std::string trace = test::readBytes(ops);
    EXPECT_EQ(trace, window.trace(7));
    EXPECT_NE(trace, window.trace(8)) << "the clock reaches the trace";
    EXPECT_TRUE(replay(trace) == written) << "the trace draws the picture";
}

TEST_F(Exporter, SeveralFramesAreNumberedAndSkipTheClocksWrap) {
    const std::string ops = dir.file("ops.txt");
    const ProcessResult run =
        runExporter({"--count", "3", "--time", "99999", "--ops", q(ops), q(scene), q(dir.file("f.png"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(dir.names(),
              (std::vector<std::string>{"f00001.png", "f00002.png", "f00003.png", "ops.txt", "scene.rsd"}));

    Reference window(scene, 99999);
    const std::vector<double> times = {99999, 100000, -100000};
    for (int frame = 1; frame <= 3; ++frame) {
        std::optional<double> drawn = window.tick();
        if (!drawn) drawn = window.tick();
        ASSERT_EQ(drawn, times[static_cast<std::size_t>(frame - 1)]);
        const std::string name = dir.file("f0000" + std::to_string(frame) + ".png");
        EXPECT_TRUE(loadPng(name) == window.picture()) << name;
    }
    EXPECT_EQ(test::readBytes(ops), window.trace(-100000));
}

struct StatusCase {
    const char* what;
    QStringList args;
    int exitCode;
    const char* stream;   // "out" or "err"
    std::string expected; // a part of that stream
};

TEST_F(Exporter, ExitStatusesAndMessages) {
    test::writeBytes(dir.file("bad.rsd"), "abc\r\n");
    std::filesystem::create_directory(dir.file("folder"));
    const QString out = q(dir.file("out.png"));
    const std::vector<StatusCase> cases = {
        {"help", {"--help"}, 0, "out", "Usage: ripplescope-render [--time T]"},
        {"no names", {}, 2, "err", "Usage: ripplescope-render"},
        {"bad count", {"--count", "0", q(scene), out}, 2, "err", "Usage:"},
        {"option of Qt's", {"-platform", "xcb", q(scene), out}, 2, "err", "unknown option -platform"},
        {"missing scene", {q(dir.file("none.rsd")), out}, 1, "err", "ファイルが見つかりません.\n"},
        {"name Qt would take", {"--", "-reverse", out}, 1, "err", "ファイルが見つかりません."},
        {"folder as scene", {q(dir.file("folder")), out}, 1, "err", "ファイルが見つかりません."},
        {"bad line", {q(dir.file("bad.rsd")), out}, 1, "err", "'abc' は整数ではありません.\n"},
        {"unwritable picture", {q(scene), q(dir.file("no/such.png"))}, 1, "err", "を作成できません."},
        {"unwritable trace", {"--ops", q(dir.file("no/ops")), q(scene), out}, 1, "err", "を作成できません."},
    };
    for (const StatusCase& c : cases) {
        const ProcessResult run = runExporter(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
        const std::string& stream = std::string(c.stream) == "out" ? run.out : run.err;
        EXPECT_NE(stream.find(c.expected), std::string::npos) << c.what << ": " << stream;
        if (c.exitCode == 1 && std::string(c.what) != "unwritable trace") {
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.png"))) << c.what;
        }
    }
}

} // namespace
} // namespace rs
