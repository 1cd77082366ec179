// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/frame_trace.h"

#include "draw/recording_surface.h"
#include "sim/frame_renderer.h"

namespace rs {

void drawFrameAt(const Scene& scene, const FrameSettings& settings, double time, DrawingSurface& surface) {
    Scene at = scene;
    at.simTime = time;
    renderFrame(at, settings, surface);
}

std::string frameTrace(const Scene& scene, const FrameSettings& settings, double time) {
    RecordingSurface surface;
    drawFrameAt(scene, settings, time, surface);
    return surface.trace();
}

} // namespace rs
