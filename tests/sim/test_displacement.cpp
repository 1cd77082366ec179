#include "sim/displacement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rs {
namespace {

using Law = AttenuationLaw;

Scene oneSource(WaveSource s, double t = 0.0) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = s;
    scene.simTime = t;
    return scene;
}

TEST(Displacement, CoincidenceTestsAllFourSourcesWhateverTheirAmplitude) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {10, 20, 500, 0, 0, 2.0};
    scene.source(3) = {-45, 60, 0, 0, 0, 2.0};
    scene.source(4) = {2147483647, -2147483647 - 1, 0, 0, 0, 2.0};
    const struct {
        std::int32_t px, py;
        bool on;
    } cases[] = {{10, 20, true},
                 {-45, 60, true},
                 {0, 0, true}, // source 2 sits at the centre
                 {2147483647, -2147483647 - 1, true},
                 {20, 10, false},
                 {-45, 59, false},
                 {15, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(coincidesWithSource(scene, c.px, c.py), c.on) << c.px << "," << c.py;
}

struct PointCase {
    const char* what;
    WaveSource source;
    Law law;
    std::int32_t px, py;
    std::int64_t cx, cy;
    double bound; // NaN: not checked
};

TEST(Displacement, OffsetsRoundTheScaledUnitVector) {
    const double kAny = NAN;
    const PointCase cases[] = {
        {"pushed away along x", {0, 0, 1000, 0, 90, 2.0}, Law::inverseDistance, 100, 0, 10, 0, 10.0},
        {"pushed upward, away", {0, 0, 1000, 0, 90, 2.0}, Law::inverseDistance, 0, -50, 0, -20, 20.0},
        {"phase -90 pulls in", {0, 0, 1000, 0, -90, 2.0}, Law::inverseDistance, 100, 0, -10, 0, 10.0},
        {"negative amp reverses", {0, 0, -1000, 0, 90, 2.0}, Law::inverseDistance, 100, 0, -10, 0, 10.0},
        {"source off centre", {30, -40, 1000, 0, 90, 2.0}, Law::inverseDistance, 60, 0, 12, 16, 20.0},
        {"2.5 rounds to 2", {0, 0, 500, 0, 90, 2.0}, Law::noAttenuation, 45, 0, 2, 0, 2.5},
        {"3.5 rounds to 4", {0, 0, 700, 0, 90, 2.0}, Law::noAttenuation, 45, 0, 4, 0, 3.5},
        {"-2.5 rounds to -2", {0, 0, -500, 0, 90, 2.0}, Law::noAttenuation, 45, 0, -2, 0, 2.5},
        {"tie on y", {0, 0, 500, 0, 90, 2.0}, Law::noAttenuation, 0, -15, 0, -2, 2.5},
        // (-0.5 * -2925) / 195 is 7.5 plus a little in extended precision; stored as a double it is
        // exactly 7.5, so -7.5 ties to -8. Computing D in double instead gives -7.4999999999999991 and -7.
        {"tie only with D as double",
         {0, 0, -2925, 0, -150, 2.0},
         Law::inverseDistance,
         -195,
         0,
         -8,
         0,
         kAny},
        {"1/sqrt at 100", {0, 0, 1000, 0, 90, 2.0}, Law::inverseSqrtDistance, 0, 100, 0, 10, 10.0},
        {"no attenuation far away", {0, 0, 1000, 0, 90, 2.0}, Law::noAttenuation, -300, 0, -5, 0, 5.0},
        {"amp 0 contributes nothing", {0, 0, 0, 10, 90, 2.0}, Law::inverseDistance, 15, 0, 0, 0, 0.0},
    };
    for (const PointCase& c : cases) {
        for (double t : {0.0, 12345.0, -100000.0}) { // omega 0: the clock must not matter
            const Scene scene = oneSource(c.source, t);
            const ParticleDisplacement d = displaceParticle(scene, c.px, c.py, c.law, false);
            EXPECT_EQ(d.componentX[1], c.cx) << c.what;
            EXPECT_EQ(d.componentY[1], c.cy) << c.what;
            for (std::size_t k = 2; k <= 4; ++k)
                EXPECT_EQ(d.componentX[k] | d.componentY[k], 0) << c.what;
            if (!std::isnan(c.bound)) {
                EXPECT_NEAR(d.bound, c.bound, 1e-12) << c.what;
            }
        }
    }
}

TEST(Displacement, LawsMeetAtDistance100AndDifferElsewhere) {
    const WaveSource s{0, 0, 1000, 0, 90, 2.0};
    const Scene scene = oneSource(s);
    auto boundAt = [&](std::int32_t x, Law law) { return displaceParticle(scene, x, 0, law, false).bound; };
    EXPECT_DOUBLE_EQ(boundAt(100, Law::inverseDistance), 10.0);
    EXPECT_DOUBLE_EQ(boundAt(100, Law::inverseSqrtDistance), 10.0);
    for (std::int32_t x : {15, 45, 99})
        EXPECT_GT(boundAt(x, Law::inverseDistance), boundAt(x, Law::inverseSqrtDistance));
    for (std::int32_t x : {101, 150, 300})
        EXPECT_LT(boundAt(x, Law::inverseDistance), boundAt(x, Law::inverseSqrtDistance));
    for (std::int32_t x : {1, 100, 300})
        EXPECT_DOUBLE_EQ(boundAt(x, Law::noAttenuation), 5.0);
}

TEST(Displacement, BoundsOfASingleSourceMatchTheTabulatedValues) {
    const Scene scene = oneSource({0, 0, 1000, 7, 33, 2.0});
    const struct {
        Law law;
        std::int32_t px, py;
        double bound;
    } cases[] = {{Law::inverseDistance, 15, 0, 66.67},     {Law::inverseDistance, 30, 0, 33.33},
                 {Law::inverseDistance, 30, 30, 23.57},    {Law::inverseDistance, 45, 0, 22.22},
                 {Law::inverseSqrtDistance, 15, 0, 25.82}, {Law::inverseSqrtDistance, 30, 0, 18.26},
                 {Law::inverseSqrtDistance, 15, 15, 21.71}};
    for (const auto& c : cases) {
        EXPECT_NEAR(displaceParticle(scene, c.px, c.py, c.law, false).bound, c.bound, 0.005)
            << c.px << "," << c.py;
    }
}

TEST(Displacement, BoundNeverFallsBelowTheDisplacementAndIgnoresTheClock) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {-37, 12, 2500, 13, 40, 1.7};
    scene.source(2) = {80, -90, -1800, -29, 200, 1.7};
    scene.source(3) = {5, 150, 900, 41, -75, 1.7};
    for (Law law : {Law::inverseDistance, Law::inverseSqrtDistance, Law::noAttenuation}) {
        const double bound0 = displaceParticle(scene, 45, 30, law, false).bound;
        for (double t = -50; t <= 50; t += 1) {
            scene.simTime = t;
            const ParticleDisplacement d = displaceParticle(scene, 45, 30, law, false);
            EXPECT_EQ(d.bound, bound0);
            std::int64_t sx = 0, sy = 0;
            for (std::size_t k = 1; k <= 4; ++k)
                sx += d.componentX[k], sy += d.componentY[k];
            // Each offset is rounded separately: allow half a pixel per source and axis.
            EXPECT_LE(std::hypot(double(sx), double(sy)), d.bound + std::hypot(1.5, 1.5));
        }
    }
}

