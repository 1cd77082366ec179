// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// ripplescope-render run as its own process: its pictures and trace against the window's, exit statuses.

#include "app/sound.h"
#include "draw/recording_surface.h"
#include "draw/svg_surface.h"
#include "model/scene_file.h"
#include "render/frame_export.h"
#include "render/gif_animation.h"
#include "sim/frame_renderer.h"
#include "tests/scene_io/test_files.h"
#include "tests/support/run_program.h"
#include "tests/ui/scripted_interaction.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <random>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace rs {
namespace {

// Two sources in step on the x axis, fewer points than at start-up, red background.
const char* const kScene =
    "-30\r\n30\r\n12\r\n15\r\n25\r\n200\r\n0\r\n-1\r\n0\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n-1\r\n"
    "0\r\n0\r\n-100\r\n0\r\n40\r\n10\r\n0\r\n100\r\n20\r\n-40\r\n12\r\n90\r\n0\r\n0\r\n0\r\n"
    "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";

// A scene file of the given values, one a line; sources not given are all zero.
std::string sceneFile(std::initializer_list<int> values) {
    std::string text;
    for (const int v : values)
        text += std::to_string(v) + "\r\n";
    for (std::size_t line = values.size(); line < 37; ++line)
        text += "0\r\n";
    return text;
}

using test::ProcessResult;

// Runs the program with arguments as bytes, so names that are no valid UTF-8 reach it unchanged, and
// with no display, which the program does not need.
ProcessResult runExporterBytes(const std::vector<std::string>& args) {
    return test::runProgram(RIPPLESCOPE_RENDER,
                            {args, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, {}, 120});
}

ProcessResult runExporter(const QStringList& args) {
    std::vector<std::string> bytes;
    for (const QString& a : args) {
        bytes.push_back(QFile::encodeName(a).toStdString());
    }
    return runExporterBytes(bytes);
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

// Draws a frame trace onto a surface, so the trace can be held against a picture or a drawing.
void replay(const std::string& trace, DrawingSurface& surface) {
    std::istringstream lines(trace);
    std::string op;
    while (lines >> op) {
        if (op == "brush" || op == "pen") {
            std::string hex;
            lines >> hex;
            const auto c = static_cast<Colour>(std::stoul(hex, nullptr, 16));
            op == "brush" ? surface.setBrushColour(c) : surface.setPenColour(c);
            continue;
        }
        std::int64_t a = 0, b = 0, c = 0, d = 0;
        lines >> a >> b;
        if (op == "moveto") {
            surface.moveTo(a, b);
        } else if (op == "lineto") {
            surface.lineTo(a, b);
        } else {
            lines >> c >> d;
            if (op == "fillrect") surface.fillRect(a, b, c, d);
            if (op == "ellipse") surface.ellipse(a, b, c, d);
            if (op == "rectangle") surface.rectangle(a, b, c, d);
        }
    }
}

QImage replay(const std::string& trace) {
    RasterCanvas canvas;
    replay(trace, canvas);
    return QImage(reinterpret_cast<const uchar*>(canvas.data()), RasterCanvas::kSize, RasterCanvas::kSize,
                  RasterCanvas::kSize * 4, QImage::Format_RGB32)
        .copy();
}

// Read by bytes, so any name works.
QImage loadPng(const std::string& path) {
    return QImage::fromData(QByteArray::fromStdString(test::readBytes(path)), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

class Exporter : public ::testing::Test {
  protected:
    void SetUp() override { test::writeBytes(scene, kScene); }
    QString q(const std::string& s) const { return QString::fromStdString(s); }

    test::TempFolder dir;
    std::string scene = dir.file("scene.rsd");
};

// The PNG files are byte for byte those Qt's writer made of the same pictures, so a picture exported
// today is the very file exported before.
TEST(PicturePng, IsWhatQtsWriterMade) {
    const auto qtPng = [](const RasterCanvas& picture) {
        QImage rgb(RasterCanvas::kSize, RasterCanvas::kSize, QImage::Format_RGB888);
        for (int y = 0; y < RasterCanvas::kSize; ++y) {
            for (int x = 0; x < RasterCanvas::kSize; ++x) {
                const Colour c = picture.pixel(x, y);
                rgb.setPixel(x, y, qRgb(static_cast<int>(c & 0xFF), (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            }
        }
        rgb.setDotsPerMeterX(3780);
        rgb.setDotsPerMeterY(3780);
        QByteArray png;
        QBuffer buffer(&png);
        EXPECT_TRUE(buffer.open(QIODevice::WriteOnly) && rgb.save(&buffer, "PNG"));
        return png.toStdString();
    };
    test::TempFolder dir;
    const auto frameOf = [&dir](const std::string& sceneText) {
        test::writeBytes(dir.file("s.rsd"), sceneText);
        Controls controls;
        Scene scene;
        resetScene(scene);
        EXPECT_TRUE(openSceneFile(dir.file("s.rsd"), controls, scene));
        RasterCanvas picture;
        FrameRenderer().render(scene, frameSettings(controls), picture);
        return picture;
    };
    // Every pixel one of the renderer's eight colours at random: nothing for the filters to predict.
    RasterCanvas noise;
    const std::array<Colour, 8> colours = {
        kWhite, kRed, kBlack, kGrey, sourceColour(1), sourceColour(2), sourceColour(3), sourceColour(4)};
    std::mt19937 random(601);
    std::uniform_int_distribution<std::size_t> pick(0, colours.size() - 1);
    for (int y = 0; y < RasterCanvas::kSize; ++y) {
        for (int x = 0; x < RasterCanvas::kSize; ++x) {
            noise.setBrushColour(colours[pick(random)]);
            noise.fillRect(x, y, x + 1, y + 1);
        }
    }
    const std::pair<const char*, RasterCanvas> pictures[] = {
        {"blank", RasterCanvas()},
        {"start-up", frameOf(sceneFile({-30, 30, 20, 15, 20, 200, 0, -1, 0, -1, -1, -1, -1, 0, 0, 0, 0}))},
        {"dense, rose, square",
         frameOf(sceneFile({-30, 30,   50,  30,  50,   20,   0,   -1,  0,  -1,  -1,   -1,  -1,
                            0,   -1,   -1,  -1,  -100, -100, 100, 10,  0,  100, -100, 120, 15,
                            30,  -100, 100, -80, 20,   60,   100, 100, 90, 25,  90}))},
        {"noise", noise},
    };
    for (const auto& [what, picture] : pictures) {
        EXPECT_TRUE(encodePicturePng(picture) == qtPng(picture)) << what;
    }
}

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

    // The session's display plays no part: one that does not answer, or another platform, gives the
    // same picture.
    for (const char* platform : {"QT_QPA_PLATFORM=xcb", "QT_QPA_PLATFORM=nowhere"}) {
        const std::string again = dir.file("again.png");
        const ProcessResult elsewhere = test::runProgram(
            RIPPLESCOPE_RENDER, {{"--time", "7", scene, again}, {"DISPLAY=:2147483", platform}, {}, 120});
        EXPECT_EQ(elsewhere.exitCode, 0)
            << platform << ": signal " << elsewhere.signal << ", " << elsewhere.err;
        EXPECT_EQ(test::readBytes(again), test::readBytes(png)) << platform;
    }
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
    // A scene that a mistyped command line could name as an output, and other names for files.
    const QString scenePng = q(dir.file("scene.png"));
    test::writeBytes(dir.file("scene.png"), kScene);
    test::writeBytes(dir.file("s00002.png"), kScene);
    ASSERT_EQ(::symlink("scene.rsd", dir.file("alias.rsd").c_str()), 0);
    // Read-only for everybody, root included.
    test::writeBytes(dir.file("kept.png"), "old");
    ::chmod(dir.file("kept.png").c_str(), 0444);
    const std::vector<std::string> before = dir.names();
    const std::vector<StatusCase> cases = {
        {"help", {"--help"}, 0, "out", "Usage: ripplescope-render [--time T]"},
        {"version", {"--version", q(scene), out}, 0, "out", "ripplescope-render " RIPPLESCOPE_VERSION "\n"},
        {"unknown format", {q(scene), q(dir.file("out.jpg"))}, 2, "err", ".png (PNG pictures), .gif"},
        {"bad step", {"--step", "0", q(scene), out}, 2, "err", "--step needs an integer from 1 to 100000"},
        {"no names", {}, 2, "err", "Usage: ripplescope-render"},
        {"bad count", {"--count", "0", q(scene), out}, 2, "err", "Usage:"},
        {"option of Qt's", {"-platform", "xcb", q(scene), out}, 2, "err", "unknown option -platform"},
        {"missing scene", {q(dir.file("none.rsd")), out}, 1, "err", "none.rsd: ファイルが見つかりません.\n"},
        {"name Qt would take", {"--", "-reverse", out}, 1, "err", "ファイルが見つかりません."},
        {"folder as scene", {q(dir.file("folder")), out}, 1, "err", "ファイルが見つかりません."},
        {"bad line", {q(dir.file("bad.rsd")), out}, 1, "err", "bad.rsd: 'abc' は整数ではありません.\n"},
        {"read-only picture", {q(scene), q(dir.file("kept.png"))}, 1, "err", "kept.png を作成できません.\n"},
        {"scene as its own picture",
         {scenePng, scenePng},
         2,
         "err",
         "the scene and the output are the same file"},
        {"scene as the trace",
         {"--ops", q(scene), q(scene), out},
         2,
         "err",
         "the scene and the trace (--ops)"},
        {"a link to the scene as the trace",
         {"--ops", q(dir.file("alias.rsd")), q(scene), out},
         2,
         "err",
         "the scene and the trace (--ops)"},
        {"the trace as the picture",
         {"--ops", q(dir.file("folder/../out.png")), q(scene), out},
         2,
         "err",
         "the trace (--ops) and the output are the same file"},
        {"the trace as a frame",
         {"--count", "3", "--ops", q(dir.file("f00002.png")), q(scene), q(dir.file("f.png"))},
         2,
         "err",
         "the trace (--ops) and frame 2 are the same file"},
        {"a frame as the scene",
         {"--count", "3", q(dir.file("s00002.png")), q(dir.file("s.png"))},
         2,
         "err",
         "the scene and frame 2 are the same file"},
        {"unwritable picture", {q(scene), q(dir.file("no/such.png"))}, 1, "err", "を作成できません."},
        {"unwritable GIF",
         {"--count", "2", q(scene), q(dir.file("no/a.gif"))},
         1,
         "err",
         "を作成できません."},
        {"unwritable SVG",
         {"--count", "2", q(scene), q(dir.file("no/a.svg"))},
         1,
         "err",
         "を作成できません."},
        {"unwritable trace", {"--ops", q(dir.file("no/ops")), q(scene), out}, 1, "err", "を作成できません."},
    };
    for (const StatusCase& c : cases) {
        const ProcessResult run = runExporter(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
        const std::string& stream = std::string(c.stream) == "out" ? run.out : run.err;
        EXPECT_NE(stream.find(c.expected), std::string::npos) << c.what << ": " << stream;
        if (std::string(c.what) != "unwritable trace") {
            EXPECT_EQ(dir.names(), before) << c.what << ": nothing written";
        }
    }
}

// Names are bytes from the command line to the file system, whatever their encoding.
TEST_F(Exporter, NamesThatAreNotUtf8AreUsedAsTheyAre) {
    const std::string raw = "\xFF\xFE";
    test::writeBytes(dir.file(raw + ".rsd"), kScene);
    const ProcessResult run = runExporterBytes(
        {"--count", "2", "--ops", dir.file(raw + ".ops"), dir.file(raw + ".rsd"), dir.file(raw + ".png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"scene.rsd", raw + ".ops", raw + ".rsd",
                                                     raw + "00001.png", raw + "00002.png"}));
    Reference window(scene, 0);
    ASSERT_EQ(window.tick(), 0.0);
    EXPECT_TRUE(loadPng(dir.file(raw + "00001.png")) == window.picture());
    ASSERT_EQ(window.tick(), 1.0);
    EXPECT_TRUE(loadPng(dir.file(raw + "00002.png")) == window.picture());
    EXPECT_EQ(test::readBytes(dir.file(raw + ".ops")), window.trace(1));

    // A message shows such a name decoded, the undecodable bytes as U+FFFD.
    const ProcessResult failed = runExporterBytes({scene, dir.file(raw + "/x.png")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("ファイル " + dir.file("\uFFFD\uFFFD/x.png") + " を作成できません."),
              std::string::npos)
        << failed.err;
}

// A device or FIFO given as an output stays what it is; nothing is renamed over it.
TEST_F(Exporter, DeviceOutputsAreWrittenNotReplaced) {
    const std::string picture = dir.file("picture.png"), ops = dir.file("ops");
    if (::mknod(picture.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::mknod(ops.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make device nodes here (needs root)";
    }
    const ProcessResult run = runExporterBytes({"--ops", ops, scene, picture});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(S_ISCHR(test::modeOf(picture)));
    EXPECT_TRUE(S_ISCHR(test::modeOf(ops)));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"ops", "picture.png", "scene.rsd"}));
}

// On a really full disk a picture, animation, drawing or trace that cannot be written fails the run and
// keeps the old file.
TEST_F(Exporter, FullDiskKeepsTheOldFiles) {
    struct Case {
        const char* what;
        std::string full; // the output that meets the full disk; "ops.txt" is the trace
        bool noFreeName;  // the folder takes no new name, so the file is rewritten in place
        std::string old;  // in place, shorter than what the new file needs beyond the old one's room
    };
    const Case cases[] = {
        {"picture beside it", "out.png", false, "old bytes"},
        {"picture in place", "out.png", true, ""},
        {"animation beside it", "anim.gif", false, "old bytes"},
        {"animation in place", "anim.gif", true, "old bytes"},
        {"drawing beside it", "drawing.svg", false, "old bytes"},
        {"drawing in place", "drawing.svg", true, ""},
        {"trace beside it", "ops.txt", false, "old bytes"},
        {"trace in place", "ops.txt", true, "old bytes"},
    };
    for (const Case& c : cases) {
        test::SmallFileSystem fs;
        if (!fs.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
        const std::string full = fs.file(c.full);
        test::writeBytes(full, c.old);
        ::chmod(full.c_str(), 0640);
        fs.fillPages();
        if (c.noFreeName) fs.fillNames();
        const bool trace = c.full == "ops.txt";
        const std::string picture = trace ? dir.file("out.png") : full;
        const std::string ops = trace ? full : dir.file("ops.txt");
        const ProcessResult run = runExporterBytes({"--ops", ops, scene, picture});
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_NE(run.err.find("ストリームへの書き込みエラー.\n"), std::string::npos)
            << c.what << ": " << run.err;
        EXPECT_EQ(test::readBytes(full), c.old) << c.what;
        EXPECT_EQ(test::modeOf(full), S_IFREG | 0640u) << c.what;
        EXPECT_EQ(fs.names(), std::vector<std::string>{c.full}) << c.what;
    }

    // In place, a drawing larger than the file-size limit is not begun: the old file keeps every byte.
    {
        test::SmallFileSystem fs(1024);
        const std::string drawing = fs.file("drawing.svg"), old(400 << 10, 'o');
        test::writeBytes(drawing, old);
        fs.fillNames();
        const ProcessResult run =
            test::runProgram(RIPPLESCOPE_RENDER, {{scene, drawing}, {}, {{RLIMIT_FSIZE, 16 << 10}}, 60});
        EXPECT_EQ(run.exitCode, 1) << "signal " << run.signal << ": " << run.err;
        EXPECT_TRUE(test::readBytes(drawing) == old) << "the old drawing is whole";
    }
    // A series that meets a full disk says which frame failed and how many were written.
    test::SmallFileSystem fs;
    fs.fillPages(8 << 10); // room for two frames of 4 kB
    const ProcessResult run = runExporterBytes({"--count", "5", scene, fs.file("f.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(
        run.err.find(
            "f00003.png: ストリームへの書き込みエラー. Frame 3 of 5 failed; frames 1 and 2 were written.\n"),
        std::string::npos)
        << run.err;
    EXPECT_EQ(fs.names(), (std::vector<std::string>{"f00001.png", "f00002.png"}));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// Limits a user or a batch system may set: each run ends in time with a status and one message, keeps
// the old file whole and leaves no temporary file behind.
TEST_F(Exporter, ResourceLimitsEndInAMessage) {
    constexpr rlim_t kMiB = 1 << 20;
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::pair<int, rlim_t> limit;
        const char* written; // the output that meets the limit, or nothing
    };
    // The drawing is 39 kB, the animation 14 kB and the trace 162 kB.
    const Case cases[] = {
        {"drawing over the file-size limit",
         {scene, dir.file("drawing.svg")},
         {RLIMIT_FSIZE, 8 << 10},
         "drawing.svg"},
        {"animation over it",
         {"--count", "60", scene, dir.file("anim.gif")},
         {RLIMIT_FSIZE, 8 << 10},
         "anim.gif"},
        {"trace over it",
         {"--ops", dir.file("ops.txt"), scene, dir.file("out.png")},
         {RLIMIT_FSIZE, 8 << 10},
         "ops.txt"},
        // Short of memory the run still ends in time with a status: done, or the message that says so.
        {"40 MB of address space", {scene, dir.file("out.png")}, {RLIMIT_AS, 40 * kMiB}, nullptr},
        {"60 MB of address space",
         {"--count", "3", scene, dir.file("a.gif")},
         {RLIMIT_AS, 60 * kMiB},
         nullptr},
        {"100 MB of address space", {scene, dir.file("out.svg")}, {RLIMIT_AS, 100 * kMiB}, nullptr},
        {"a few MB of address space", {scene, dir.file("out.png")}, {RLIMIT_AS, 10 * kMiB}, nullptr},
    };
    for (const Case& c : cases) {
        // The sanitizers reserve terabytes of address space before main.
        if (kSanitized && c.limit.first == RLIMIT_AS) continue;
        if (c.written != nullptr) test::writeBytes(dir.file(c.written), "old bytes");
        const std::vector<std::string> before = dir.names();
        const ProcessResult run = test::runProgram(
            RIPPLESCOPE_RENDER, {c.args, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, {c.limit}, 10});
        EXPECT_FALSE(run.timedOut) << c.what;
        EXPECT_EQ(run.signal, 0) << c.what;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), run.exitCode == 0 ? 0 : 1)
            << c.what << ": " << run.err;
        if (c.written == nullptr) {
            EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1)
                << c.what << ": " << run.exitCode << " " << run.err;
            if (run.exitCode == 1) {
                EXPECT_NE(run.err.find("メモリが足りません.\n"), std::string::npos) << c.what;
            }
            continue;
        }
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_NE(run.err.find(std::string(c.written) + ": ストリームへの書き込みエラー.\n"),
                  std::string::npos)
            << c.what << ": " << run.err;
        EXPECT_TRUE(test::readBytes(dir.file(c.written)) == "old bytes") << c.what;
        std::filesystem::remove(dir.file("out.png")); // the picture beside the trace is written
        EXPECT_EQ(dir.names(), before) << c.what << ": nothing left behind";
    }
}

// giflib's own reading of a whole file.
class GifReading {
  public:
    explicit GifReading(const std::string& path) : gif_(DGifOpenFileName(path.c_str(), &error_)) {
        if (gif_ != nullptr && DGifSlurp(gif_) != GIF_OK) error_ = gif_->Error;
    }
    ~GifReading() {
        if (gif_ != nullptr) DGifCloseFile(gif_, nullptr);
    }
    GifReading(const GifReading&) = delete;
    GifReading& operator=(const GifReading&) = delete;
    const GifFileType* operator->() const { return gif_; }
    bool ok() const { return gif_ != nullptr && error_ == 0; }
    GraphicsControlBlock control(int image) const {
        GraphicsControlBlock gcb{};
        DGifSavedExtensionToGCB(gif_, image, &gcb);
        return gcb;
    }

  private:
    int error_ = 0;
    GifFileType* gif_;
};

// The smallest rectangle holding every pixel that differs between a and b.
QRect changedRect(const QImage& a, const QImage& b) {
    QRect r;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) r |= QRect(x, y, 1, 1);
    return r;
}

TEST_F(Exporter, GifFramesEqualThePngSeries) {
    struct Case {
        const char* what;
        std::string scene;
        QStringList args;
        int frames;
        int delay; // hundredths of a second, from the scene's frame interval
    };
    const Case cases[] = {
        {"moving, in steps of 3 across the wrap",
         kScene,
         {"--time", "99995", "--count", "4", "--step", "3"},
         4,
         20},
        {"still: the sources at rest, interval 25 ms",
         sceneFile({-30, 30, 12, 15, 25, 25, 0, -1, 0, -1, -1, -1, -1, 0, -1, 0, 0}),
         {"--count", "3"},
         3,
         3},
        {"dense: N = 50, four sources, interval 20 ms",
         sceneFile({-30, 30, 50, 15,  20,   20,  0,  -1, 0,    -1,  -1,  -1, -1, 0,   0,   0,  0,  -100, -100,
                    100, 10, 0,  100, -100, 120, 15, 30, -100, 100, -80, 20, 60, 100, 100, 90, 25, 90}),
         {"--count", "2"},
         2,
         2},
    };
    std::set<Colour> palette = {kWhite, kRed, kBlack, kGrey};
    for (int k = 1; k <= 4; ++k)
        palette.insert(sourceColour(k));

    for (const Case& c : cases) {
        test::writeBytes(scene, c.scene);
        const std::string gif = dir.file("a.gif");
        ProcessResult run = runExporter(QStringList(c.args) << q(scene) << q(gif));
        ASSERT_EQ(run.exitCode, 0) << c.what << ": " << run.err;
        run = runExporter(QStringList(c.args) << q(scene) << q(dir.file("p.png")));
        ASSERT_EQ(run.exitCode, 0) << c.what << ": " << run.err;
        std::vector<QImage> pngs;
        for (int i = 1; i <= c.frames; ++i)
            pngs.push_back(loadPng(dir.file("p0000" + std::to_string(i) + ".png")));

        // Another decoder draws every frame as the PNG of the same clock value.
        QImageReader reader(q(gif), "gif");
        for (int i = 0; i < c.frames; ++i) {
            const QImage frame = reader.read().convertToFormat(QImage::Format_RGB32);
            EXPECT_TRUE(frame == pngs[static_cast<std::size_t>(i)]) << c.what << ": frame " << i + 1;
        }
        EXPECT_TRUE(reader.read().isNull()) << c.what << ": no frame more";

        const GifReading file(gif);
        ASSERT_TRUE(file.ok()) << c.what;
        EXPECT_EQ(file->SWidth, 601);
        EXPECT_EQ(file->SHeight, 601);
        ASSERT_NE(file->SColorMap, nullptr);
        std::set<Colour> colours;
        for (int i = 0; i < file->SColorMap->ColorCount; ++i) {
            const GifColorType& e = file->SColorMap->Colors[i];
            colours.insert(static_cast<Colour>(e.Red | e.Green << 8 | e.Blue << 16));
        }
        EXPECT_EQ(file->SColorMap->ColorCount, 8) << c.what;
        EXPECT_EQ(colours, palette) << c.what << ": exactly the renderer's colours";
        ASSERT_EQ(file->ImageCount, c.frames) << c.what;

        const SavedImage& first = file->SavedImages[0];
        const auto loop =
            std::find_if(first.ExtensionBlocks, first.ExtensionBlocks + first.ExtensionBlockCount,
                         [](const ExtensionBlock& b) {
                             return b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                                    std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0;
                         });
        ASSERT_LT(loop + 1, first.ExtensionBlocks + first.ExtensionBlockCount)
            << c.what << ": loop extension";
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(loop[1].Bytes), 3),
                  std::string("\x01\x00\x00", 3))
            << c.what << ": loops for ever";

        for (int i = 0; i < c.frames; ++i) {
            const GifImageDesc& d = file->SavedImages[i].ImageDesc;
            QRect want(0, 0, 601, 601);
            if (i > 0) {
                want = changedRect(pngs[static_cast<std::size_t>(i - 1)], pngs[static_cast<std::size_t>(i)]);
                if (want.isEmpty()) want = QRect(0, 0, 1, 1);
            }
            EXPECT_EQ(QRect(d.Left, d.Top, d.Width, d.Height), want) << c.what << ": frame " << i + 1;
            EXPECT_EQ(d.ColorMap, nullptr);
            EXPECT_EQ(file.control(i).DelayTime, c.delay) << c.what << ": frame " << i + 1;
            EXPECT_EQ(file.control(i).DisposalMode, DISPOSE_DO_NOT);
        }
    }
}

TEST_F(Exporter, GifCodingDecodesToEveryPicture) {
    // Pictures as indices into the renderer's colours; each case changes one frame by frame.
    const Colour colours[] = {
        kWhite, kRed, kBlack, kGrey, sourceColour(1), sourceColour(2), sourceColour(3), sourceColour(4)};
    std::mt19937 random(14);
    const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    using Picture = std::vector<std::uint8_t>;
    struct Case {
        const char* what;
        int frames;
        std::function<void(Picture&, int)> change; // the picture before, the frame's number from 0
    };
    const Case cases[] = {
        {"noise in eight colours fills the table, which is kept; then half of it anew in four", 2,
         [&](Picture& p, int f) {
             for (auto& v : p)
                 if (f == 0 || pick(2) == 0) v = static_cast<std::uint8_t>(pick(f == 0 ? 8 : 4));
         }},
        {"two colours and the transparent index in every mix", 3,
         [&](Picture& p, int f) {
             for (auto& v : p)
                 if (f == 0 || pick(5) == 0) v = static_cast<std::uint8_t>(pick(2));
         }},
        {"runs: one colour, a block of another, then nothing new", 3,
         [](Picture& p, int f) {
             for (int y = 50; f == 1 && y < 500; ++y)
                 std::fill_n(p.begin() + y * 601 + 100, 300, std::uint8_t{2});
         }},
        {"a row of 1 ... 120 new pixels: every code width the end code may need", 121,
         [&](Picture& p, int f) {
             for (int x = 0; x < f; ++x)
                 p[static_cast<std::size_t>(f * 601 + x)] = static_cast<std::uint8_t>(pick(8));
         }},
    };
    for (const Case& c : cases) {
        std::string encoded;
        GifAnimation animation(2, [&](std::string_view bytes) { encoded += bytes; });
        std::vector<Picture> pictures;
        Picture picture(601 * 601, 0);
        std::vector<Colour> pixels(picture.size());
        std::vector<Pixel> shown(picture.size()); // as the canvas keeps them
        for (int f = 0; f < c.frames; ++f) {
            c.change(picture, f);
            pictures.push_back(picture);
            std::transform(picture.begin(), picture.end(), shown.begin(),
                           [&](std::uint8_t i) { return pixelOf(colours[i]); });
            animation.addFrame(shown.data());
        }
        const std::string gif = dir.file("c.gif");
        animation.finish();
        test::writeBytes(gif, encoded);

        // giflib's frames, each drawn over the ones before, and Qt's.
        const GifReading file(gif);
        ASSERT_TRUE(file.ok()) << c.what;
        ASSERT_EQ(file->ImageCount, c.frames) << c.what;
        QImageReader reader(q(gif), "gif");
        std::vector<Colour> canvas(picture.size());
        bool hidden = false;
        for (int f = 0; f < c.frames; ++f) {
            const SavedImage& image = file->SavedImages[f];
            const GifImageDesc& d = image.ImageDesc;
            const int transparent = file.control(f).TransparentColor;
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int index = image.RasterBits[y * d.Width + x];
                    hidden |= f > 0 && index == transparent;
                    if (index == transparent) continue;
                    const GifColorType& e = file->SColorMap->Colors[index];
                    canvas[static_cast<std::size_t>((d.Top + y) * 601 + d.Left + x)] =
                        static_cast<Colour>(e.Red | e.Green << 8 | e.Blue << 16);
                }
            }
            std::transform(pictures[static_cast<std::size_t>(f)].begin(),
                           pictures[static_cast<std::size_t>(f)].end(), pixels.begin(),
                           [&](std::uint8_t i) { return colours[i]; });
            EXPECT_TRUE(canvas == pixels) << c.what << ": giflib, frame " << f + 1;
            std::transform(pixels.begin(), pixels.end(), shown.begin(), pixelOf);
            const QImage want =
                QImage(reinterpret_cast<const uchar*>(shown.data()), 601, 601, 601 * 4, QImage::Format_RGB32);
            EXPECT_TRUE(reader.read().convertToFormat(QImage::Format_RGB32) == want)
                << c.what << ": Qt, frame " << f + 1;
        }
        EXPECT_TRUE(hidden) << c.what << ": an unchanged pixel coded transparent";
    }
}

// The share of pixels whose colours differ by less than a quarter of the range, over the whole picture
// and over the drawn (not background) pixels of want.
std::pair<double, double> closeness(const QImage& got, const QImage& want) {
    const QRgb background = want.pixel(0, 0);
    long close = 0, drawn = 0, drawnClose = 0;
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
            const bool near = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                  std::abs(qBlue(a) - qBlue(b)) <
                              192;
            close += near;
            if (b != background) {
                ++drawn;
                drawnClose += near;
            }
        }
    }
    return {static_cast<double>(close) / (want.width() * want.height()),
            static_cast<double>(drawnClose) / drawn};
}

