// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The exporter's command line and the names of its pictures.

#include "tools/render_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rs {
namespace {

using Action = RenderArguments::Action;

struct ArgsCase {
    std::vector<std::string> args;
    Action action;
    int time;
    int count;
    const char* ops; // nullptr: none
};

TEST(RenderArguments, AcceptsTheOptionsAnywhereBeforeTheNames) {
    const ArgsCase cases[] = {
        {{"s.rsd", "o.png"}, Action::Render, 0, 1, nullptr},
        {{"--time", "-100000", "s.rsd", "o.png"}, Action::Render, -100000, 1, nullptr},
        {{"s.rsd", "--count", "99999", "o.png"}, Action::Render, 0, 99999, nullptr},
        {{"s.rsd", "o.png", "--ops", "t.txt", "--time", "100000"}, Action::Render, 100000, 1, "t.txt"},
        {{"--", "-s.rsd", "-o.png"}, Action::Render, 0, 1, nullptr},
        {{"-", "o.png"}, Action::Render, 0, 1, nullptr},
        {{"--help"}, Action::Help, 0, 1, nullptr},
        {{"s.rsd", "--help", "--bogus"}, Action::Help, 0, 1, nullptr},
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
        EXPECT_EQ(parsed.options.opsFile.has_value(), c.ops != nullptr) << where;
        if (c.ops != nullptr) {
            EXPECT_EQ(*parsed.options.opsFile, c.ops) << where;
        }
    }
    const RenderArguments dashed = parseRenderArguments({"--", "-s.rsd", "-o.png"});
    EXPECT_EQ(dashed.options.scene, "-s.rsd");
    EXPECT_EQ(dashed.options.output, "-o.png");
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
        {"--frames", "2", "s.rsd", "o.png"},
        {"-platform", "xcb", "s.rsd", "o.png"},
        {"", "o.png"},
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

} // namespace
} // namespace rs
