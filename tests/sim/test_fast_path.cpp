// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The renderer's cached double-precision path must give exactly what the long-double model gives:
// same offsets, bounds and drawable decisions, on random scenes, on scenes full of exact ties and on
// scenes whose phases are far too large for a double.

#include "draw/recording_surface.h"
#include "sim/batch_sincos.h"
#include "sim/displacement_field.h"
#include "sim/exact_lags.h"
#include "sim/frame_renderer.h"
#include "sim/offset_lanes.h"
#include "sim/pair_terms.h"
#include "sim/phase_turns.h"
#include "trace_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace rs {
namespace {

class SceneMaker {
  public:
    explicit SceneMaker(std::uint64_t seed) : rng_(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    // wild: anything goes, extremes included. tame: values the window's prompts would typically see.
    // ties: omega 0, sines of exactly +-1 or +-0.5, amplitudes in steps of 25 and sources on grid lines,
    // so that many offsets are exact halves. storm: phases of 2^40 and more, from angular frequencies
    // at the 32-bit extremes or sources at the far corners; large amplitudes resolve the sine finely.
    enum Kind { wild, tame, ties, storm };

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
        if (kind == storm) {
            const bool far = chance(40);
            auto at = [&] {
                return far ? (chance(50) ? kMax - pick(0, 400) : kMin + pick(0, 400)) : pick(-40, 40);
            };
            WaveSource s{at(), at(), 0, 0, 0, pick(5, 50) / 10.0};
            s.amp = chance(20)   ? 0
                    : chance(50) ? pick(-1500, 1500)
                    : chance(50) ? pick(-2000000000, 2000000000)
                                 : kMin;
            s.omega = far && chance(50) ? pick(-100, 100)
                      : chance(50)      ? (chance(50) ? kMax : kMin)
                                        : pick(-kMax, kMax);
            s.phase = chance(80) ? pick(-360, 360) : chance(50) ? kMax : kMin;
            return s;
        }
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

struct FieldCheck {
    int naiveMisses = 0;           // offsets that plain double arithmetic gets wrong
    std::int64_t offsets = 0;      // source offsets compared
    std::int64_t modelCalls = 0;   // of those, how many needed the model
    std::int64_t exactColumns = 0; // columns of exact lags the compared frame made
};

// Compares every point of one frame, a column at a time as the renderer asks, and the bound decision at
// the frame's limit and at the exact bound (a tie) and its neighbours. With before, the field first draws
// that scene whole and is then brought up to date, as after a change in the window.
FieldCheck expectFieldMatchesModel(const Scene& scene, const FrameSettings& settings,
                                   const Scene* before = nullptr) {
    const AttenuationLaw law = attenuationLaw(settings);
    DisplacementField field;
    std::vector<std::uint8_t> wanted, finite;
    std::vector<ParticleDisplacement> column;
    std::int64_t offsetCalls = 0; // the model's calls for offsets, not for bounds
    const auto offsetsOfEveryColumn = [&](const auto& check) {
        const std::size_t side = field.side();
        wanted.resize(side);
        finite.resize(side);
        column.resize(side);
        for (std::size_t c = 0; c < side; ++c) {
            for (std::size_t j = 0; j < side; ++j)
                wanted[j] = !field.onSource(c * side + j);
            const std::int64_t calls = field.modelCalls();
            field.offsetsOfColumn(c, wanted.data(), column.data(), finite.data());
            offsetCalls += field.modelCalls() - calls;
            for (std::size_t j = 0; j < side && !::testing::Test::HasFailure(); ++j)
                check(c, j);
        }
    };
    if (before != nullptr) {
        field.prepare(*before, law, settings.ch_2cut, gridHalf(settings));
        offsetsOfEveryColumn([](std::size_t, std::size_t) {});
    }
    field.prepare(scene, law, settings.ch_2cut, gridHalf(settings));
    FieldCheck check;
    offsetCalls = 0;
    const std::int64_t exactColumnsBefore = field.exactColumns();
    offsetsOfEveryColumn([&](std::size_t c, std::size_t j) {
        const std::size_t p = c * field.side() + j;
        const std::int32_t px = field.rest(c), py = field.rest(j);
        EXPECT_EQ(field.onSource(p), coincidesWithSource(scene, px, py));
        if (field.onSource(p)) return;
        const ParticleDisplacement want = displaceParticle(scene, px, py, law, settings.ch_2cut);
        const ParticleDisplacement& got = column[j];
        const double bound = displacementBound(scene, px, py, law, settings.ch_2cut);
        for (const double limit : {drawLimit(settings.numzoom, gridHalf(settings)), bound,
                                   std::nextafter(bound, 0.0), std::nextafter(bound, 1e300)})
            EXPECT_EQ(field.boundBelow(p, limit), limit > bound) << px << "," << py << " limit " << limit;
        EXPECT_EQ(got.componentX, want.componentX) << px << "," << py << " t " << scene.simTime;
        EXPECT_EQ(got.componentY, want.componentY) << px << "," << py << " t " << scene.simTime;
        EXPECT_EQ(finite[j] ? field.bound(p) : INFINITY, want.bound) << px << "," << py;
        for (int k = 1; k <= activeSourceCount(settings.ch_2cut); ++k) {
            const WaveSource& s = scene.source(k);
            check.offsets += s.amp != 0;
            check.naiveMisses +=
                s.amp != 0 && want.componentX[std::size_t(k)] != naiveOffsetX(s, scene.simTime, px, py, law);
        }
    });
    check.modelCalls = offsetCalls;
    check.exactColumns = field.exactColumns() - exactColumnsBefore;
    return check;
}

TEST(FastPath, RandomAndTieScenesMatchTheModelPointByPoint) {
    for (SceneMaker::Kind kind : {SceneMaker::wild, SceneMaker::ties, SceneMaker::storm}) {
        SceneMaker maker(kind == SceneMaker::ties ? 7 : kind == SceneMaker::storm ? 4321 : 20240611);
        FieldCheck all;
        for (int i = 0; i < (kind == SceneMaker::storm ? 60 : 120) && !HasFailure(); ++i) {
            Scene scene;
            FrameSettings settings;
            maker.fill(scene, settings, kind);
            // Every other scene follows a change of one source's values from an earlier one.
            Scene before = scene;
            if (i % 2 != 0) before.source(maker.pick(1, 4)) = maker.source(settings.numpoints, kind);
            const FieldCheck check = expectFieldMatchesModel(scene, settings, i % 2 != 0 ? &before : nullptr);
            all.naiveMisses += check.naiveMisses;
            all.offsets += check.offsets;
            all.modelCalls += check.modelCalls;
        }
        // The tie scenes really do hold results that only the extended-precision rules get right.
        if (kind == SceneMaker::ties) {
            EXPECT_GT(all.naiveMisses, 0);
        }
        // Huge phases stay on the fast path: the model is needed only near true rounding ties.
        if (kind == SceneMaker::storm) {
            EXPECT_GT(all.offsets, 100000);
            EXPECT_LT(all.modelCalls, all.offsets / 1000);
        }
    }
}

TEST(FastPath, FarSourcesOfEverydayFrequenciesChangeWithoutExactLags) {
    // Sources at the far corners under 1/r: lags of 10^9 radians, whose double error still fits a narrow
    // margin beside the exact clock, until the angular frequency makes them far larger. A source moves by
    // a pixel between the two frames, as a typed value does.
    struct Case {
        std::int32_t omega;
        double simTime;
        bool exactLags;
    };
    const Case cases[] = {{45, -4321.0, false}, {-90, 100000.0, false}, {SceneMaker::kMax, 7.0, true}};
    for (const Case& c : cases) {
        Scene scene;
        resetScene(scene);
        const FrameSettings settings{.gens1 = true, .numpoints = 12};
        for (int k = 1; k <= kSourceCount; ++k) {
            const std::int32_t far = k % 2 != 0 ? SceneMaker::kMax : SceneMaker::kMin;
            scene.source(k) = {far, k <= 2 ? far : -far - 1, far, c.omega / k, 30 * k, 2.0};
        }
        scene.simTime = c.simTime;
        Scene before = scene;
        before.source(1).x ^= 1;
        const FieldCheck check = expectFieldMatchesModel(scene, settings, &before);
        EXPECT_EQ(check.exactColumns > 0, c.exactLags) << c.omega;
        // Offsets of half a pixel at most: the margin's ties come where the sine is near 1, in rows.
        EXPECT_LT(check.modelCalls * 100, check.offsets) << c.omega;
    }
}

// The exact path's sine against the extended-precision sine of the very phase the model forms, for
// terms of every size up to the 32-bit extremes and beyond.
TEST(FastPath, ExactPhaseSineFollowsTheModelPhase) {
    std::mt19937_64 rng(99);
    const auto term = [&](int maxExponent) {
        const long double m = std::uniform_real_distribution<long double>(-1.0L, 1.0L)(rng);
        return std::ldexp(m, std::uniform_int_distribution<int>(-8, maxExponent)(rng));
    };
    const auto reduce = [](long double x) {
        ReducedAngle a;
        EXPECT_TRUE(turnsOf(x, a.turns)) << static_cast<double>(x);
        a.sine = std::sin(angleOf(a.turns));
        a.cosine = std::cos(angleOf(a.turns));
        return a;
    };
    double worst = 0.0;
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        const long double clock = term(47), lag = term(i % 4 == 0 ? 62 : 40), phase = term(26);
        Turns clockTurns = 0, phaseTurns = 0;
        ASSERT_TRUE(turnsOf(clock, clockTurns) && turnsOf(phase, phaseTurns));
        ReducedAngle clockAndPhase = reduce(0.0L);
        clockAndPhase.turns = clockTurns + phaseTurns;
        clockAndPhase.sine = std::sin(angleOf(clockAndPhase.turns));
        clockAndPhase.cosine = std::cos(angleOf(clockAndPhase.turns));
        double sine = 0.0;
        ASSERT_TRUE(sineOfModelPhase(clock, phase, clockAndPhase, lag, reduce(lag), sine));
        const double model = static_cast<double>(std::sin((clock - lag) + phase));
        const double error = std::fabs(sine - model);
        worst = std::max(worst, error);
        ASSERT_LE(error, 0x1p-49) << static_cast<double>(clock) << " " << static_cast<double>(lag);
        // Without the recovered roundings the sine is off by at most their size.
        const double roundings =
            static_cast<double>(std::fabs(clock) + std::fabs(lag) + std::fabs(phase)) * 0x1p-63;
        ASSERT_LE(std::fabs(sineOfDifference(clockAndPhase, reduce(lag)) - model), 0x1p-49 + roundings)
            << static_cast<double>(clock) << " " << static_cast<double>(lag);
    }
    EXPECT_GT(worst, 0.0); // the comparison is not vacuous
    // Beyond the reach of the extended-precision additions, or of the reduction, it declines.
    double sine = 0.0;
    EXPECT_FALSE(sineOfModelPhase(0.0L, 200.0L, reduce(200.0L), 0x1p80L, reduce(0x1p80L), sine));
    EXPECT_FALSE(sineOfModelPhase(0.0L, 0.0L, reduce(0.0L), 0x1p130L, ReducedAngle{}, sine));
}

// Where the model's two roundings are declared the same for a range of lags, they are, at every lag of
// it; and the far sources' ranges are mostly declared so.
TEST(FastPath, UniformRoundingsAreTheModelsAtEveryLag) {
    std::mt19937_64 rng(17);
    const auto uniform = [&](long double lo, long double hi) {
        return std::uniform_real_distribution<long double>(lo, hi)(rng);
    };
    int uniformRanges = 0;
    const auto check = [&](long double clock, long double phase, long double lo, long double hi) {
        double eps = 0.0;
        if (!uniformRoundings(clock, phase, lo, hi, eps)) return;
        ++uniformRanges;
        for (int k = 0; k < 20; ++k) {
            const long double lag = k == 0 ? lo : k == 1 ? hi : uniform(lo, hi);
            const long double behind = clock - lag, theta = behind + phase;
            const double model = static_cast<double>(detail::roundingError(clock, -lag, behind) +
                                                     detail::roundingError(behind, phase, theta));
            ASSERT_EQ(eps, model) << static_cast<double>(clock) << " " << static_cast<double>(lag) << " "
                                  << static_cast<double>(phase);
        }
    };
    // clock - lag of either sign within one binade of magnitudes: near lag = clock the sum with phase
    // is exact, at the ends it rounds.
    check(0x3p40L, 0x3p-36L, 0x3p40L - 0x3p28L, 0x3p40L + 0x3p28L);
    for (int i = 0; i < 4000 && !HasFailure(); ++i) {
        const long double clock = std::ldexp(uniform(-1, 1), std::uniform_int_distribution<int>(-4, 47)(rng));
        const long double phase = std::ldexp(uniform(-1, 1), std::uniform_int_distribution<int>(-4, 34)(rng));
        const long double lo = std::ldexp(uniform(-1, 1), std::uniform_int_distribution<int>(30, 63)(rng));
        const long double hi =
            lo + lo * std::ldexp(uniform(0, 1), -std::uniform_int_distribution<int>(3, 40)(rng));
        check(clock, phase, std::min(lo, hi), std::max(lo, hi));
    }
    EXPECT_GT(uniformRanges, 1000);
}

TEST(FastPath, TurnsOfAnyAngle) {
    struct Case {
        long double x;
        bool reducible;
    };
    const Case cases[] = {
        {0.0L, true},      {-0.0L, true},      {1e-4940L, true},  {1e-30L, true},
        {3.0L, true},      {-2.5e12L, true},   {0x1p63L, true},   {0x1.fffffffffffffffep127L, true},
        {0x1p128L, false}, {-0x1p200L, false}, {INFINITY, false}, {NAN, false}};
    for (const Case& c : cases) {
        Turns t = 1;
        ASSERT_EQ(turnsOf(c.x, t), c.reducible) << static_cast<double>(c.x);
        if (!c.reducible) continue;
        EXPECT_NEAR(std::sin(angleOf(t)), static_cast<double>(std::sin(c.x)), 0x1p-50)
            << static_cast<double>(c.x);
        Turns negated = 0;
        ASSERT_TRUE(turnsOf(-c.x, negated));
        EXPECT_LE(negated + t + 2, 4u) << "-x is -turns, within two units"; // wraps to 0, allowing +-2
    }
    std::mt19937_64 rng(5);
    for (int i = 0; i < 5000; ++i) {
        const long double x =
            std::ldexp(std::uniform_real_distribution<long double>(0.5L, 1.0L)(rng), i % 128);
        Turns t = 0;
        ASSERT_TRUE(turnsOf(x, t));
        ASSERT_NEAR(std::sin(angleOf(t)), static_cast<double>(std::sin(x)), 0x1p-50)
            << static_cast<double>(x);
        ASSERT_NEAR(std::cos(angleOf(t)), static_cast<double>(std::cos(x)), 0x1p-50)
            << static_cast<double>(x);
    }
}

// The integers' lags are the model's to the last bit, ties to even included, divided or scaled, in columns
// of every kind of point (on a source, near, at the far corners), in lanes or one at a time: the same lags,
// turns and angles.
TEST(FastPath, IntegerLagsAreTheModelsLags) {
    const double speeds[] = {2.0,   0.5, 1.0, -4.0, 0x1p-1000, 0x1p1000, 2.1, -0.3, 3.0, 0x1.fffffffffffffp0,
                             1e-300};
    std::vector<long double> distance;
    for (std::int64_t dx = 0; dx <= 12; ++dx) {
        for (const std::int64_t dy : {0, 1, 5, 12, -7})
            distance.push_back(distanceOf(dx, dy));
        distance.push_back(distanceOf(dx + 4294967296 - 600, 4294967295)); // the far corners
    }
    std::vector<std::uint8_t> onSource(distance.size());
    for (std::size_t j = 0; j < distance.size(); ++j)
        onSource[j] = distance[j] == 0;
    int ties = 0, lags = 0;
    for (const double speed : speeds) {
        for (std::int32_t omega = -60; omega <= 400; omega += 7) {
            for (const std::int32_t o :
                 {omega, omega == -60 ? SceneMaker::kMax : omega, omega == -60 ? SceneMaker::kMin : omega}) {
                const WaveSource src{0, 0, 1, o, 0, speed};
                const ExactLags exact(src);
                ASSERT_EQ(exact.usable(), o != 0);
                if (o == 0) continue;
                const std::size_t n = distance.size();
                const LagLanes kinds[] = {LagLanes::one, LagLanes::four, LagLanes::widest};
                std::vector<long double> product[3], lag[3];
                std::vector<Turns> turns[3];
                std::vector<double> angle[3];
                for (int k = 0; k < 3; ++k) {
                    product[k].resize(n);
                    lag[k].resize(n);
                    turns[k].resize(n);
                    angle[k].resize(n);
                    exact.products(distance.data(), onSource.data(), n, product[k].data(), kinds[k]);
                    exact.column(product[k].data(), onSource.data(), n, lag[k].data(), turns[k].data(),
                                 angle[k].data(), kinds[k]);
                }
                const long double perFrame = radiansPerFrame(src);
                for (std::size_t j = 0; j < n; ++j) {
                    ASSERT_EQ(std::isnan(angle[0][j]), onSource[j] != 0 || std::fabs(speed) < 1e-200) << j;
                    if (onSource[j]) continue;
                    const long double r = distance[j], want = SourceLags(src)(r);
                    const long double wantProduct = r * radiansPerFrame(src);
                    for (int k = 0; k < 3; ++k) {
                        ASSERT_EQ(std::memcmp(&product[k][j], &wantProduct, 10), 0) << o << " " << r;
                        ASSERT_EQ(std::memcmp(&lag[k][j], &want, 10), 0) << o << " " << speed << " " << r;
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(angle[k][j]),
                                  std::bit_cast<std::uint64_t>(angle[0][j]));
                        if (!std::isnan(angle[0][j])) {
                            ASSERT_EQ(turns[k][j], turns[0][j]);
                        }
                    }
                    if (std::isnan(angle[0][j])) continue;
                    Turns t = 0;
                    ASSERT_TRUE(turnsOf(want, t));
                    ASSERT_LE(t - turns[0][j] + 2, 4u) << "within two units of the general reduction";
                    const long double product = r * perFrame; // a tie: the rest is half a unit
                    ties += std::fabs(std::fmal(r, perFrame, -product)) ==
                            std::ldexp(0.5L, std::ilogb(product) - 63);
                    ++lags;
                }
            }
        }
    }
    EXPECT_GT(ties, 10) << "of " << lags;
    // Lags the model's division made are reduced alike in lanes, negative ones and those of a speed of 0
    // (not finite: left to the model) among them.
    for (const double speed : {2.1, -0.3, 0.0}) {
        const WaveSource src{0, 0, 1, SceneMaker::kMax, 0, speed};
        const std::size_t n = distance.size();
        std::vector<long double> lag(n);
        for (std::size_t j = 0; j < n; ++j)
            lag[j] = SourceLags(src)(distance[j]);
        std::vector<Turns> turns[3];
        std::vector<double> angle[3];
        const LagLanes kinds[] = {LagLanes::one, LagLanes::four, LagLanes::widest};
        for (int k = 0; k < 3; ++k) {
            turns[k].resize(n);
            angle[k].resize(n);
            turnsOfColumn(lag.data(), onSource.data(), n, turns[k].data(), angle[k].data(), kinds[k]);
        }
        for (std::size_t j = 0; j < n; ++j) {
            Turns t = 0;
            const bool reduced = !onSource[j] && turnsOf(lag[j], t);
            ASSERT_EQ(reduced, speed != 0.0 && !onSource[j]) << j;
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(std::isnan(angle[k][j]), !reduced) << speed << " " << j;
                if (!reduced) continue;
                ASSERT_EQ(turns[k][j], t) << speed << " " << j;
                ASSERT_EQ(std::bit_cast<std::uint64_t>(angle[k][j]),
                          std::bit_cast<std::uint64_t>(angleOf(t)));
            }
        }
    }
    // Quotients a hair from half a unit ((2^63 + 2^52) by 2 - 2^-52, and its neighbours) or at 2^64:
    // the lanes that cannot tell hand them to the one-point way, with the same lags.
    for (const double speed : {0x1.fffffffffffffp0, 0x1.0000000000001p0}) {
        const WaveSource src{0, 0, 1, 180, 0, speed};
        std::vector<long double> product(24), lag(24);
        for (std::size_t j = 0; j < product.size(); ++j)
            product[j] = std::ldexp(static_cast<long double>((std::uint64_t{1} << 63) +
                                                             (std::uint64_t{1} << 52) + (j % 3) -
                                                             (j % 5 == 4 ? (std::uint64_t{1} << 52) + 1 : 0)),
                                    -50);
        std::vector<Turns> turns(product.size());
        std::vector<double> angle(product.size());
        const std::vector<std::uint8_t> none(product.size());
        ExactLags(src).column(product.data(), none.data(), product.size(), lag.data(), turns.data(),
                              angle.data());
        for (std::size_t j = 0; j < product.size(); ++j) {
            const long double want = product[j] / speed;
            ASSERT_EQ(std::memcmp(&lag[j], &want, 10), 0) << speed << " " << j;
        }
    }
    EXPECT_FALSE(ExactLags({0, 0, 1, 45, 0, 0.0}).usable());
    EXPECT_FALSE(ExactLags({0, 0, 1, 45, 0, 1e-310}).usable()); // subnormal
}

