#include "sim/frame_renderer.h"
#include "trace_util.h"
#include "ui/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rs {
namespace {

using testing::countPrefix;
using testing::traceLines;

TEST(Grid, RestPositionsRoundHalvesToEven) {
    const struct {
        std::int32_t n;
        std::vector<std::int32_t> fromCentre;
    } cases[] = {{7, {0, 43, 86, 129, 171, 214, 257, 300}}, {8, {0, 38, 75, 112, 150, 188, 225, 262, 300}}};
    for (const auto& c : cases) {
        for (std::int32_t i = 0; i <= c.n; ++i) {
            EXPECT_EQ(gridCoordinate(i, c.n), c.fromCentre[static_cast<std::size_t>(i)]) << c.n << " " << i;
            EXPECT_EQ(gridCoordinate(-i, c.n), -c.fromCentre[static_cast<std::size_t>(i)])
                << c.n << " " << -i;
        }
    }
    for (std::int32_t i = -20; i <= 20; ++i)
        EXPECT_EQ(gridCoordinate(i, 20), 15 * i);
}

TEST(Grid, DrawLimitIsTenthsOfAGridSpacing) {
    const struct {
        std::int32_t numzoom, n;
        double limit;
    } cases[] = {{15, 20, 22.5}, {10, 20, 15.0},     {30, 20, 45.0},
                 {15, 50, 9.0},  {10, 7, 300.0 / 7}, {30, 5, 180.0}};
    for (const auto& c : cases)
        EXPECT_EQ(drawLimit(c.numzoom, c.n), c.limit) << c.numzoom << " " << c.n;
}

TEST(Settings, RadioButtonsChooseTheLaw) {
    const struct {
        bool gens1, gens2;
        AttenuationLaw law;
    } cases[] = {{true, false, AttenuationLaw::inverseDistance},
                 {true, true, AttenuationLaw::inverseDistance},
                 {false, true, AttenuationLaw::inverseSqrtDistance},
                 {false, false, AttenuationLaw::noAttenuation}};
    for (const auto& c : cases) {
        FrameSettings s;
        s.gens1 = c.gens1;
        s.gens2 = c.gens2;
        EXPECT_EQ(attenuationLaw(s), c.law);
    }
    EXPECT_EQ(attenuationLaw(FrameSettings{}), AttenuationLaw::inverseSqrtDistance);
}

TEST(Settings, GridSizeStaysInTheTrackBarRange) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {20, 20}, {5, 5}, {50, 50}, {4, 5}, {0, 5}, {-2147483647 - 1, 5}, {51, 50}, {2147483647, 50}};
    for (auto [in, out] : cases) {
        FrameSettings s;
        s.numpoints = in;
        EXPECT_EQ(gridHalf(s), out) << in;
    }
}

TEST(Settings, SourceColoursMatchTheCaptions) {
    EXPECT_EQ(sourceColour(1), 0x0000FF00u);
    EXPECT_EQ(sourceColour(2), 0x00FF00FFu);
    EXPECT_EQ(sourceColour(3), 0x0000FFFFu);
    EXPECT_EQ(sourceColour(4), 0x00FFFF00u);
}

std::vector<std::string> render(const Scene& scene, const FrameSettings& settings) {
    RecordingSurface surface;
    renderFrame(scene, settings, surface);
    return traceLines(surface.trace());
}

TEST(Frame, RingsUseTruncatedRadiiAndSkipSilentSources) {
    const struct {
        std::int32_t amp;
        const char* ellipse; // nullptr: no ring
    } cases[] = {{150, "ellipse 309 279 311 281"},
                 {99, "ellipse 310 280 310 280"},
                 {-250, "ellipse 312 282 308 278"},
                 {1000, "ellipse 300 270 320 290"},
                 {-2147483647 - 1, "ellipse 21475146 21475116 -21474526 -21474556"},
                 {0, nullptr}};
    for (const auto& c : cases) {
        Scene scene;
        resetScene(scene);
        scene.source(1) = {10, -20, c.amp, 0, 0, 2.0};
        FrameSettings settings;
        settings.numpoints = 5;
        const std::vector<std::string> lines = render(scene, settings);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], "brush 0x00FFFFFF");
        EXPECT_EQ(lines[1], "fillrect 0 0 601 601");
        if (c.ellipse) {
            EXPECT_EQ(lines[2], "pen 0x0000FF00") << c.amp;
            EXPECT_EQ(lines[3], c.ellipse) << c.amp;
        } else {
            EXPECT_EQ(lines[3].rfind("moveto", 0), 0u) << "the grid starts at once";
        }
    }
}

