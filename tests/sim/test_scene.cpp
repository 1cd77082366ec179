// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/scene.h"

#include <gtest/gtest.h>

#include <vector>

namespace rs {
namespace {

TEST(Scene, WaveSpeedIsTheTrackBarPositionInTenthsInAllFourSources) {
    const std::pair<std::int32_t, double> cases[] = {{37, 3.7}, {5, 0.5}, {50, 5.0}, {0, 0.0}};
    for (auto [position, speed] : cases) {
        Scene scene;
        setWaveSpeed(scene, position);
        for (int k = 1; k <= kSourceCount; ++k)
            EXPECT_EQ(scene.source(k).speed, speed) << position;
    }
}

TEST(Scene, ClockWrapsAfter100000WithOneTickWithoutAFrame) {
    Scene scene;
    scene.simTime = 100000.0;
    std::vector<double> frames, after;
    for (int i = 0; i < 4; ++i) {
        clockTick(scene, [&] { frames.push_back(scene.simTime); });
        after.push_back(scene.simTime);
    }
    EXPECT_EQ(frames, (std::vector<double>{100000.0, -100000.0, -99999.0}));
    EXPECT_EQ(after, (std::vector<double>{100001.0, -100000.0, -99999.0, -99998.0}));
}

} // namespace
} // namespace rs
