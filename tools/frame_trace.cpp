// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tools/frame_trace.h"

#include "draw/recording_surface.h"
#include "sim/frame_renderer.h"

namespace rs {

void drawFrameAt(const TForm1& form, double time, DrawingSurface& surface) {
    Scene at = form.scene;
    at.simTime = time;
    renderFrame(at, form.frameSettings(), surface);
}

std::string frameTrace(const TForm1& form, double time) {
    RecordingSurface surface;
    drawFrameAt(form, time, surface);
    return surface.trace();
}

} // namespace rs
