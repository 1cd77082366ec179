// The renderer's cached double-precision path must give exactly what the long-double model gives:
// same offsets, same bounds, same drawable decisions, on random scenes and on scenes full of exact ties.

#include "sim/displacement_field.h"
#include "sim/frame_renderer.h"
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

    std::int32_t position(std::int32_t n) {
        const int kind = pick(0, 9);
        if (kind < 4) return gridCoordinate(pick(-n, n), n); // on grid lines: many axis-aligned points
        if (kind < 9) return pick(-330, 330);
        return chance(50) ? 2147483647 : -2147483647 - 1;
    }

    WaveSource source(std::int32_t n, bool ties) {
        WaveSource s;
        s.x = position(n);
        s.y = position(n);
        if (ties) {
            static constexpr std::int32_t phases[] = {90, -90, 270, 30, -150, 150, -30};
            s.amp = chance(10) ? 0 : 25 * pick(-160, 160);
            s.omega = 0;
            s.phase = phases[pick(0, 6)];
        } else {
            const int kind = pick(0, 9);
            s.amp = kind == 0   ? 0
                    : kind < 8  ? pick(-3000, 3000)
                    : kind == 8 ? pick(-200000, 200000)
                                : -2147483647 - 1;
            s.omega = chance(90) ? pick(-40, 40) : chance(50) ? pick(-100000, 100000) : 2147483647;
            s.phase = chance(90) ? pick(-360, 360) : -2147483647 - 1;
        }
        const int kind = pick(0, 19);
        s.speed = kind < 16    ? pick(5, 50) / 10.0
                  : kind == 16 ? 0.0
                  : kind == 17 ? 1e-310
                  : kind == 18 ? -1.3
                               : 1e300;
        return s;
    }

    void fill(Scene& scene, FrameSettings& settings, bool ties) {
        settings = FrameSettings{};
        settings.numpoints = chance(80) ? pick(5, 20) : pick(21, 50);
        settings.numzoom = pick(10, 30);
        settings.gens1 = chance(33);
        settings.gens2 = chance(50);
        settings.ch_2cut = chance(25);
        settings.ch_rect = chance(50);
        resetScene(scene);
        for (int k = 1; k <= kSourceCount; ++k)
            scene.source(k) = source(settings.numpoints, ties);
        scene.simTime = chance(80) ? pick(-100000, 100001) : pick(-5, 5);
    }

  private:
    std::mt19937_64 rng_;
};

// The same formula in plain double: what a careless fast path would compute.
std::int64_t naiveOffsetX(const WaveSource& s, double t, std::int32_t px, std::int32_t py,
                          AttenuationLaw law) {
    const double dx = px - double(s.x), dy = py - double(s.y), r = std::sqrt(dx * dx + dy * dy);
    const double pi = std::numbers::pi;
    const double theta =
        ((s.omega * t) * pi) / 180 - (r * ((s.omega * pi) / 180)) / s.speed + (s.phase * pi) / 180;
    const double sine = std::sin(theta);
    const double d = law == AttenuationLaw::inverseDistance       ? (sine * s.amp) / r
                     : law == AttenuationLaw::inverseSqrtDistance ? ((sine * s.amp) / 10) / std::sqrt(r)
                                                                  : (sine * s.amp) / 200;
    return std::isfinite(d) ? static_cast<std::int64_t>(std::nearbyint((dx / r) * d)) : 0;
}

// Compares every point of one frame; returns how many offsets a plain double computation gets wrong.
int expectFieldMatchesModel(const Scene& scene, const FrameSettings& settings, int sceneNo) {
    const std::int32_t n = gridHalf(settings);
    const AttenuationLaw law = attenuationLaw(settings);
    DisplacementField field;
    field.prepare(scene, law, settings.ch_2cut, n);
    int naiveMisses = 0;
    for (std::size_t p = 0; p < field.pointCount(); ++p) {
        const std::int32_t px = field.restX(p), py = field.restY(p);
        EXPECT_EQ(field.onSource(p), coincidesWithSource(scene, px, py));
        if (field.onSource(p)) continue;
        const ParticleDisplacement want = displaceParticle(scene, px, py, law, settings.ch_2cut);
        const ParticleDisplacement got = field.displace(p);
        EXPECT_EQ(got.componentX, want.componentX) << "scene " << sceneNo << " point " << px << "," << py;
        EXPECT_EQ(got.componentY, want.componentY) << "scene " << sceneNo << " point " << px << "," << py;
        EXPECT_EQ(got.bound, want.bound) << "scene " << sceneNo << " point " << px << "," << py;
        if (::testing::Test::HasFailure()) return naiveMisses;
        for (int k = 1; k <= activeSourceCount(settings.ch_2cut); ++k) {
            const WaveSource& s = scene.source(k);
            if (s.amp != 0 &&
                want.componentX[std::size_t(k)] != naiveOffsetX(s, scene.simTime, px, py, law)) {
                ++naiveMisses;
            }
        }
    }
    return naiveMisses;
}

