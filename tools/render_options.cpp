// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tools/render_options.h"

#include <charconv>
#include <cstdio>

namespace rs {

const char* const kRenderUsage =
    "Usage: ripplescope-render [--time T] [--count K] [--ops FILE] SCENE.rsd OUT.png\n"
    "Draws frames of a scene file without showing the window and writes each as a PNG picture.\n"
    "  --time T    clock of the first frame, an integer from -100000 to 100000 (default 0)\n"
    "  --count K   number of frames, 1 to 99999 (default 1); with more than one, each picture gets\n"
    "              its frame number before the extension: OUT00001.png, OUT00002.png, ...\n"
    "  --ops FILE  also write the drawing operations of the last frame to FILE\n"
    "  --help      show this text\n"
    "Exit status: 0 done, 1 scene or file error, 2 wrong arguments.\n";

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

} // namespace

RenderArguments parseRenderArguments(const std::vector<std::string>& args) {
    RenderArguments result;
    std::vector<std::string> names;
    bool seenTime = false;
    bool seenCount = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            names.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            result.action = RenderArguments::Action::Help;
            return result;
        }
        if (arg != "--time" && arg != "--count" && arg != "--ops") {
            return usage("unknown option " + arg);
        }
        if (i + 1 >= args.size()) {
            return usage(arg + " needs a value");
        }
        const std::string& value = args[++i];
        if (arg == "--time") {
            const auto time = strictInteger(value, kMinRenderTime, kMaxRenderTime);
            if (seenTime || !time) {
                return usage(seenTime ? "--time given twice"
                                      : "--time needs an integer from -100000 to 100000");
            }
            seenTime = true;
            result.options.time = *time;
        } else if (arg == "--count") {
            const auto count = strictInteger(value, 1, kMaxRenderCount);
            if (seenCount || !count) {
                return usage(seenCount ? "--count given twice" : "--count needs an integer from 1 to 99999");
            }
            seenCount = true;
            result.options.count = *count;
        } else {
            if (result.options.opsFile || value.empty()) {
                return usage(value.empty() ? "--ops needs a file name" : "--ops given twice");
            }
            result.options.opsFile = value;
        }
    }
    if (names.size() != 2) {
        return usage(names.size() < 2 ? "SCENE and OUT are both needed" : "too many names: " + names[2]);
    }
    if (names[0].empty() || names[1].empty()) {
        return usage("empty file name");
    }
    result.options.scene = names[0];
    result.options.output = names[1];
    result.action = RenderArguments::Action::Render;
    return result;
}

std::string frameFileName(const std::string& output, int frame, int count) {
    if (count == 1) {
        return output;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%05d", frame);
    const std::size_t slash = output.find_last_of('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = output.find_last_of('.');
    // A dot in a folder name, or the leading dot of a hidden file, starts no extension.
    if (dot == std::string::npos || dot <= base) {
        dot = output.size();
    }
    return output.substr(0, dot) + number + output.substr(dot);
}

} // namespace rs