TEST(FastPath, BatchedSinesMatchTheScalarOnes) {
    // Angles of every size up to the 2^57 of a lag of the far corners, each within a few 2^-51 of the
    // sine of the double it is.
    std::mt19937_64 rng(8);
    for (const std::size_t count : {0u, 1u, 3u, 4u, 5u, 17u, 1001u}) {
        std::vector<double> angles(count), sines(count, 7.0), cosines(count, 7.0);
        for (std::size_t i = 0; i < count; ++i) {
            const double a = std::ldexp(std::uniform_real_distribution<double>(0.5, 1.0)(rng), int(i % 58));
            angles[i] = i % 2 != 0 ? -a : a;
        }
        if (count > 3) angles[2] = NAN;
        if (count > 5) angles[5] = -INFINITY;
        // Either side of each quarter turn up to a whole one, where the vector way changes quarter.
        for (std::size_t i = 6, q = 0; i + 1 < count && q <= 8; i += 2, ++q) {
            angles[i] = std::nextafter(q * (std::numbers::pi / 4), 0.0) * (q % 2 != 0 ? -1 : 1);
            angles[i + 1] = std::nextafter(q * (std::numbers::pi / 4), 8.0) * (q % 2 != 0 ? -1 : 1);
        }
        sinCosBatch(angles.data(), sines.data(), cosines.data(), count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!std::isfinite(angles[i])) {
                EXPECT_TRUE(std::isnan(sines[i]) && std::isnan(cosines[i]));
                continue;
            }
            EXPECT_NEAR(sines[i], std::sin(angles[i]), 0x1p-49) << angles[i];
            EXPECT_NEAR(cosines[i], std::cos(angles[i]), 0x1p-49) << angles[i];
        }
    }
}

