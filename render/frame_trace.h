// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A frame drawn onto a surface of its own: the frame trace (one line per colour change or drawing
// operation), or any other surface.

#include "sim/drawing_surface.h"
#include "sim/frame_settings.h"
#include "sim/scene.h"

#include <string>

namespace rs {

// The frame of the scene at clock `time` with these settings, onto surface, every point through the
// model afresh; the scene's own clock is left alone.
void drawFrameAt(const Scene& scene, const FrameSettings& settings, double time, DrawingSurface& surface);

// The trace of that frame.
std::string frameTrace(const Scene& scene, const FrameSettings& settings, double time);

} // namespace rs
