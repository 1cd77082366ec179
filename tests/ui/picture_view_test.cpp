// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The picture on a real X server: a virtual one of the test's own, with this test program run again as
// its client, which shows frames through the memory it shares with the server and reads them back.

#include "tests/support/run_program.h"
#include "tests/ui/event_wait.h"
#include "ui/picture_view.h"
#include "ui/x11_shared_pixels.h"

#include <QGuiApplication>
#include <qguiapplication_platform.h>
#include <QTest>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace rs {
namespace {

// Set in the child, whose run of the test is the client (and whose main leaves Qt on xcb).
constexpr char kChildMarker[] = "RIPPLESCOPE_TEST_ON_X11";

// A colour of its own at every pixel of every frame: a wrong offset, a flipped or exchanged axis,
// exchanged colour bytes or a frame left out all change what is read back.
Colour patternColour(int x, int y, int frame) {
    const auto high = static_cast<Colour>((x >> 8) | (y >> 8) << 2 | (frame + 1) << 4);
    return static_cast<Colour>(x & 0xFF) | static_cast<Colour>(y & 0xFF) << 8 | high << 16;
}

void drawPattern(RasterCanvas& canvas, int frame) {
    for (int y = 0; y < RasterCanvas::kSize; ++y) {
        for (int x = 0; x < RasterCanvas::kSize; ++x) {
            canvas.setBrushColour(patternColour(x, y, frame));
            canvas.fillRect(x, y, x + 1, y + 1);
        }
    }
}

// Empty when the window shows the canvas exactly at the given place; otherwise what differs.
std::string shownDifference(xcb_connection_t* c, std::uint32_t window, QPoint at,
                            const RasterCanvas& canvas) {
    constexpr int kSize = RasterCanvas::kSize;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<std::int16_t>(at.x()),
                      static_cast<std::int16_t>(at.y()), kSize, kSize, ~0u),
        nullptr);
    if (image == nullptr) return "the window could not be read";
    std::string difference;
    if (xcb_get_image_data_length(image) != static_cast<int>(RasterCanvas::kPixelCount * sizeof(Pixel))) {
        difference = "an image of " + std::to_string(xcb_get_image_data_length(image)) + " bytes";
    } else {
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < RasterCanvas::kPixelCount; ++i) {
            Pixel shown = 0;
            std::memcpy(&shown, xcb_get_image_data(image) + i * sizeof(Pixel), sizeof(Pixel));
            // The byte above 24 bits is no colour: the server need not keep it.
            if (((shown ^ canvas.data()[i]) & 0xFFFFFFu) != 0 && wrong++ == 0) {
                char first[96];
                std::snprintf(first, sizeof first, ", the first at (%zu, %zu): 0x%06X instead of 0x%06X",
                              i % kSize, i / kSize, shown & 0xFFFFFFu, canvas.data()[i] & 0xFFFFFFu);
                difference = first;
            }
        }
        if (wrong != 0) difference = std::to_string(wrong) + " pixels differ" + difference;
    }
    std::free(image);
    return difference;
}

// The client: a window like the program's, the view inside a plain widget inside it.
void showFramesAndReadThemBack() {
    std::unique_ptr<X11SharedPixels> shared = X11SharedPixels::create();
    ASSERT_NE(shared, nullptr) << "no shared memory with the server";
    RasterCanvas canvas(shared->pixels());
    drawPattern(canvas, 0);
    QWidget window;
    window.resize(640, 660);
    QWidget client(&window);
    client.setGeometry(3, 29, 630, 625);
    PictureView view(canvas, shared.get(), &client);
    view.setGeometry(8, 11, RasterCanvas::kSize, RasterCanvas::kSize);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto topLevel = static_cast<std::uint32_t>(window.winId());
    const QPoint at = view.mapTo(&window, QPoint(0, 0));
    std::string difference;
    // The first frame arrives when the view's window is exposed.
    EXPECT_TRUE(testing::processEventsUntil([&] {
        difference = shownDifference(c, topLevel, at, canvas);
        return difference.empty();
    })) << "first frame: "
        << difference;

    view.beginDrawing();
    drawPattern(canvas, 1);
    view.showFrame();
    // Read on the same connection before Qt runs again: the frame must be on the screen already.
    EXPECT_EQ(shownDifference(c, topLevel, at, canvas), "") << "second frame";

    // A grab paints through Qt as ever.
    EXPECT_TRUE(view.grab().toImage().convertToFormat(QImage::Format_RGB32) == view.image());
}