// Every lane width rounds each term exactly as the one-point formula does (no fused multiply-add, no
// reordering), for distances from one pixel to the 32-bit corners and for runs with and without tails.
TEST(FastPath, PairTermsOfEveryLaneWidthRoundAsOnePoint) {
    std::mt19937_64 rng(12);
    const double dys[] = {1, -2, 300, -299, 4294967295.0, -2147483948.0, 7, 0x1p31, -1};
    for (const double dx : {0.0, 5.0, -300.0, 2147483947.0, -4294967295.0}) {
        for (const AttenuationLaw law : {AttenuationLaw::inverseDistance, AttenuationLaw::inverseSqrtDistance,
                                         AttenuationLaw::noAttenuation}) {
            const double amp = std::uniform_int_distribution<int>(-2147483647 - 1, 2147483647)(rng);
            const double ampTerm = law == AttenuationLaw::inverseDistance       ? amp
                                   : law == AttenuationLaw::inverseSqrtDistance ? amp / 10.0
                                                                                : amp / 200.0;
            const PairSource src{law, ampTerm, 1e7 / 3.7};
            for (const PairLanes lanes : {PairLanes::one, PairLanes::two, PairLanes::widest}) {
                double ax[9], ay[9], envelope[9], lag[9];
                pairTermsOfColumn(src, dx, dys, 9, ax, ay, envelope, lag, lanes);
                for (std::size_t j = 0; j < 9; ++j) {
                    const double r = std::sqrt(dx * dx + dys[j] * dys[j]);
                    const double e = law == AttenuationLaw::inverseDistance       ? ampTerm / r
                                     : law == AttenuationLaw::inverseSqrtDistance ? ampTerm / std::sqrt(r)
                                                                                  : ampTerm;
                    const double inverse = 1.0 / r;
                    const double want[] = {(dx * inverse) * e, (dys[j] * inverse) * e, e,
                                           r * src.lagPerPixel};
                    const double got[] = {ax[j], ay[j], envelope[j], lag[j]};
                    for (int k = 0; k < 4; ++k)
                        EXPECT_EQ(std::bit_cast<std::uint64_t>(got[k]), std::bit_cast<std::uint64_t>(want[k]))
                            << "term " << k << " dx " << dx << " dy " << dys[j] << " lanes " << int(lanes);
                }
            }
        }
    }
}

