// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// ripplescope-render: draws frames of a scene file, opened as the window opens it, and writes them as
// PNG pictures, one animated GIF or SVG drawings. It needs no display and no window.

#include "draw/raster_canvas.h"
#include "draw/svg_surface.h"
#include "model/scene_file.h"
#include "render/frame_clock.h"
#include "render/frame_export.h"
#include "render/frame_trace.h"
#include "render/gif_animation.h"
#include "render/output_names.h"
#include "render/render_options.h"
#include "scene_io/file_replace.h"
#include "scene_io/scene_errors.h"
#include "sim/frame_renderer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

void fail(const std::string& message) {
    std::fprintf(stderr, "ripplescope-render: %s\n", message.c_str());
}

// A failure already put into words: the file it concerns and how far the run got.
class ExportFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The error being handled, as the window's error box would show it, behind the name of the file it
// concerns (a name the message already holds is not repeated). Call only inside a catch block.
std::string failureAt(const std::string& file) {
    std::string text = rs::errorBoxText(rs::currentErrorMessage());
    try {
        throw;
    } catch (const rs::EFCreateError&) {
        return text;
    } catch (...) {
        return rs::shownFileName(file) + ": " + text;
    }
}

// What a series that stopped at `frame` leaves: the frames before it are written, the rest are not.
std::string seriesProgress(int frame, int count) {
    std::string done = frame == 1   ? "no frame was written"
                       : frame == 2 ? "frame 1 was written"
                       : frame == 3 ? "frames 1 and 2 were written"
                                    : "frames 1 to " + std::to_string(frame - 1) + " were written";
    return " Frame " + std::to_string(frame) + " of " + std::to_string(count) + " failed; " + done + ".";
}

int render(const rs::RenderOptions& options) {
    // The scene as the window's Open applies it, onto the controls' start-up values.
    rs::Controls controls;
    rs::Scene scene;
    rs::resetScene(scene);
    try {
        // Open would ignore a missing name; here it is the whole point of the run.
        if (!rs::openSceneFile(options.scene, controls, scene)) {
            throw rs::EInOutError("ファイルが見つかりません", ENOENT);
        }
    } catch (...) {
        throw ExportFailure(failureAt(options.scene));
    }
    const rs::FrameSettings settings = rs::frameSettings(controls);
    rs::FrameClock clock(options.time, options.step);
    const bool series = options.count > 1 && options.format != rs::OutputFormat::Gif;
    // The animation goes to its file frame by frame, which replaces the old file only once complete.
    std::optional<rs::FileReplacement> gifFile;
    std::optional<rs::GifAnimation> gif;
    // Kept from frame to frame, as the window keeps its own.
    rs::FrameRenderer renderer;
    rs::RasterCanvas picture;
    double time = options.time;
    int frame = 1;
    std::string name = options.output;
    try {
        if (options.format == rs::OutputFormat::Gif) {
            gifFile.emplace(options.output);
            gif.emplace(rs::gifDelay(controls.fpschanger.position),
                        [&gifFile](std::string_view bytes) { gifFile->write(bytes); });
        }
        for (; frame <= options.count; ++frame) {
            time = clock.next();
            // One animation holds every frame; a series writes each to a file of its own.
            if (!gif) name = rs::frameFileName(options.output, frame, options.count);
            if (options.format == rs::OutputFormat::Svg) {
                rs::SvgSurface drawing;
                rs::drawFrameAt(scene, settings, time, drawing);
                rs::writeTextFile(drawing.document(), name);
                continue;
            }
            scene.simTime = time;
            renderer.render(scene, settings, picture);
            if (gif) {
                gif->addFrame(picture.data());
            } else {
                rs::writePicturePng(picture, name);
            }
        }
        if (gif) {
            gif->finish();
            gifFile->commit();
        }
    } catch (...) {
        std::string line = failureAt(name);
        if (series) line += seriesProgress(frame, options.count);
        throw ExportFailure(line);
    }
    if (options.opsFile) {
        try {
            rs::writeTextFile(rs::frameTrace(scene, settings, time), *options.opsFile);
        } catch (...) {
            throw ExportFailure(failureAt(*options.opsFile));
        }
    }
    return 0;
}

} // namespace

// The command line's own verdicts (help, version, wrong arguments) or the run.
int run(int argc, char** argv) {
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
        fail(parsed.error);
        std::fputs(rs::kRenderUsage, stderr);
        return 2;
    }
    if (const std::optional<std::string> same = rs::sameFileError(parsed.options)) {
        fail(*same);
        return 2;
    }
    return render(parsed.options);
}

int main(int argc, char** argv) {
    // A reader that goes away and the file-size limit come as failed writes, reported as such, not as
    // signals that end the run without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const ExportFailure& failure) {
        fail(failure.what());
    } catch (...) {
        try {
            fail(rs::errorBoxText(rs::currentErrorMessage()));
        } catch (...) {
            // Not even the message could be made: memory ran out while the run was ending.
            std::fputs("ripplescope-render: メモリが足りません.\n", stderr);
        }
    }
    return 1;
}
