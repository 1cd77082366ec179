// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// One complete frame: background, source rings, then every grid point column by column.

#include "sim/displacement_field.h"
#include "sim/drawing_surface.h"
#include "sim/frame_drawing.h"
#include "sim/frame_settings.h"
#include "sim/scene.h"

#include <cstdint>
#include <vector>

namespace rs {

// Keeps the time-independent terms of the last scene, so that frames of an unchanged scene are cheap.
// The picture is exactly the one renderFramePlain draws.
class FrameRenderer {
  public:
    void render(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);
    // The same onto a surface of a known class: a final one is drawn on without virtual calls.
    template <class Surface> void render(const Scene& scene, const FrameSettings& settings, Surface& surface);
    const DisplacementField& field() const { return field_; }

  private:
    DisplacementField field_;
    // One column of points at a time: which are drawable by their bound, their offsets, which of those
    // are finite. Kept for their capacity.
    std::vector<std::uint8_t> drawable_, finite_;
    std::vector<ParticleDisplacement> column_;
};

template <class Surface>
void FrameRenderer::render(const Scene& scene, const FrameSettings& settings, Surface& surface) {
    const std::int32_t n = gridHalf(settings);
    const double limit = drawLimit(settings.numzoom, n);
    field_.prepare(scene, attenuationLaw(settings), settings.ch_2cut, n);
    frame_drawing::drawBackgroundAndRings(scene, settings, surface);
    const frame_drawing::PointStyle style(settings);
    const std::size_t side = field_.side();
    drawable_.resize(side);
    finite_.resize(side);
    column_.resize(side);
    // Through local pointers: the compiler cannot tell that a flag stored is not the vector's own data.
    std::uint8_t* const drawable = drawable_.data();
    const std::uint8_t* const finite = finite_.data();
    for (std::size_t c = 0, p = 0; c < side; ++c, p += side) {
        // The bound does not depend on the clock, so an undrawable point needs no offsets.
        for (std::size_t j = 0; j < side; ++j)
            drawable[j] = !field_.onSource(p + j) && field_.boundBelow(p + j, limit);
        field_.offsetsOfColumn(c, drawable, column_.data(), finite_.data());
        for (std::size_t j = 0; j < side; ++j) {
            if (field_.onSource(p + j)) continue;
            frame_drawing::drawPoint(style, field_.rest(c), field_.rest(j), column_[j],
                                     drawable[j] && finite[j], surface);
        }
    }
}

// Draws the frame at scene.simTime through a renderer kept per thread.
void renderFrame(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);

// The same frame with every point through displaceParticle, nothing kept: the yardstick for the above.
void renderFramePlain(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface);

} // namespace rs