// Every lane width rounds and settles each offset as the one-point formula does, for runs with and
// without tails, exact halves, values near them, negative values and NaNs.
TEST(FastPath, OffsetsOfEveryLaneWidthRoundAsOnePoint) {
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    constexpr std::size_t count = 23;
    double ax[count], ay[count], sinLag[count], cosLag[count];
    for (std::size_t i = 0; i < count; ++i) {
        ax[i] = std::ldexp(unit(rng), std::uniform_int_distribution<int>(-3, 31)(rng));
        ay[i] = i % 5 == 0 ? std::round(ax[i]) + 0.5 : ax[i] * unit(rng);
        sinLag[i] = 0.0;
        cosLag[i] = 1.0;
    }
    ay[7] = NAN;
    ax[11] = 2.5; // exact ties, to even
    ay[11] = -3.5;
    const FrameSource src{1.0, 0.0, 1e-6};
    for (const PairLanes lanes : {PairLanes::one, PairLanes::two, PairLanes::widest}) {
        std::int64_t x[count], y[count];
        std::uint8_t settled[count];
        offsetsOfRun(src, ax, ay, sinLag, cosLag, count, x, y, settled, lanes);
        for (std::size_t i = 0; i < count; ++i) {
            const bool near = !(0.5 - std::fabs(ax[i] - std::nearbyint(ax[i])) > src.margin &&
                                0.5 - std::fabs(ay[i] - std::nearbyint(ay[i])) > src.margin);
            EXPECT_EQ(settled[i], near ? 0 : 1) << i << " lanes " << int(lanes);
            if (near) continue;
            EXPECT_EQ(x[i], std::llrint(ax[i])) << i << " lanes " << int(lanes);
            EXPECT_EQ(y[i], std::llrint(ay[i])) << i << " lanes " << int(lanes);
        }
    }
}

