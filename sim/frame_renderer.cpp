// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/frame_renderer.h"

namespace rs {

void FrameRenderer::render(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    render<DrawingSurface>(scene, settings, surface);
}

void renderFrame(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    thread_local FrameRenderer renderer;
    renderer.render(scene, settings, surface);
}

void renderFramePlain(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    const std::int32_t n = gridHalf(settings);
    const double limit = drawLimit(settings.numzoom, n);
    const AttenuationLaw law = attenuationLaw(settings);
    frame_drawing::drawBackgroundAndRings(scene, settings, surface);
    const frame_drawing::PointStyle style(settings);
    for (std::int32_t i = -n; i <= n; ++i) {
        for (std::int32_t j = -n; j <= n; ++j) {
            const std::int32_t px = gridCoordinate(i, n);
            const std::int32_t py = gridCoordinate(j, n);
            if (coincidesWithSource(scene, px, py)) continue;
            const ParticleDisplacement d = displaceParticle(scene, px, py, law, settings.ch_2cut);
            frame_drawing::drawPoint(style, px, py, d, limit > d.bound, surface);
        }
    }
}

} // namespace rs
