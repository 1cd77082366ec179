// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The renderer's cached double-precision path must give exactly what the long-double model gives:
// same offsets, bounds and drawable decisions, on random scenes and on scenes full of exact ties.

#include "sim/displacement_field.h"
#include "sim/frame_renderer.h"
#include "trace_diff.h"
#include "ui/recording_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace rs {
namespace {

class SceneMaker {
  public:
    explicit SceneMaker(std::uint64_t seed) : rng_(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    // wild: anything goes, extremes included. tame: values the window's prompts would typically see.
    // ties: omega 0, sines of exactly +-1 or +-0.5, amplitudes in steps of 25 and sources on grid lines,
    // so that many offsets are exact halves.
    enum Kind { wild, tame, ties };

    WaveSource source(std::int32_t n, Kind kind) {
        static constexpr std::int32_t tiePhases[] = {90, -90, 270, 30, -150, 150, -30};
        const double speeds[] = {pick(5, 50) / 10.0, 0.0, 1e-310, -1.3, 1e300};
        const int extreme = kind == tame ? 0 : 10;
        auto position = [&] {
            const int roll = pick(1, 100);
            return roll <= 40              ? gridCoordinate(pick(-n, n), n)
                   : roll <= 100 - extreme ? pick(-330, 330)
                   : chance(50)            ? kMax
                                           : kMin;
        };
        WaveSource s{position(), position(), 0, 0, 0, speeds[chance(100 - 2 * extreme) ? 0 : pick(1, 4)]};
        if (kind == ties) {
            s.amp = chance(10) ? 0 : 25 * pick(-160, 160);
            s.phase = tiePhases[pick(0, 6)];
            return s;
        }
        const int roll = pick(1, 100);
        s.amp = roll <= 10                  ? 0
                : roll <= 100 - 2 * extreme ? pick(-1500, 1500)
                : roll <= 100 - extreme     ? pick(-200000, 200000)
                                            : kMin;
        s.omega = chance(100 - extreme) ? pick(-40, 40) : chance(50) ? pick(-100000, 100000) : kMax;
        s.phase = chance(100 - extreme) ? pick(-360, 360) : kMin;
        return s;
    }

    void fill(Scene& scene, FrameSettings& settings, Kind kind) {
        settings = {.ch_2cut = chance(25),
                    .gens1 = chance(33),
                    .gens2 = chance(50),
                    .ch_rect = chance(50),
                    .numpoints = chance(80) ? pick(5, 20) : pick(21, 50),
                    .numzoom = pick(10, 30)};
        resetScene(scene);
        for (int k = 1; k <= kSourceCount; ++k)
            scene.source(k) = source(settings.numpoints, kind);
        scene.simTime = chance(80) ? pick(-100000, 100001) : pick(-5, 5);
    }

    static constexpr std::int32_t kMin = -2147483647 - 1, kMax = 2147483647;

  private:
    std::mt19937_64 rng_;
};

// The same formula in plain double, as a careless fast path would compute it.
std::int64_t naiveOffsetX(const WaveSource& s, double t, std::int32_t px, std::int32_t py,
                          AttenuationLaw law) {
    const double dx = px - double(s.x), dy = py - double(s.y), r = std::sqrt(dx * dx + dy * dy);
    const double pi = std::numbers::pi;
    const double sine =
        std::sin(((s.omega * t) * pi) / 180 - (r * ((s.omega * pi) / 180)) / s.speed + (s.phase * pi) / 180);
    const double d = law == AttenuationLaw::inverseDistance       ? (sine * s.amp) / r
                     : law == AttenuationLaw::inverseSqrtDistance ? ((sine * s.amp) / 10) / std::sqrt(r)
                                                                  : (sine * s.amp) / 200;
    return std::isfinite(d) ? static_cast<std::int64_t>(std::nearbyint((dx / r) * d)) : 0;
}

// Compares every point of one frame; returns how many offsets plain double arithmetic gets wrong.
int expectFieldMatchesModel(const Scene& scene, const FrameSettings& settings) {
    const AttenuationLaw law = attenuationLaw(settings);
    DisplacementField field;
    field.prepare(scene, law, settings.ch_2cut, gridHalf(settings));
    int naiveMisses = 0;
    for (std::size_t p = 0; p < field.pointCount() && !::testing::Test::HasFailure(); ++p) {
        const std::int32_t px = field.restX(p), py = field.restY(p);
        EXPECT_EQ(field.onSource(p), coincidesWithSource(scene, px, py));
        if (field.onSource(p)) continue;
        const ParticleDisplacement want = displaceParticle(scene, px, py, law, settings.ch_2cut);
        const ParticleDisplacement got = field.displace(p);
        EXPECT_EQ(got.componentX, want.componentX) << px << "," << py << " t " << scene.simTime;
        EXPECT_EQ(got.componentY, want.componentY) << px << "," << py << " t " << scene.simTime;
        EXPECT_EQ(got.bound, want.bound) << px << "," << py;
        for (int k = 1; k <= activeSourceCount(settings.ch_2cut); ++k) {
            const WaveSource& s = scene.source(k);
            naiveMisses +=
                s.amp != 0 && want.componentX[std::size_t(k)] != naiveOffsetX(s, scene.simTime, px, py, law);
        }
    }
    return naiveMisses;
}

TEST(FastPath, RandomAndTieScenesMatchTheModelPointByPoint) {
    for (SceneMaker::Kind kind : {SceneMaker::wild, SceneMaker::ties}) {
        SceneMaker maker(kind == SceneMaker::ties ? 7 : 20240611);
        int naiveMisses = 0;
        for (int i = 0; i < 120 && !HasFailure(); ++i) {
            Scene scene;
            FrameSettings settings;
            maker.fill(scene, settings, kind);
            naiveMisses += expectFieldMatchesModel(scene, settings);
        }
        // The tie scenes really do hold results that only the extended-precision rules get right.
        if (kind == SceneMaker::ties) {
            EXPECT_GT(naiveMisses, 0);
        }
    }
}

TEST(FastPath, FramesMatchThePlainRendererWhileTheSceneChanges) {
    SceneMaker maker(99);
    Scene scene;
    FrameSettings settings;
    maker.fill(scene, settings, SceneMaker::tame);
    FrameRenderer renderer;
    for (int frame = 0; frame < 100 && !HasFailure(); ++frame) {
        switch (maker.pick(0, 9)) {
        case 0:
            maker.fill(scene, settings, maker.chance(50) ? SceneMaker::tame : SceneMaker::ties);
            break;
        case 1:
            scene.source(maker.pick(1, 4)) = maker.source(gridHalf(settings), SceneMaker::tame);
            break;
        case 2:
            scene.source(maker.pick(1, 4)).phase = maker.pick(-360, 360);
            break;
        case 3:
            setWaveSpeed(scene, maker.pick(5, 50));
            break;
        case 4:
            settings.gens1 = !settings.gens1;
            break;
        case 5:
            settings.ch_2cut = !settings.ch_2cut;
            break;
        case 6:
            scene.source(maker.pick(1, 2)).omega = maker.pick(-40, 40);
            break;
        case 7: {
            WaveSource& s = scene.source(maker.pick(1, 2));
            (maker.chance(50) ? s.x : s.y) = maker.pick(-300, 300);
            break;
        }
        default:
            break; // the clock alone
        }
        scene.simTime += 1.0;
        RecordingSurface fast, plain;
        renderer.render(scene, settings, fast);
        renderFramePlain(scene, settings, plain);
        ASSERT_EQ(testing::firstDifference(fast.trace(), plain.trace()), "") << "frame " << frame;
    }
    // Clock and phase changes keep the cached geometry.
    EXPECT_LT(renderer.field().rebuildCount(), 80);
}

} // namespace
} // namespace rs