TEST(FastPath, FramesMatchThePlainRendererWhileTheSceneChanges) {
    SceneMaker maker(99);
    Scene scene;
    FrameSettings settings;
    maker.fill(scene, settings, SceneMaker::tame);
    FrameRenderer renderer;
    for (int frame = 0; frame < 160 && !HasFailure(); ++frame) {
        switch (maker.pick(0, 10)) {
        case 0:
            maker.fill(scene, settings, maker.chance(50) ? SceneMaker::tame : SceneMaker::ties);
            break;
        case 1: { // one source anew: only its terms are made again, on either path, or on a grid point
            const SceneMaker::Kind kinds[] = {SceneMaker::tame, SceneMaker::storm, SceneMaker::wild};
            WaveSource& s = scene.source(maker.pick(1, 4));
            s = maker.source(gridHalf(settings), kinds[maker.pick(0, 2)]);
            if (maker.chance(25))
                s.x = gridCoordinate(maker.pick(-gridHalf(settings), gridHalf(settings)), gridHalf(settings));
            break;
        }
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
        case 8: // a source falls silent or sounds again
            scene.source(maker.pick(1, 4)).amp = maker.chance(50) ? 0 : maker.pick(-1500, 1500);
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
    EXPECT_LT(renderer.field().rebuildCount(), 130);
}

} // namespace
} // namespace rs