TEST(FastPath, RandomScenesMatchTheModelPointByPoint) {
    SceneMaker maker(20240611);
    for (int i = 0; i < 120 && !HasFailure(); ++i) {
        Scene scene;
        FrameSettings settings;
        maker.fill(scene, settings, false);
        expectFieldMatchesModel(scene, settings, i);
    }
}

TEST(FastPath, TieScenesMatchTheModelWhereDoubleArithmeticDoesNot) {
    SceneMaker maker(7);
    int naiveMisses = 0;
    for (int i = 0; i < 120 && !HasFailure(); ++i) {
        Scene scene;
        FrameSettings settings;
        maker.fill(scene, settings, true);
        naiveMisses += expectFieldMatchesModel(scene, settings, i);
    }
    // The tie scenes really do contain results that only extended precision gets right.
    EXPECT_GT(naiveMisses, 0);
}

TEST(FastPath, KnownTiesComeOutOfTheRendererExactly) {
    const struct {
        WaveSource s;
        AttenuationLaw law;
        std::int32_t px;
        std::int64_t cx;
    } cases[] = {{{0, 0, -2925, 0, -150, 2.0}, AttenuationLaw::inverseDistance, -195, -8},
                 {{0, 0, 500, 0, 90, 2.0}, AttenuationLaw::noAttenuation, 45, 2},
                 {{0, 0, 700, 0, 90, 2.0}, AttenuationLaw::noAttenuation, 45, 4},
                 {{0, 0, -500, 0, 90, 2.0}, AttenuationLaw::noAttenuation, 45, -2}};
    for (const auto& c : cases) {
        Scene scene;
        resetScene(scene);
        scene.source(1) = c.s;
        DisplacementField field;
        field.prepare(scene, c.law, false, 20);
        const std::size_t p = static_cast<std::size_t>((c.px / 15 + 20) * 41 + 20);
        ASSERT_EQ(field.restX(p), c.px);
        EXPECT_EQ(field.displace(p).componentX[1], c.cx) << c.px;
    }
}

TEST(FastPath, RenderedFramesMatchThePlainRendererWhileTheSceneChanges) {
    SceneMaker maker(99);
    Scene scene;
    FrameSettings settings;
    maker.fill(scene, settings, false);
    FrameRenderer renderer;
    int rebuildsExpected = 0;
    for (int frame = 0; frame < 60 && !HasFailure(); ++frame) {
        const int change = maker.pick(0, 9);
        bool geometry = frame == 0;
        if (change == 0) {
            maker.fill(scene, settings, maker.chance(50));
            geometry = true;
        } else if (change == 1) {
            WaveSource& s = scene.source(maker.pick(1, 4));
            const std::int32_t before[] = {s.x, s.y, s.amp, s.omega};
            const WaveSource moved = maker.source(gridHalf(settings), false);
            s.x = moved.x, s.y = moved.y, s.amp = moved.amp, s.omega = moved.omega;
            geometry = before[0] != s.x || before[1] != s.y || before[2] != s.amp || before[3] != s.omega;
        } else if (change == 2) {
            scene.source(maker.pick(1, 4)).phase = maker.pick(-360, 360); // no rebuild needed
        } else if (change == 3) {
            setWaveSpeed(scene, maker.pick(5, 50));
            geometry = true; // may be unchanged; counted loosely below
        } else if (change == 4) {
            settings.gens1 = !settings.gens1;
            settings.gens2 = true;
            geometry = true;
        } else if (change == 5) {
            settings.ch_2cut = !settings.ch_2cut;
            geometry = true;
        }
        rebuildsExpected += geometry ? 1 : 0;
        scene.simTime += 1.0;
        RecordingSurface fast, plain;
        renderer.render(scene, settings, fast);
        renderFramePlain(scene, settings, plain);
        ASSERT_EQ(fast.trace(), plain.trace()) << "frame " << frame << " change " << change;
    }
    // Clock and phase changes reuse the geometry.
    EXPECT_LE(renderer.field().rebuildCount(), rebuildsExpected);
    EXPECT_LT(renderer.field().rebuildCount(), 60);
}

} // namespace
} // namespace rs
