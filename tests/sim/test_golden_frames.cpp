// Whole frames compared line by line with reviewed traces in golden/.
// RIPPLESCOPE_WRITE_GOLDEN=1 rewrites the files instead; review the diff before committing it.

#include "sim/frame_renderer.h"
#include "ui/recording_surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace rs {
namespace {

struct GoldenCase {
    const char* name;
    Scene scene;
    FrameSettings settings;
};

Scene twoSources(std::int32_t amp) {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {-100, 0, amp, 10, 0, 2.0};
    scene.source(2) = {100, 0, amp, 10, 0, 2.0};
    scene.simTime = 7.0;
    return scene;
}

Scene fourSources() {
    Scene scene;
    resetScene(scene);
    scene.source(1) = {-120, -120, 1500, 12, 0, 2.5};
    scene.source(2) = {120, -120, -800, 20, 45, 2.5};
    scene.source(3) = {-120, 120, 2000, 8, 90, 2.5};
    scene.source(4) = {120, 120, 1200, 30, -60, 2.5};
    scene.simTime = 11.0;
    return scene;
}

std::vector<GoldenCase> cases() {
    std::vector<GoldenCase> out;
    FrameSettings small;
    small.numpoints = 5;

    GoldenCase startUp{"start_up_n5", {}, small};
    resetScene(startUp.scene);
    out.push_back(startUp);

    // Strong sources and the lowest overtaking limit (60 pixels), so that every law has crosses; under no
    // attenuation the axis between the sources sits exactly on the limit.
    FrameSettings crosses = small;
    crosses.numzoom = 10;
    GoldenCase inverse{"two_sources_inverse_distance", twoSources(6000), crosses};
    inverse.settings.gens1 = true;
    out.push_back(inverse);
    out.push_back({"two_sources_inverse_sqrt", twoSources(6000), crosses});
    GoldenCase none{"two_sources_no_attenuation", twoSources(6000), crosses};
    none.settings.gens2 = false;
    out.push_back(none);

    GoldenCase cut{"four_sources_two_source_mode", fourSources(), small};
    cut.settings.ch_2cut = true;
    out.push_back(cut);

    GoldenCase red{"red_background_square_particles", twoSources(1000), small};
    red.settings.ch_guruguru = true;
    red.settings.ch_rect = true;
    red.settings.ch_seibun = false;
    out.push_back(red);
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(GoldenFrames, TracesMatchTheReviewedFiles) {
    const bool write = std::getenv("RIPPLESCOPE_WRITE_GOLDEN") != nullptr;
    for (const GoldenCase& c : cases()) {
        RecordingSurface surface;
        renderFrame(c.scene, c.settings, surface);
        const std::string path = std::string(RIPPLESCOPE_GOLDEN_DIR) + "/" + c.name + ".trace";
        if (write) {
            std::ofstream(path, std::ios::binary) << surface.trace();
            continue;
        }
        const std::string expected = readFile(path);
        ASSERT_FALSE(expected.empty()) << "missing " << path;
        EXPECT_EQ(surface.trace(), expected) << c.name;
    }
}

} // namespace
} // namespace rs
