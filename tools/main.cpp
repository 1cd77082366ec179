// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// ripplescope-render: draws frames of a scene file with the hidden main window and writes them as PNG
// pictures, one animated GIF or SVG drawings.

#include "app/sound.h"
#include "draw/svg_surface.h"
#include "scene_io/scene_errors.h"
#include "tools/frame_clock.h"
#include "tools/frame_export.h"
#include "tools/frame_trace.h"
#include "tools/gif_animation.h"
#include "tools/render_options.h"
#include "ui/application.h"
#include "ui/dispatch_guard.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// Nobody is there to answer: every dialog is cancelled, and an error box goes to standard error.
class Unattended final : public rs::Interaction {
  public:
    bool queryText(const QString&, const QString&, QString&) override { return false; }
    std::optional<QString> openName(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveName(const QString&, const QString&) override { return std::nullopt; }
    void showError(const QString&, const QString& text) override { fail(text.toStdString()); }

    static void fail(const std::string& message) {
        std::fprintf(stderr, "ripplescope-render: %s\n", message.c_str());
    }
};

// Standard error is for the run's own messages; Qt's notes about the desktop session are not.
QtMessageHandler qtDefaultHandler = nullptr;
void quietQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        qtDefaultHandler(type, context, message);
    }
}

int render(const rs::RenderOptions& options) {
    Unattended ui;
    rs::TForm1 form(ui);
    // Open would ignore a missing name; here it is the whole point of the run.
    if (!form.openSceneFile(options.scene)) {
        throw rs::EInOutError("ファイルが見つかりません", ENOENT);
    }
    rs::FrameClock clock(options.time, options.step);
    std::optional<rs::GifAnimation> gif;
    if (options.format == rs::OutputFormat::Gif) {
        gif.emplace(rs::gifDelay(form.fpschanger->position()));
    }
    double time = options.time;
    for (int frame = 1; frame <= options.count; ++frame) {
        time = clock.next();
        const std::string name = rs::frameFileName(options.output, frame, options.count);
        if (options.format == rs::OutputFormat::Svg) {
            rs::SvgSurface drawing;
            rs::drawFrameAt(form, time, drawing);
            rs::writeTextFile(drawing.document(), name);
            continue;
        }
        form.scene.simTime = time;
        form.drawall();
        if (gif) {
            gif->addFrame(form.picture.data());
        } else {
            rs::writePicturePng(form.graph->image(), name);
        }
    }
    if (gif) {
        // Encoded whole in memory, so the file is written once, complete, or not at all.
        rs::writeTextFile(gif->finish(), options.output);
    }
    if (options.opsFile) {
        rs::writeTextFile(rs::frameTrace(form, time), *options.opsFile);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The arguments as bytes: file names keep every byte, whatever their encoding.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const rs::RenderArguments parsed = rs::parseRenderArguments(args);
    if (parsed.action == rs::RenderArguments::Action::Help) {
        std::fputs(rs::kRenderUsage, stdout);
        return 0;
    }
    if (parsed.action == rs::RenderArguments::Action::Version) {
        std::fputs(rs::kRenderVersion, stdout);
        return 0;
    }
    if (parsed.action == rs::RenderArguments::Action::Usage) {
        Unattended::fail(parsed.error);
        std::fputs(rs::kRenderUsage, stderr);
        return 2;
    }

    // Nothing is shown, so no display is needed, whatever the session names: one that does not
    // answer, or a platform that cannot start, would otherwise end the run with an abort.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(quietQtNotes);
    // Qt sees no arguments of ours, so it can neither take nor act on any of them.
    static int qtArgc = 1;
    static char programName[] = "ripplescope-render";
    static char* qtArgv[] = {programName, nullptr};
    rs::Application app(qtArgc, qtArgv);

    try {
        return render(parsed.options);
    } catch (...) {
        // The same text the window's error box would show.
        Unattended::fail(rs::errorBoxText(rs::currentExceptionMessage()).toStdString());
        return 1;
    }
}
