// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/scene.h"

namespace rs {

void resetScene(Scene& scene) {
    for (int k = 1; k <= kSourceCount; ++k) {
        scene.source(k) = WaveSource{};
    }
    scene.simTime = 0.0;
}

void setWaveSpeed(Scene& scene, std::int32_t position) {
    const double speed = static_cast<double>(position) / 10.0;
    for (int k = 1; k <= kSourceCount; ++k) {
        scene.source(k).speed = speed;
    }
}

} // namespace rs
