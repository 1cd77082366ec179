// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// What a frame draws, on any surface: written once for every kind of surface, so that a final surface
// class (the picture) is drawn on with direct, inlined calls and any other through its interface, in
// the same order, with the same operations.

#include "sim/displacement.h"
#include "sim/drawing_surface.h"
#include "sim/frame_settings.h"
#include "sim/scene.h"

#include <cstddef>
#include <cstdint>

namespace rs {

namespace frame_drawing {

template <class Surface>
inline void drawBackgroundAndRings(const Scene& scene, const FrameSettings& settings, Surface& surface) {
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

// What every point of a frame needs of the settings, looked up once per frame.
struct PointStyle {
    bool cross, components, foot, particle, box;
    int active;
    Colour colours[kSourceCount + 1];

    explicit PointStyle(const FrameSettings& settings)
        : cross(settings.ch_suihei), components(settings.ch_seibun), foot(settings.ch_bashi),
          particle(settings.ch_baishitsu), box(settings.ch_rect),
          active(activeSourceCount(settings.ch_2cut)), colours{} {
        for (int k = 1; k <= active; ++k)
            colours[k] = sourceColour(k);
    }
};

template <class Surface>
inline void drawPoint(const PointStyle& style, std::int32_t px, std::int32_t py,
                      const ParticleDisplacement& d, bool drawable, Surface& surface) {
    const std::int64_t rx = px + kOrigin;
    const std::int64_t ry = py + kOrigin;
    if (!drawable) {
        if (style.cross) {
            surface.setPenColour(kGrey);
            if constexpr (requires { surface.cross(rx, ry); }) {
                surface.cross(rx, ry); // the same four calls, done at once by a surface that can
            } else {
                surface.moveTo(rx - 2, ry - 2);
                surface.lineTo(rx + 2, ry + 2);
                surface.moveTo(rx - 2, ry + 2);
                surface.lineTo(rx + 2, ry - 2);
            }
        }
        return;
    }
    std::int64_t qx = rx;
    std::int64_t qy = ry;
    for (std::size_t k = 1; k <= kSourceCount; ++k) {
        qx += d.componentX[k];
        qy += d.componentY[k];
    }
    if (style.components) {
        if constexpr (requires {
                          surface.fan(rx, ry, d.componentX, d.componentY, style.colours, style.active);
                      }) {
            // the same calls, done at once by a surface that can
            surface.fan(rx, ry, d.componentX, d.componentY, style.colours, style.active);
        } else {
            for (int k = 1; k <= style.active; ++k) {
                surface.setPenColour(style.colours[k]);
                surface.moveTo(rx, ry);
                surface.lineTo(rx + d.componentX[static_cast<std::size_t>(k)],
                               ry + d.componentY[static_cast<std::size_t>(k)]);
            }
        }
    }
    if (style.foot) {
        surface.setPenColour(kBlack);
        surface.moveTo(rx, ry);
        surface.lineTo(qx, qy);
    }
    if (style.particle) {
        surface.setPenColour(kBlack);
        if (style.box) {
            surface.rectangle(qx - 3, qy - 3, qx + 3, qy + 3);
        } else {
            surface.ellipse(qx - 3, qy - 3, qx + 3, qy + 3);
        }
    }
}

} // namespace frame_drawing

} // namespace rs
