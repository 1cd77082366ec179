// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The exporter's command line and the names of its pictures.

#include "render/frame_clock.h"
#include "render/gif_animation.h"
#include "render/render_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rs {
namespace {

using Action = RenderArguments::Action;

struct ArgsCase {
    std::vector<std::string> args;
    Action action;
    int time;
    int count;
    int step;
    const char* ops; // nullptr: none
};

TEST(RenderArguments, AcceptsTheOptionsAnywhereBeforeTheNames) {
    const ArgsCase cases[] = {
        {{"s.rsd", "o.png"}, Action::Render, 0, 1, 1, nullptr},
        {{"--time", "-100000", "s.rsd", "o.png"}, Action::Render, -100000, 1, 1, nullptr},
        {{"s.rsd", "--count", "99999", "o.png"}, Action::Render, 0, 99999, 1, nullptr},
        {{"s.rsd", "o.png", "--ops", "t.txt", "--time", "100000"}, Action::Render, 100000, 1, 1, "t.txt"},
        {{"--step", "100000", "s.rsd", "o.gif"}, Action::Render, 0, 1, 100000, nullptr},
        {{"--count=6", "--step=5", "s.rsd", "o.SVG"}, Action::Render, 0, 6, 5, nullptr},
        {{"--", "-s.rsd", "-o.png"}, Action::Render, 0, 1, 1, nullptr},
        {{"-", "o.png"}, Action::Render, 0, 1, 1, nullptr},
        {{"-time=-3", "-count", "2", "s.rsd", "o.png"}, Action::Render, -3, 2, 1, nullptr},
        // A value is the next argument, whatever it looks like.
        {{"--time", "-5", "--ops", "--", "s.rsd", "o.png"}, Action::Render, -5, 1, 1, "--"},
        {{"--ops=a=b", "s.rsd", "o.png"}, Action::Render, 0, 1, 1, "a=b"},
        {{"--help=1", "--time"}, Action::Help, 0, 1, 1, nullptr},
        {{"--help"}, Action::Help, 0, 1, 1, nullptr},
        {{"s.rsd", "--help", "--bogus"}, Action::Help, 0, 1, 1, nullptr},
        {{"--version", "s.rsd"}, Action::Version, 0, 1, 1, nullptr},
    };
    for (const ArgsCase& c : cases) {
        const RenderArguments parsed = parseRenderArguments(c.args);
        const std::string where = c.args.front() + " ...";
        ASSERT_EQ(parsed.action, c.action) << where << ": " << parsed.error;
        if (c.action != Action::Render) {
            continue;
        }
        EXPECT_EQ(parsed.options.time, c.time) << where;
        EXPECT_EQ(parsed.options.count, c.count) << where;
        EXPECT_EQ(parsed.options.step, c.step) << where;
        EXPECT_EQ(parsed.options.opsFile.has_value(), c.ops != nullptr) << where;
        if (c.ops != nullptr) {
            EXPECT_EQ(*parsed.options.opsFile, c.ops) << where;
        }
    }
    const RenderArguments dashed = parseRenderArguments({"--", "-s.rsd", "-o.png"});
    EXPECT_EQ(dashed.options.scene, "-s.rsd");
    EXPECT_EQ(dashed.options.output, "-o.png");

    // Names are bytes, not text: none of them may be lost or changed on the way.
    const RenderArguments raw =
        parseRenderArguments({"--ops", "\xff\xfe.txt", "sc\xe8ne.rsd", "\x80\xc3.GIF"});
    ASSERT_EQ(raw.action, Action::Render) << raw.error;
    EXPECT_EQ(*raw.options.opsFile, "\xff\xfe.txt");
    EXPECT_EQ(raw.options.scene, "sc\xe8ne.rsd");
    EXPECT_EQ(raw.options.output, "\x80\xc3.GIF");
    EXPECT_EQ(raw.options.format, OutputFormat::Gif);
}

TEST(RenderArguments, RejectsAnythingElse) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"s.rsd"},
        {"s.rsd", "o.png", "extra"},
        {"--time", "s.rsd", "o.png"},
        {"--time", "1.5", "s.rsd", "o.png"},
        {"--time", "+3", "s.rsd", "o.png"},
        {"--time", " 3", "s.rsd", "o.png"},
        {"--time", "3x", "s.rsd", "o.png"},
        {"--time", "0x10", "s.rsd", "o.png"},
        {"--time", "100001", "s.rsd", "o.png"},
        {"--time", "-100001", "s.rsd", "o.png"},
        {"--time", "99999999999999999999", "s.rsd", "o.png"},
        {"--time", "", "s.rsd", "o.png"},
        {"--count", "0", "s.rsd", "o.png"},
        {"--count", "-1", "s.rsd", "o.png"},
        {"--count", "100000", "s.rsd", "o.png"},
        {"--count", "2", "--count", "3", "s.rsd", "o.png"},
        {"--time", "2", "--time", "3", "s.rsd", "o.png"},
        {"--ops", "a", "--ops", "b", "s.rsd", "o.png"},
        {"--ops", "", "s.rsd", "o.png"},
        {"s.rsd", "o.png", "--ops"},
        {"s.rsd", "o.png", "-time"},
        {"---time", "5", "s.rsd", "o.png"},
        {"--", "s.rsd", "o.png", "--"},
        {"--frames", "2", "s.rsd", "o.png"},
        {"-platform", "xcb", "s.rsd", "o.png"},
        {"", "o.png"},
        {"--step", "0", "s.rsd", "o.png"},
        {"--step", "100001", "s.rsd", "o.png"},
        {"--step", "1", "--step", "1", "s.rsd", "o.png"},
        {"s.rsd", "o.jpg"},
        {"s.rsd", "o"},
        {"s.rsd", "dir.gif/.svg"},
    };
    for (const auto& args : cases) {
        const RenderArguments parsed = parseRenderArguments(args);
        std::string joined;
        for (const std::string& a : args)
            joined += "[" + a + "]";
        EXPECT_EQ(parsed.action, Action::Usage) << joined;
        EXPECT_FALSE(parsed.error.empty()) << joined;
    }
}

