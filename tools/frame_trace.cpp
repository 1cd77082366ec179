// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tools/frame_trace.h"

#include "sim/frame_renderer.h"
#include "ui/recording_surface.h"

namespace rs {

std::string frameTrace(const TForm1& form, double time) {
    Scene at = form.scene;
    at.simTime = time;
    RecordingSurface surface;
    renderFrame(at, form.frameSettings(), surface);
    return surface.trace();
}

} // namespace rs
