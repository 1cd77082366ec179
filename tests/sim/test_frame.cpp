// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/recording_surface.h"
#include "sim/frame_renderer.h"
#include "trace_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace rs {
namespace {

std::vector<std::string> render(const Scene& scene, const FrameSettings& settings) {
    RecordingSurface surface;
    renderFrame(scene, settings, surface);
    std::vector<std::string> lines;
    std::istringstream in(surface.trace());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Grid, RestPositionsRoundHalvesToEven) {
    const struct {
        std::int32_t n;
        std::vector<std::int32_t> fromCentre;
    } cases[] = {{7, {0, 43, 86, 129, 171, 214, 257, 300}},
                 {8, {0, 38, 75, 112, 150, 188, 225, 262, 300}},
                 {20, {0,   15,  30,  45,  60,  75,  90,  105, 120, 135, 150,
                       165, 180, 195, 210, 225, 240, 255, 270, 285, 300}}};
    for (const auto& c : cases) {
        for (std::int32_t i = 0; i <= c.n; ++i) {
            EXPECT_EQ(gridCoordinate(i, c.n), c.fromCentre[std::size_t(i)]) << c.n << " " << i;
            EXPECT_EQ(gridCoordinate(-i, c.n), -c.fromCentre[std::size_t(i)]) << c.n << " " << -i;
        }
    }
}

TEST(Grid, DrawLimitAndLawComeFromTheControls) {
    EXPECT_EQ(drawLimit(15, 20), 22.5);
    EXPECT_EQ(drawLimit(15, 50), 9.0);
    EXPECT_EQ(drawLimit(10, 7), 300.0 / 7);
    const struct {
        bool gens1, gens2;
        AttenuationLaw law;
    } laws[] = {{true, true, AttenuationLaw::inverseDistance},
                {false, true, AttenuationLaw::inverseSqrtDistance},
                {false, false, AttenuationLaw::noAttenuation}};
    for (const auto& c : laws)
        EXPECT_EQ(attenuationLaw({.gens1 = c.gens1, .gens2 = c.gens2}), c.law);
}

TEST(Frame, RingsUseTruncatedRadiiAndSkipSilentSources) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {150, "ellipse 309 279 311 281"},
        {99, "ellipse 310 280 310 280"},
        {-250, "ellipse 312 282 308 278"},
        {-2147483647 - 1, "ellipse 21475146 21475116 -21474526 -21474556"},
        {0, "moveto 0 0"}};
    for (auto [amp, ring] : cases) {
        Scene scene;
        resetScene(scene);
        scene.source(1) = {10, -20, amp, 0, 0, 2.0};
        const auto lines = render(scene, {.numpoints = 5});
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[3], ring) << amp;
    }
}

TEST(Frame, WithoutDrawingBoxesOnlyBackgroundAndRingsRemain) {
    Scene scene;
    resetScene(scene);
    scene.source(2) = {45, 45, 5000, 10, 0, 2.0}; // strong enough for undrawable points too
    const FrameSettings settings{
        .ch_seibun = false, .ch_bashi = false, .ch_baishitsu = false, .ch_suihei = false};
    EXPECT_EQ(render(scene, settings),
              (std::vector<std::string>{"brush 0x00FFFFFF", "fillrect 0 0 601 601", "pen 0x00FF00FF",
                                        "ellipse 295 295 395 395"}));
}

// One source on the x axis under no attenuation: on the axis the bound is exactly |amp| / 200, so 4500
// puts it on the limit 22.5 of N = 20, numzoom 15.
TEST(Frame, APointWhoseBoundEqualsTheLimitIsUndrawable) {
    const std::pair<std::int32_t, bool> cases[] = {
        {4500, false}, {-4500, false}, {4499, true}, {4501, false}};
    for (auto [amp, drawable] : cases) {
        Scene scene;
        resetScene(scene);
        scene.source(1) = {-300, 0, amp, 0, 90, 2.0};
        ASSERT_EQ(displaceParticle(scene, 15, 0, AttenuationLaw::noAttenuation, false).bound,
                  std::abs(amp) / 200.0);
        const auto lines = render(scene, {.gens2 = false});
        // (15, 0) is pixel (315, 300): its grey x starts two pixels up and left.
        const auto x = std::find(lines.begin(), lines.end(), "moveto 313 298");
        ASSERT_EQ(x == lines.end(), drawable) << amp;
        if (!drawable) {
            EXPECT_EQ(std::vector<std::string>(x - 1, x + 4),
                      (std::vector<std::string>{"pen 0x007F7F7F", "moveto 313 298", "lineto 317 302",
                                                "moveto 313 302", "lineto 317 298"}));
        }
    }
}

TEST(Frame, ExtremeScenesRenderWithoutOverflow) {
    const std::int32_t kMin = -2147483647 - 1, kMax = 2147483647;
    Scene scene;
    resetScene(scene);
    scene.source(1) = {kMax, kMax, kMin, kMax, kMin, 2.0};
    scene.source(2) = {kMin, kMin, kMin, kMin, kMax, 0.5};
    scene.source(3) = {kMax, kMin, kMin, 1, 90, 5.0};
    scene.source(4) = {1, 0, kMin, 0, 90, 2.0};
    for (std::int32_t n : {5, 20, 50}) {
        for (double t : {-100000.0, 0.0, 100001.0, 1e300}) {
            for (bool gens1 : {true, false}) {
                scene.simTime = t;
                const FrameSettings settings{.gens1 = gens1, .numpoints = n, .numzoom = kMax};
                RecordingSurface fast, plain;
                renderFrame(scene, settings, fast);
                renderFramePlain(scene, settings, plain);
                ASSERT_EQ(testing::firstDifference(fast.trace(), plain.trace()), "") << n << " " << t;
                // The point left of source 4 is pushed 2^31 pixels under 1/r; the surface gets it unclipped.
                // Its bound of 2^31 exceeds the limit of 2^31 * 30 / 50 at N = 50.
                EXPECT_EQ(fast.trace().find("lineto 2147483948 300") != std::string::npos, gens1 && n < 50);
            }
        }
    }
}

} // namespace
} // namespace rs
