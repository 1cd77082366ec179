#include "sim/scene.h"

#include <gtest/gtest.h>

namespace rs {
namespace {

TEST(Scene, ResetPutsEverySourceAtRestAtTheCentre) {
    Scene scene;
    for (int k = 1; k <= kSourceCount; ++k)
        scene.source(k) = {k, -k, 100 * k, k, 7, 4.5};
    scene.simTime = 57.0;
    resetScene(scene);
    for (int k = 1; k <= kSourceCount; ++k) {
        const WaveSource& s = scene.source(k);
        EXPECT_EQ(s.x, 0);
        EXPECT_EQ(s.y, 0);
        EXPECT_EQ(s.amp, 0);
        EXPECT_EQ(s.omega, 0);
        EXPECT_EQ(s.phase, 0);
        EXPECT_EQ(s.speed, 2.0);
    }
    EXPECT_EQ(scene.simTime, 0.0);
}

TEST(Scene, WaveSpeedIsTheTrackBarPositionInTenthsInAllFourSources) {
    const struct {
        std::int32_t position;
        double speed;
    } cases[] = {{37, 3.7}, {5, 0.5}, {50, 5.0}, {20, 2.0}, {0, 0.0}, {-2147483647 - 1, -214748364.8}};
    for (const auto& c : cases) {
        Scene scene;
        setWaveSpeed(scene, c.position);
        for (int k = 1; k <= kSourceCount; ++k)
            EXPECT_EQ(scene.source(k).speed, c.speed) << c.position;
    }
}

TEST(Scene, ClockWrapsAfter100000WithOneTickWithoutAFrame) {
    const struct {
        double before;
        bool draws;
        double after;
    } ticks[] = {
        {0.0, true, 1.0},
        {57.0, true, 58.0},
        {100000.0, true, 100001.0},
        {100001.0, false, -100000.0},
        {-100000.0, true, -99999.0},
    };
    for (const auto& t : ticks) {
        Scene scene;
        scene.simTime = t.before;
        double drawnAt = 1e9;
        const bool drew = clockTick(scene, [&] { drawnAt = scene.simTime; });
        EXPECT_EQ(drew, t.draws) << t.before;
        EXPECT_EQ(scene.simTime, t.after) << t.before;
        if (t.draws)
            EXPECT_EQ(drawnAt, t.before) << "a frame shows the clock before the increment";
        else
            EXPECT_EQ(drawnAt, 1e9);
    }
}

TEST(Scene, ClockSequenceAcrossTheWrap) {
    Scene scene;
    scene.simTime = 100000.0;
    std::vector<double> frames;
    for (int i = 0; i < 4; ++i)
        clockTick(scene, [&] { frames.push_back(scene.simTime); });
    EXPECT_EQ(frames, (std::vector<double>{100000.0, -100000.0, -99999.0}));
    EXPECT_EQ(scene.simTime, -99998.0);
}

} // namespace
} // namespace rs
