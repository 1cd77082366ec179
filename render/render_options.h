// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The command line of the frame exporter, and the names of the pictures it writes.

#include <optional>
#include <string>
#include <vector>

namespace rs {

extern const char* const kRenderUsage;
// "ripplescope-render 1.0.0" and a newline: what --version prints.
extern const char* const kRenderVersion;

inline constexpr int kMinRenderTime = -100000; // the clock's own range
inline constexpr int kMaxRenderTime = 100000;
inline constexpr int kMaxRenderCount = 99999; // five-digit frame numbers
inline constexpr int kMaxRenderStep = 100000;

// Chosen by the output name's extension, in any letter case.
enum class OutputFormat { Png, Gif, Svg };

// File names are kept as the bytes the command line gave, whatever their encoding.
struct RenderOptions {
    int time = 0;
    int count = 1;
    int step = 1; // clock ticks from one exported frame to the next
    std::optional<std::string> opsFile;
    std::string scene;
    std::string output;
    OutputFormat format = OutputFormat::Png;
};

struct RenderArguments {
    enum class Action { Render, Help, Version, Usage };
    Action action = Action::Usage;
    RenderOptions options;
    std::string error; // what was wrong, for Action::Usage
};

// args without the program name. Options come before, between or after the two names; "--" ends them.
RenderArguments parseRenderArguments(const std::vector<std::string>& args);

// The format an output name asks for, from its extension; nothing for any other name.
std::optional<OutputFormat> outputFormat(const std::string& output);

// The picture of frame `frame` (1-based) of `count`: the output name itself for a single frame,
// otherwise the output name with the five-digit frame number before its extension.
std::string frameFileName(const std::string& output, int frame, int count);

} // namespace rs