// Xvfb on the first free display, stopped at the end. The display is empty when it did not come up.
class VirtualDisplay {
  public:
    explicit VirtualDisplay(const std::string& program) : log_(folder_.file("xvfb.log")) {
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0) return;
        std::vector<std::string> argStore = {program,     "-displayfd", std::to_string(ready[1]),
                                             "-screen",   "0",          "1024x768x24",
                                             "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (std::string& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int out = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        pid_ = out >= 0 ? ::fork() : -1;
        if (pid_ == 0) {
            // Only async-signal-safe calls from here to exec.
            if (::fcntl(ready[1], F_SETFD, 0) != 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(ready[1]);
        if (out >= 0) ::close(out);
        // It writes the display's number once it takes connections.
        std::string number;
        for (int waited = 0; pid_ > 0 && waited < 600 && number.find('\n') == std::string::npos; ++waited) {
            pollfd p{ready[0], POLLIN, 0};
            if (::poll(&p, 1, 50) < 0 && errno != EINTR) break;
            char chunk[16];
            const ssize_t n =
                (p.revents & (POLLIN | POLLHUP)) != 0 ? ::read(ready[0], chunk, sizeof chunk) : -1;
            if (n == 0) break; // it ended without a display
            if (n > 0) number.append(chunk, static_cast<std::size_t>(n));
        }
        ::close(ready[0]);
        if (number.find('\n') != std::string::npos) display_ = ":" + number.substr(0, number.find('\n'));
    }
    ~VirtualDisplay() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int waited = 0; ::waitpid(pid_, &status, WNOHANG) == 0; ++waited) {
            if (waited == 200) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            ::usleep(50 * 1000);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    const std::string& display() const { return display_; }
    std::string log() const { return test::readBytes(log_); }

  private:
    test::TempFolder folder_;
    std::string log_;
    pid_t pid_ = -1;
    std::string display_;
};

std::string programOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const std::string_view folder = rest.substr(0, rest.find(':'));
        rest.remove_prefix(std::min(rest.size(), folder.size() + 1));
        const std::string candidate = std::string(folder) + "/" + std::string(name);
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

TEST(PictureViewOnX11, ShowsEveryFrameExactlyAsDrawn) {
    if (std::getenv(kChildMarker) != nullptr) {
        showFramesAndReadThemBack();
        return;
    }
    const std::string xvfb = programOnPath("Xvfb");
    if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed (package xvfb; scripts/bootstrap installs it)";
    VirtualDisplay server(xvfb);
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start:\n" << server.log();

    const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
    test::ProgramRun run;
    run.args = {std::string("--gtest_filter=") + self->test_suite_name() + "." + self->name()};
    run.environment = {"DISPLAY=" + server.display(), "QT_QPA_PLATFORM=xcb", std::string(kChildMarker) + "=1",
                       "XAUTHORITY", "WAYLAND_DISPLAY"};
    run.timeoutSeconds = 120;
    const test::ProcessResult child = test::runProgram(std::filesystem::read_symlink("/proc/self/exe"), run);
    EXPECT_FALSE(child.timedOut);
    EXPECT_EQ(child.exitCode, 0) << child.out << child.err;
    // Passed, not skipped or filtered away.
    EXPECT_NE(child.out.find("[  PASSED  ] 1 test."), std::string::npos) << child.out << child.err;
}

} // namespace
} // namespace rs
