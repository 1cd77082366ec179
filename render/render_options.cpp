// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/render_options.h"

#include "cli/arguments.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace rs {

const char* const kRenderUsage =
    "Usage: ripplescope-render [--time T] [--count K] [--step S] [--ops FILE] SCENE.rsd OUT\n"
    "Draws frames of a scene file without showing the window. OUT's extension picks the format:\n"
    "  OUT.png     one PNG picture per frame\n"
    "  OUT.gif     one animated GIF of all the frames, looping, at the scene's frame interval\n"
    "  OUT.svg     one SVG drawing per frame, sharp at any size\n"
    "  --time T    clock of the first frame, an integer from -100000 to 100000 (default 0)\n"
    "  --count K   number of frames, 1 to 99999 (default 1); with more than one, each PNG or SVG\n"
    "              gets its frame number before the extension: OUT00001.png, OUT00002.png, ...\n"
    "  --step S    clock ticks from one frame to the next, 1 to 100000 (default 1)\n"
    "  --ops FILE  also write the drawing operations of the last frame to FILE\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 done, 1 scene or file error, 2 wrong arguments.\n";

const char* const kRenderVersion = "ripplescope-render " RIPPLESCOPE_VERSION "\n";

namespace {

// Plain decimal only: an optional "-", digits, nothing else, within [low, high].
std::optional<int> strictInteger(const std::string& text, int low, int high) {
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

RenderArguments usage(std::string error) {
    RenderArguments result;
    result.error = std::move(error);
    return result;
}

// An integer option: given at most once, its value within [low, high].
struct IntegerOption {
    const char* name;
    int low;
    int high;
    int* target;
};

} // namespace

RenderArguments parseRenderArguments(const std::vector<std::string>& args) {
    SplitArguments split = splitArguments(args, {{"time", true},
                                                 {"count", true},
                                                 {"step", true},
                                                 {"ops", true},
                                                 {"help", false},
                                                 {"version", false}});
    const auto given = [&split](const char* option) { return split.given(option); };

    RenderArguments result;
    if (given("help")) {
        result.action = RenderArguments::Action::Help;
        return result;
    }
    if (given("version")) {
        result.action = RenderArguments::Action::Version;
        return result;
    }
    if (!split.unknown.empty()) {
        return usage("unknown option " + typedOption(args, split.unknown.front()));
    }
    if (!split.valueMissing.empty()) {
        return usage("Missing value after '" + split.valueMissing + "'.");
    }

    RenderOptions& options = result.options;
    const IntegerOption integers[] = {
        {"time", kMinRenderTime, kMaxRenderTime, &options.time},
        {"count", 1, kMaxRenderCount, &options.count},
        {"step", 1, kMaxRenderStep, &options.step},
    };
    for (const IntegerOption& range : integers) {
        const std::vector<std::string>& values = split.values[range.name];
        if (values.size() > 1) {
            return usage(std::string("--") + range.name + " given twice");
        }
        if (values.empty()) continue;
        const auto value = strictInteger(values.front(), range.low, range.high);
        if (!value) {
            return usage(std::string("--") + range.name + " needs an integer from " +
                         std::to_string(range.low) + " to " + std::to_string(range.high));
        }
        *range.target = *value;
    }
    const std::vector<std::string>& opsValues = split.values["ops"];
    if (opsValues.size() > 1) {
        return usage("--ops given twice");
    }
    if (!opsValues.empty()) {
        if (opsValues.front().empty()) {
            return usage("--ops needs a file name");
        }
        options.opsFile = opsValues.front();
    }

    const std::vector<std::string>& names = split.names;
    if (names.size() != 2) {
        return usage(names.size() < 2 ? "SCENE and OUT are both needed" : "too many names: " + names[2]);
    }
    if (names[0].empty() || names[1].empty()) {
        return usage("empty file name");
    }
    options.scene = names[0];
    options.output = names[1];
    const auto format = outputFormat(options.output);
    if (!format) {
        return usage("OUT must end in .png (PNG pictures), .gif (animated GIF) or .svg (SVG drawings)");
    }
    options.format = *format;
    result.action = RenderArguments::Action::Render;
    return result;
}

namespace {

// Where the extension of a name starts, or its size when it has none. A dot in a folder name, or the
// leading dot of a hidden file, starts no extension.
std::size_t extensionStart(const std::string& name) {
    const std::size_t slash = name.find_last_of('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot <= base ? name.size() : dot;
}

} // namespace

std::optional<OutputFormat> outputFormat(const std::string& output) {
    std::string extension = output.substr(extensionStart(output));
    // ASCII only: no locale decides what a byte of a file name means.
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (extension == ".png") return OutputFormat::Png;
    if (extension == ".gif") return OutputFormat::Gif;
    if (extension == ".svg") return OutputFormat::Svg;
    return std::nullopt;
}

std::string frameFileName(const std::string& output, int frame, int count) {
    if (count == 1) {
        return output;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%05d", frame);
    const std::size_t dot = extensionStart(output);
    return output.substr(0, dot) + number + output.substr(dot);
}

} // namespace rs
