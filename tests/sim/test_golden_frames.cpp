// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Whole frames compared with reviewed traces in golden/. RIPPLESCOPE_WRITE_GOLDEN=1 rewrites the files
// instead; review the diff before committing it.

#include "draw/recording_surface.h"
#include "scene_builder.h"
#include "sim/frame_renderer.h"
#include "trace_diff.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace rs {
namespace {

TEST(GoldenFrames, TracesMatchTheReviewedFiles) {
    // Strong sources and the lowest overtaking limit (60 pixels at N = 5) give every law some crosses;
    // under no attenuation the axis between the sources sits exactly on the limit.
    const Scene strong = test::withSources({{-100, 0, 6000, 10, 0, 2.0}, {100, 0, 6000, 10, 0, 2.0}}, 7.0);
    const Scene four = test::withSources({{-120, -120, 1500, 12, 0, 2.5},
                                          {120, -120, -800, 20, 45, 2.5},
                                          {-120, 120, 2000, 8, 90, 2.5},
                                          {120, 120, 1200, 30, -60, 2.5}},
                                         11.0);
    const struct {
        const char* name;
        Scene scene;
        FrameSettings settings;
    } cases[] = {
        {"start_up_n5", test::withSources({}, 0.0), {.numpoints = 5}},
        {"two_sources_inverse_distance", strong, {.gens1 = true, .numpoints = 5, .numzoom = 10}},
        {"two_sources_inverse_sqrt", strong, {.numpoints = 5, .numzoom = 10}},
        {"two_sources_no_attenuation", strong, {.gens2 = false, .numpoints = 5, .numzoom = 10}},
        {"four_sources_two_source_mode", four, {.ch_2cut = true, .numpoints = 5}},
        {"red_background_square_particles",
         test::withSources({{-100, 0, 1000, 10, 0, 2.0}, {100, 0, 1000, 10, 0, 2.0}}, 7.0),
         {.ch_guruguru = true, .ch_seibun = false, .ch_rect = true, .numpoints = 5}},
    };
    const bool write = std::getenv("RIPPLESCOPE_WRITE_GOLDEN") != nullptr;
    for (const auto& c : cases) {
        RecordingSurface surface;
        renderFrame(c.scene, c.settings, surface);
        const std::string path = std::string(RIPPLESCOPE_GOLDEN_DIR) + "/" + c.name + ".trace";
        if (write) {
            std::ofstream(path, std::ios::binary) << surface.trace();
            continue;
        }
        std::ostringstream expected;
        expected << std::ifstream(path, std::ios::binary).rdbuf();
        ASSERT_FALSE(expected.str().empty()) << "missing " << path;
        EXPECT_EQ(testing::firstDifference(surface.trace(), expected.str()), "") << c.name;
    }
}

} // namespace
} // namespace rs