TEST(Frame, TwoSourceModeDropsRingsAndLinesOf3And4) {
    Scene scene;
    resetScene(scene);
    for (int k = 1; k <= 4; ++k)
        scene.source(k) = {-150 + 60 * k, 40 * k - 100, 300, 10, 0, 2.0};
    FrameSettings settings;
    settings.numpoints = 5;
    settings.numzoom = 30;
    const auto four = render(scene, settings);
    settings.ch_2cut = true;
    const auto two = render(scene, settings);
    EXPECT_EQ(countPrefix(four, "pen 0x0000FFFF"), countPrefix(four, "pen 0x00FFFF00"));
    EXPECT_GT(countPrefix(four, "pen 0x0000FFFF"), 10);
    EXPECT_EQ(countPrefix(two, "pen 0x0000FFFF"), 0);
    EXPECT_EQ(countPrefix(two, "pen 0x00FFFF00"), 0);
    EXPECT_EQ(countPrefix(two, "ellipse") - countPrefix(two, "pen 0x00000000") / 2, 2) << "two rings";
}

TEST(Frame, WithoutDrawingBoxesOnlyBackgroundAndRingsRemain) {
    Scene scene;
    resetScene(scene);
    scene.source(2) = {45, 45, 5000, 10, 0, 2.0}; // large enough for undrawable points too
    FrameSettings settings;
    settings.ch_seibun = settings.ch_bashi = settings.ch_baishitsu = settings.ch_suihei = false;
    EXPECT_EQ(render(scene, settings),
              (std::vector<std::string>{"brush 0x00FFFFFF", "fillrect 0 0 601 601", "pen 0x00FF00FF",
                                        "ellipse 295 295 395 395"}));
}

TEST(Frame, StartUpSceneDrawsEveryParticleAtRestExceptTheCentre) {
    Scene scene;
    resetScene(scene);
    const auto lines = render(scene, FrameSettings{});
    EXPECT_EQ(countPrefix(lines, "ellipse"), 1680);
    EXPECT_EQ(countPrefix(lines, "rectangle"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "ellipse 297 297 303 303"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "ellipse -3 -3 3 3"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "ellipse 597 597 603 603"), 1);
    // Every line has length zero: each lineto returns to the moveto before it.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].rfind("lineto", 0) == 0) {
            EXPECT_EQ(lines[i].substr(6), lines[i - 1].substr(6));
        }
    }
}

// One source on the x axis under no attenuation: bound = |amp| / 200 exactly on the axis, so the
// amplitude 4500 puts the axis points exactly on the limit 22.5 of N = 20, numzoom 15.
TEST(Frame, APointWhoseBoundEqualsTheLimitIsUndrawable) {
    const struct {
        std::int32_t amp;
        bool drawable;
    } cases[] = {{4500, false}, {-4500, false}, {4499, true}, {4501, false}};
    for (const auto& c : cases) {
        Scene scene;
        resetScene(scene);
        scene.source(1) = {-300, 0, c.amp, 0, 90, 2.0};
        FrameSettings settings;
        settings.gens1 = settings.gens2 = false;
        ASSERT_EQ(displaceParticle(scene, 15, 0, AttenuationLaw::noAttenuation, false).bound,
                  std::abs(c.amp) / 200.0);
        const auto lines = render(scene, settings);
        // The point (15, 0) is pixel (315, 300): either its grey x or its foot line starts there.
        const auto x = std::find(lines.begin(), lines.end(), "moveto 313 298");
        EXPECT_EQ(x == lines.end(), c.drawable) << c.amp;
        if (!c.drawable) {
            ASSERT_GE(lines.end() - x, 4);
            EXPECT_EQ(*(x - 1), "pen 0x007F7F7F");
            EXPECT_EQ(*(x + 1), "lineto 317 302");
            EXPECT_EQ(*(x + 2), "moveto 313 302");
            EXPECT_EQ(*(x + 3), "lineto 317 298");
        }
    }
}

TEST(Frame, ZeroSpeedShowsOnlyCrossesOnceASourceIsLive) {
    Scene scene;
    resetScene(scene);
    setWaveSpeed(scene, 0);
    FrameSettings settings;
    settings.numpoints = 5;
    EXPECT_EQ(countPrefix(render(scene, settings), "pen 0x007F7F7F"), 0);
    scene.source(1) = {0, 0, 100, 10, 0, 0.0};
    const auto lines = render(scene, settings);
    EXPECT_EQ(countPrefix(lines, "pen 0x007F7F7F"), 120);
    EXPECT_EQ(countPrefix(lines, "ellipse"), 1) << "only the ring";
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
                FrameSettings settings;
                settings.numpoints = n;
                settings.gens1 = gens1;
                settings.numzoom = kMax;
                RecordingSurface fast, plain;
                renderFrame(scene, settings, fast);
                renderFramePlain(scene, settings, plain);
                ASSERT_EQ(fast.trace(), plain.trace()) << n << " " << t;
                if (n == 5 && gens1) {
                    // The point left of source 4 is pushed 2^31 pixels: far outside, passed on unclipped.
                    EXPECT_NE(fast.trace().find("lineto 2147483948 300"), std::string::npos);
                }
            }
        }
    }
}

} // namespace
} // namespace rs