TEST(FrameFileName, PutsTheFrameNumberBeforeTheExtension) {
    struct Case {
        const char* output;
        int frame;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"out.png", 1, 1, "out.png"},
        {"out", 1, 1, "out"},
        {"out.png", 1, 2, "out00001.png"},
        {"out.png", 99999, 99999, "out99999.png"},
        {"a.b/out.png", 12, 20, "a.b/out00012.png"},
        {"a.b/out", 3, 5, "a.b/out00003"},
        {"dir/.png", 2, 2, "dir/.png00002"},
        {"out.tar.png", 7, 9, "out.tar00007.png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frameFileName(c.output, c.frame, c.count), c.expected) << c.output << " " << c.frame;
    }
}

TEST(OutputFormat, IsTheExtensionInAnyCase) {
    const std::pair<const char*, std::optional<OutputFormat>> cases[] = {
        {"a.png", OutputFormat::Png}, {"a.PNG", OutputFormat::Png},     {"d.svg/a.Gif", OutputFormat::Gif},
        {"a.sVg", OutputFormat::Svg}, {"a.svg.png", OutputFormat::Png}, {"a.svgz", std::nullopt},
        {".gif", std::nullopt},       {"a.gif/b", std::nullopt},        {"a.", std::nullopt},
    };
    for (const auto& [name, format] : cases) {
        EXPECT_EQ(outputFormat(name), format) << name;
    }
}

TEST(FrameClock, StepsTickByTickThroughTheWrap) {
    struct Case {
        int time, step;
        std::vector<double> frames;
    };
    const Case cases[] = {
        {0, 1, {0, 1, 2}},
        {0, 5, {0, 5, 10, 15, 20, 25}},
        {99999, 1, {99999, 100000, -100000, -99999}},
        {99998, 5, {99998, -99999}},  // the wrapping tick is one of the five
        {99996, 5, {99996, -100000}}, // the fifth tick wraps and draws nothing: the sixth's frame
        {100000, 100000, {100000, -2, 99998}},
        {-100000, 100000, {-100000, 0, 100000}},
    };
    for (const Case& c : cases) {
        FrameClock clock(c.time, c.step);
        std::vector<double> frames;
        for (std::size_t i = 0; i < c.frames.size(); ++i)
            frames.push_back(clock.next());
        EXPECT_EQ(frames, c.frames) << c.time << " step " << c.step;
    }
}

TEST(GifDelay, IsTheFrameIntervalInHundredthsAtLeastTwo) {
    const std::pair<int, int> cases[] = {{20, 2}, {24, 2}, {25, 3}, {200, 20}, {1000, 100}, {14, 2}, {0, 2}};
    for (const auto& [ms, delay] : cases) {
        EXPECT_EQ(gifDelay(ms), delay) << ms;
    }
}

} // namespace
} // namespace rs
