// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The values no window control holds: the four wave sources, their common speed and the frame clock.

#include <array>
#include <cstdint>

namespace rs {

struct WaveSource {
    std::int32_t x = 0;     // pixels right of the picture centre
    std::int32_t y = 0;     // pixels below the picture centre
    std::int32_t amp = 0;   // strength as typed; its size in pixels depends on the attenuation law
    std::int32_t omega = 0; // degrees of phase per frame
    std::int32_t phase = 0; // degrees
    double speed = 2.0;     // pixels per frame, the same in all four
};

inline constexpr int kSourceCount = 4;

struct Scene {
    // Index 0 is never used, so code reads source numbers 1 to 4 as the window shows them.
    std::array<WaveSource, kSourceCount + 1> sources{};
    double simTime = 0.0; // frames drawn; whole numbers between -100000 and 100001

    WaveSource& source(int k) { return sources[static_cast<std::size_t>(k)]; }
    const WaveSource& source(int k) const { return sources[static_cast<std::size_t>(k)]; }
};

// The start-up state: every source at rest at the centre, speed 2.0, clock 0.
void resetScene(Scene& scene);

// speed := position / 10 in sources 1 to 4.
void setWaveSpeed(Scene& scene, std::int32_t position);

// One tick of the clock. Past 100000 the clock wraps to -100000 and the tick draws nothing;
// otherwise draw() renders the frame at the current time and the clock then advances by one.
// Returns whether a frame was drawn.
template <class Draw> bool clockTick(Scene& scene, Draw&& draw) {
    if (scene.simTime > 100000.0) {
        scene.simTime = -100000.0;
        return false;
    }
    draw();
    scene.simTime += 1.0;
    return true;
}

} // namespace rs
