// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// One complete frame: background, source rings, then every grid point column by column.

#include "sim/displacement_field.h"
#include "sim/drawing_surface.h"
#include "sim/frame_settings.h"
#include "sim/scene.h"

namespace rs {

// Keeps the time-independent terms of the last scene, so that frames of an unchanged scene are cheap.
// The picture is exactly the one renderFramePlain draws.
class FrameRenderer {
  public:
    void render(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);
    const DisplacementField& field() const { return field_; }

  private:
    DisplacementField field_;
};

// Draws the frame at scene.simTime through a renderer kept per thread.
void renderFrame(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);

// The same frame with every point through displaceParticle, nothing kept: the yardstick for the above.
void renderFramePlain(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);

} // namespace rs