TEST_F(Exporter, SvgDrawingsHoldEveryOperationOfTheirFrames) {
    // Two strong sources on a white background: lines in every direction.
    test::writeBytes(
        scene, "-30\r\n30\r\n20\r\n15\r\n20\r\n200\r\n0\r\n-1\r\n0\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n0\r\n"
               "0\r\n0\r\n-100\r\n0\r\n1000\r\n10\r\n0\r\n100\r\n0\r\n1000\r\n10\r\n0\r\n0\r\n0\r\n0\r\n"
               "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    const std::string ops = dir.file("ops.txt");
    const ProcessResult run = runExporter(
        {"--time", "7", "--count", "2", "--step", "3", "--ops", q(ops), q(scene), q(dir.file("f.svg"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"f00001.svg", "f00002.svg", "ops.txt", "scene.rsd"}));

    Reference window(scene, 7);
    ASSERT_EQ(window.tick(), 7.0);
    for (const auto& [name, time] : {std::pair<const char*, double>{"f00001.svg", 7}, {"f00002.svg", 10}}) {
        SvgSurface drawing;
        replay(window.trace(time), drawing);
        EXPECT_EQ(test::readBytes(dir.file(name)), drawing.document()) << name;
    }
    EXPECT_EQ(test::readBytes(ops), window.trace(10));

    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty()) {
        GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed, so no SVG was rendered";
    }
    QProcess convert;
    const std::string rendered = dir.file("f.png");
    convert.start(rsvg, {QStringLiteral("-o"), q(rendered), q(dir.file("f00001.svg"))});
    ASSERT_TRUE(convert.waitForFinished(60000));
    EXPECT_EQ(convert.exitCode(), 0);
    EXPECT_EQ(convert.readAllStandardError().toStdString(), "");
    const QImage picture = loadPng(rendered);
    ASSERT_EQ(picture.size(), QSize(601, 601));
    // Smoothed edges keep the rendering from matching pixel for pixel: 0.937 of all pixels and 0.954 of
    // the drawn ones come close. Half a pixel off downward gives 0.904 and 0.932, in both axes 0.858 and
    // 0.894.
    const auto [all, drawn] = closeness(picture, window.picture());
    EXPECT_GT(all, 0.92);
    EXPECT_GT(drawn, 0.94);
}

} // namespace
} // namespace rs
