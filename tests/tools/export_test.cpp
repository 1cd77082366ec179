// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// ripplescope-render run as its own process: its pictures and trace against the window's, exit statuses.

#include "app/sound.h"
#include "sim/frame_renderer.h"
#include "tests/scene_io/test_files.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/recording_surface.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
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

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program with arguments as bytes, so names that are no valid UTF-8 reach it unchanged.
ProcessResult runExporterBytes(const std::vector<std::string>& args) {
    test::TempFolder streams;
    const std::string out = streams.file("out"), err = streams.file("err");
    std::vector<std::string> argStore = {RIPPLESCOPE_RENDER};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    // No display: the program must pick the offscreen platform by itself.
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            envStore.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProcessResult run;
    if (spawned != 0) return run;
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == 120 * 20) { // two minutes
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return run;
        }
        ::usleep(50 * 1000);
    }
    if (!WIFEXITED(status)) return run;
    run.exitCode = WEXITSTATUS(status);
    run.out = test::readBytes(out);
    run.err = test::readBytes(err);
    return run;
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
    const std::string picture = dir.file("picture"), ops = dir.file("ops");
    if (::mknod(picture.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::mknod(ops.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make device nodes here (needs root)";
    }
    const ProcessResult run = runExporterBytes({"--ops", ops, scene, picture});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(S_ISCHR(test::modeOf(picture)));
    EXPECT_TRUE(S_ISCHR(test::modeOf(ops)));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"ops", "picture", "scene.rsd"}));
}

// On a really full disk a picture or trace that cannot be written fails the run and keeps the old file.
TEST_F(Exporter, FullDiskKeepsTheOldFiles) {
    struct Case {
        const char* what;
        bool ops;        // the trace meets the full disk, else the picture
        bool noFreeName; // the folder takes no new name, so the file is rewritten in place
        std::string old; // in place, shorter than what the new file needs beyond the old one's room
    };
    const Case cases[] = {
        {"picture beside it", false, false, "old bytes"},
        {"picture in place", false, true, ""},
        {"trace beside it", true, false, "old bytes"},
        {"trace in place", true, true, "old bytes"},
    };
    for (const Case& c : cases) {
        test::SmallFileSystem fs;
        if (!fs.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
        const std::string full = fs.file(c.ops ? "ops.txt" : "out.png");
        test::writeBytes(full, c.old);
        ::chmod(full.c_str(), 0640);
        fs.fillPages();
        if (c.noFreeName) fs.fillNames();
        const std::string png = c.ops ? dir.file("out.png") : full;
        const std::string ops = c.ops ? full : dir.file("ops.txt");
        const ProcessResult run = runExporterBytes({"--ops", ops, scene, png});
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_NE(run.err.find("ストリームへの書き込みエラー.\n"), std::string::npos)
            << c.what << ": " << run.err;
        EXPECT_EQ(test::readBytes(full), c.old) << c.what;
        EXPECT_EQ(test::modeOf(full), S_IFREG | 0640u) << c.what;
        EXPECT_EQ(fs.names(), std::vector<std::string>{c.ops ? "ops.txt" : "out.png"}) << c.what;
    }
}

} // namespace
} // namespace rs
