// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_builder.h"
#include "sim/displacement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rs {
namespace {

using Law = AttenuationLaw;
constexpr std::int32_t kMin = -2147483647 - 1, kMax = 2147483647;

using test::withSources;

TEST(Displacement, CoincidenceTestsAllFourSourcesWhateverTheirAmplitude) {
    const Scene scene =
        withSources({{10, 20, 500, 0, 0, 2.0}, {0, 0, 0, 0, 0, 2.0}, {-45, 60, 0, 0, 0, 2.0}});
    const struct {
        std::int32_t px, py;
        bool on;
    } cases[] = {{10, 20, true}, {-45, 60, true}, {0, 0, true}, {20, 10, false}, {-45, 59, false}};
    for (const auto& c : cases)
        EXPECT_EQ(coincidesWithSource(scene, c.px, c.py), c.on) << c.px << "," << c.py;
}

TEST(Displacement, OffsetsRoundTheScaledUnitVectorTiesToEven) {
    const struct {
        const char* what;
        WaveSource source;
        Law law;
        std::int32_t px, py;
        std::int64_t cx, cy;
    } cases[] = {
        {"pushed away along x", {0, 0, 1000, 0, 90, 2.0}, Law::inverseDistance, 100, 0, 10, 0},
        {"pushed upward, away", {0, 0, 1000, 0, 90, 2.0}, Law::inverseDistance, 0, -50, 0, -20},
        {"phase -90 pulls in", {0, 0, 1000, 0, -90, 2.0}, Law::inverseDistance, 100, 0, -10, 0},
        {"negative amp reverses", {0, 0, -1000, 0, 90, 2.0}, Law::inverseDistance, 100, 0, -10, 0},
        {"off-centre source", {30, -40, 1000, 0, 90, 2.0}, Law::inverseDistance, 60, 0, 12, 16},
        {"1/sqrt(r) at 100", {0, 0, 1000, 0, 90, 2.0}, Law::inverseSqrtDistance, 0, 100, 0, 10},
        {"2.5 rounds to 2", {0, 0, 500, 0, 90, 2.0}, Law::noAttenuation, 45, 0, 2, 0},
        {"3.5 rounds to 4", {0, 0, 700, 0, 90, 2.0}, Law::noAttenuation, 45, 0, 4, 0},
        {"-2.5 rounds to -2", {0, 0, 500, 0, 90, 2.0}, Law::noAttenuation, 0, -15, 0, -2},
        // (-0.5 * -2925) / 195 is 7.5 plus a little in extended precision and exactly 7.5 once stored as
        // a double, so -7.5 ties to -8; D computed in double gives -7.4999999999999991 and -7.
        {"tie only with D as double", {0, 0, -2925, 0, -150, 2.0}, Law::inverseDistance, -195, 0, -8, 0},
        // Here the stored double of D sits just off the tie: -2.5000000000000000924 rounds to -3, while
        // D kept in extended precision gives exactly -2.5 and -2.
        {"D as double leaves the tie", {0, 0, -3000, 0, -150, 2.0}, Law::inverseDistance, -300, -300, -3, -3},
        {"amp 0 does nothing", {0, 0, 0, 10, 90, 2.0}, Law::inverseDistance, 15, 0, 0, 0},
    };
    for (const auto& c : cases) {
        for (double t : {0.0, 12345.0, -100000.0}) { // omega 0: the clock must not matter
            const ParticleDisplacement d =
                displaceParticle(withSources({c.source}, t), c.px, c.py, c.law, false);
            EXPECT_EQ(d.componentX, (std::array<std::int64_t, 5>{0, c.cx, 0, 0, 0})) << c.what;
            EXPECT_EQ(d.componentY, (std::array<std::int64_t, 5>{0, c.cy, 0, 0, 0})) << c.what;
        }
    }
}

TEST(Displacement, BoundsFollowTheLawAndIgnoreTheClock) {
    const struct {
        Law law;
        std::int32_t px, py;
        double bound;
    } cases[] = {{Law::inverseDistance, 100, 0, 10.0},       {Law::inverseSqrtDistance, 100, 0, 10.0},
                 {Law::inverseDistance, 15, 0, 66.667},      {Law::inverseDistance, 30, 0, 33.333},
                 {Law::inverseDistance, 30, 30, 23.570},     {Law::inverseDistance, 45, 0, 22.222},
                 {Law::inverseSqrtDistance, 15, 0, 25.820},  {Law::inverseSqrtDistance, 30, 0, 18.257},
                 {Law::inverseSqrtDistance, 15, 15, 21.712}, {Law::noAttenuation, 1, 0, 5.0},
                 {Law::noAttenuation, -300, 0, 5.0},         {Law::noAttenuation, 45, 60, 5.0}};
    for (const auto& c : cases) {
        for (double t : {0.0, 1.0, 5000.0}) {
            const Scene scene = withSources({{0, 0, -1000, 7, 33, 2.0}}, t);
            EXPECT_NEAR(displaceParticle(scene, c.px, c.py, c.law, false).bound, c.bound, 0.0005) << c.px;
        }
    }
}

TEST(Displacement, TwoSourceModeIgnoresSources3And4) {
    Scene scene = withSources({{-100, 0, 1000, 10, 0, 2.0},
                               {100, 0, 1000, 10, 0, 2.0},
                               {0, -100, 5000, 10, 90, 2.0},
                               {0, 100, -5000, 10, 90, 2.0}},
                              3.0);
    const ParticleDisplacement two = displaceParticle(scene, 30, 60, Law::inverseDistance, true);
    scene.source(3).amp = scene.source(4).amp = 0;
    const ParticleDisplacement ref = displaceParticle(scene, 30, 60, Law::inverseDistance, false);
    EXPECT_EQ(two.componentX, ref.componentX);
    EXPECT_EQ(two.componentY, ref.componentY);
    EXPECT_EQ(two.bound, ref.bound);
}

TEST(Displacement, ZeroSpeedMakesALiveSourceUndrawableButNotASilentOne) {
    Scene scene = withSources({});
    setWaveSpeed(scene, 0);
    EXPECT_EQ(displaceParticle(scene, 15, 0, Law::inverseSqrtDistance, false).bound, 0.0);
    for (std::int32_t omega : {0, 10}) { // phases 0/0 and x/0
        scene.source(2) = {100, 0, 1000, omega, 0, 0.0};
        const ParticleDisplacement d = displaceParticle(scene, 15, 0, Law::inverseSqrtDistance, false);
        EXPECT_TRUE(std::isinf(d.bound)) << omega;
        EXPECT_EQ(d.componentX[2] | d.componentY[2], 0);
    }
}

TEST(Displacement, ExtremeValuesStayInRange) {
    const Scene scene = withSources({{kMax, kMax, kMin, kMax, kMin, 2.0},
                                     {kMin, kMin, kMin, kMin, kMax, 0.5},
                                     {kMax, kMin, kMax, 1, 90, 5.0},
                                     {1, 0, kMin, 0, 90, 2.0}},
                                    100001.0);
    const ParticleDisplacement d = displaceParticle(scene, 0, 0, Law::inverseDistance, false);
    EXPECT_EQ(d.componentX[4], 2147483648LL); // r = 1 from source 4: a negative amp pulls toward (1, 0)
    EXPECT_NEAR(d.bound, 2147483648.0, 2.0);
    for (std::size_t k = 1; k <= 3; ++k)
        EXPECT_LE(std::llabs(d.componentX[k]) + std::llabs(d.componentY[k]), 2);
}

} // namespace
} // namespace rs
