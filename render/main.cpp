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
#include "render/render_options.h"
#include "scene_io/file_replace.h"
#include "scene_io/scene_errors.h"
#include "sim/frame_renderer.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

void fail(const std::string& message) {
    std::fprintf(stderr, "ripplescope-render: %s\n", message.c_str());
}

int render(const rs::RenderOptions& options) {
    // The scene as the window's Open applies it, onto the controls' start-up values.
    rs::Controls controls;
    rs::Scene scene;
    rs::resetScene(scene);
    // Open would ignore a missing name; here it is the whole point of the run.
    if (!rs::openSceneFile(options.scene, controls, scene)) {
        throw rs::EInOutError("ファイルが見つかりません", ENOENT);
    }
    const rs::FrameSettings settings = rs::frameSettings(controls);
    rs::FrameClock clock(options.time, options.step);
    // The animation goes to its file frame by frame, which replaces the old file only once complete.
    std::optional<rs::FileReplacement> gifFile;
    std::optional<rs::GifAnimation> gif;
    if (options.format == rs::OutputFormat::Gif) {
        gifFile.emplace(options.output);
        gif.emplace(rs::gifDelay(controls.fpschanger.position),
                    [&gifFile](std::string_view bytes) { gifFile->write(bytes); });
    }
    // Kept from frame to frame, as the window keeps its own.
    rs::FrameRenderer renderer;
    rs::RasterCanvas picture;
    double time = options.time;
    for (int frame = 1; frame <= options.count; ++frame) {
        time = clock.next();
        const std::string name = rs::frameFileName(options.output, frame, options.count);
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
    if (options.opsFile) {
        rs::writeTextFile(rs::frameTrace(scene, settings, time), *options.opsFile);
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
        fail(parsed.error);
        std::fputs(rs::kRenderUsage, stderr);
        return 2;
    }

    try {
        return render(parsed.options);
    } catch (...) {
        // The same text the window's error box would show.
        fail(rs::errorBoxText(rs::currentErrorMessage()));
        return 1;
    }
}
