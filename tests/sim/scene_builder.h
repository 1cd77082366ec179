// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A scene with the given sources as 1, 2, … (the rest silent) at clock t.

#include "sim/scene.h"

#include <initializer_list>

namespace rs::test {

inline Scene withSources(std::initializer_list<WaveSource> sources, double t = 0.0) {
    Scene scene;
    resetScene(scene);
    int k = 1;
    for (const WaveSource& s : sources)
        scene.source(k++) = s;
    scene.simTime = t;
    return scene;
}

} // namespace rs::test