TEST(Displacement, TwoSourceModeIgnoresSources3And4) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {-100, 0, 1000, 10, 0, 2.0};
    scene.source(2) = {100, 0, 1000, 10, 0, 2.0};
    scene.source(3) = {0, -100, 5000, 10, 90, 2.0};
    scene.source(4) = {0, 100, -5000, 10, 90, 2.0};
    scene.simTime = 3.0;
    Scene onlyTwo = scene;
    onlyTwo.source(3).amp = onlyTwo.source(4).amp = 0;
    for (std::int32_t px : {-45, 30, 150}) {
        const ParticleDisplacement two = displaceParticle(scene, px, 60, Law::inverseDistance, true);
        const ParticleDisplacement ref = displaceParticle(onlyTwo, px, 60, Law::inverseDistance, false);
        EXPECT_EQ(two.componentX, ref.componentX);
        EXPECT_EQ(two.componentY, ref.componentY);
        EXPECT_EQ(two.bound, ref.bound);
        const ParticleDisplacement four = displaceParticle(scene, px, 60, Law::inverseDistance, false);
        EXPECT_GT(four.bound, two.bound);
    }
}

TEST(Displacement, MirrorSourcesCancelExactly) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {-90, 0, 1300, 17, 23, 2.0};
    scene.source(2) = {90, 0, 1300, 17, 23, 2.0};
    for (double t : {0.0, 5.0, 77.0}) {
        scene.simTime = t;
        const ParticleDisplacement d = displaceParticle(scene, 0, 0, Law::inverseSqrtDistance, false);
        EXPECT_EQ(d.componentX[1] + d.componentX[2], 0);
        EXPECT_EQ(d.componentY[1] + d.componentY[2], 0);
    }
}

TEST(Displacement, ZeroSpeedMakesALiveSourceUndrawableButNotASilentOne) {
    Scene scene;
    resetScene(scene);
    setWaveSpeed(scene, 0);
    EXPECT_EQ(displaceParticle(scene, 15, 0, Law::inverseSqrtDistance, false).bound, 0.0);
    for (std::int32_t omega : {0, 10}) { // 0/0 and x/0 phases
        scene.source(2) = {100, 0, 1000, omega, 0, 0.0};
        const ParticleDisplacement d = displaceParticle(scene, 15, 0, Law::inverseSqrtDistance, false);
        EXPECT_TRUE(std::isinf(d.bound)) << omega;
        EXPECT_EQ(d.componentX[2], 0);
        EXPECT_EQ(d.componentY[2], 0);
    }
}

TEST(Displacement, ExtremeValuesStayFiniteAndInRange) {
    Scene scene;
    resetScene(scene);
    const std::int32_t kMin = -2147483647 - 1, kMax = 2147483647;
    scene.source(1) = {kMax, kMax, kMin, kMax, kMin, 2.0};
    scene.source(2) = {kMin, kMin, kMin, kMin, kMax, 0.5};
    scene.source(3) = {kMax, kMin, kMax, 1, 90, 5.0};
    scene.source(4) = {1, 0, kMin, 0, 90, 2.0}; // r = 1 from the centre: offset 2^31 under 1/r
    scene.simTime = 100001.0;
    const ParticleDisplacement d = displaceParticle(scene, 0, 0, Law::inverseDistance, false);
    EXPECT_EQ(d.componentX[4], 2147483648LL); // a negative amp pulls it toward (1, 0)
    EXPECT_TRUE(std::isfinite(d.bound));
    for (std::size_t k = 1; k <= 4; ++k) {
        EXPECT_LE(std::llabs(d.componentX[k]), 2147483648LL);
        EXPECT_LE(std::llabs(d.componentY[k]), 2147483648LL);
    }
}

} // namespace
} // namespace rs
