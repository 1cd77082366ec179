#include "sim/frame_renderer.h"

namespace rs {

namespace {

void drawBackgroundAndRings(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    // The brush keeps the background colour for the whole frame: rings and particles are filled with it.
    surface.setBrushColour(settings.ch_guruguru ? kRed : kWhite);
    surface.fillRect(0, 0, kPictureSize, kPictureSize);
    for (int k = 1; k <= activeSourceCount(settings.ch_2cut); ++k) {
        const WaveSource& s = scene.source(k);
        if (s.amp == 0) continue;
        const std::int64_t radius = s.amp / 100; // truncates toward zero; negative radii stay reversed
        const std::int64_t cx = s.x + kOrigin;
        const std::int64_t cy = s.y + kOrigin;
        surface.setPenColour(sourceColour(k));
        surface.ellipse(cx - radius, cy - radius, cx + radius, cy + radius);
    }
}

void drawPoint(const FrameSettings& settings, std::int32_t px, std::int32_t py, const ParticleDisplacement& d,
               bool drawable, DrawingSurface& surface) {
    const std::int64_t rx = px + kOrigin;
    const std::int64_t ry = py + kOrigin;
    if (!drawable) {
        if (settings.ch_suihei) {
            surface.setPenColour(kGrey);
            surface.moveTo(rx - 2, ry - 2);
            surface.lineTo(rx + 2, ry + 2);
            surface.moveTo(rx - 2, ry + 2);
            surface.lineTo(rx + 2, ry - 2);
        }
        return;
    }
    std::int64_t qx = rx;
    std::int64_t qy = ry;
    for (std::size_t k = 1; k <= kSourceCount; ++k) {
        qx += d.componentX[k];
        qy += d.componentY[k];
    }
    if (settings.ch_seibun) {
        for (int k = 1; k <= activeSourceCount(settings.ch_2cut); ++k) {
            surface.setPenColour(sourceColour(k));
            surface.moveTo(rx, ry);
            surface.lineTo(rx + d.componentX[static_cast<std::size_t>(k)],
                           ry + d.componentY[static_cast<std::size_t>(k)]);
        }
    }
    if (settings.ch_bashi) {
        surface.setPenColour(kBlack);
        surface.moveTo(rx, ry);
        surface.lineTo(qx, qy);
    }
    if (settings.ch_baishitsu) {
        surface.setPenColour(kBlack);
        if (settings.ch_rect) {
            surface.rectangle(qx - 3, qy - 3, qx + 3, qy + 3);
        } else {
            surface.ellipse(qx - 3, qy - 3, qx + 3, qy + 3);
        }
    }
}

} // namespace

void FrameRenderer::render(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    const std::int32_t n = gridHalf(settings);
    const double limit = drawLimit(settings.numzoom, n);
    field_.prepare(scene, attenuationLaw(settings), settings.ch_2cut, n);
    drawBackgroundAndRings(scene, settings, surface);
    ParticleDisplacement d;
    for (std::size_t p = 0; p < field_.pointCount(); ++p) {
        if (field_.onSource(p)) continue;
        // The bound does not depend on the clock, so an undrawable point needs no offsets.
        const bool drawable = limit > field_.bound(p) && field_.offsets(p, d);
        drawPoint(settings, field_.restX(p), field_.restY(p), d, drawable, surface);
    }
}

void renderFrame(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    thread_local FrameRenderer renderer;
    renderer.render(scene, settings, surface);
}

void renderFramePlain(const Scene& scene, const FrameSettings& settings, DrawingSurface& surface) {
    const std::int32_t n = gridHalf(settings);
    const double limit = drawLimit(settings.numzoom, n);
    const AttenuationLaw law = attenuationLaw(settings);
    drawBackgroundAndRings(scene, settings, surface);
    for (std::int32_t i = -n; i <= n; ++i) {
        for (std::int32_t j = -n; j <= n; ++j) {
            const std::int32_t px = gridCoordinate(i, n);
            const std::int32_t py = gridCoordinate(j, n);
            if (coincidesWithSource(scene, px, py)) continue;
            const ParticleDisplacement d = displaceParticle(scene, px, py, law, settings.ch_2cut);
            drawPoint(settings, px, py, d, limit > d.bound, surface);
        }
    }
}

} // namespace rs
