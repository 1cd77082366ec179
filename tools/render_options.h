// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The command line of the frame exporter, and the names of the pictures it writes.

#include <optional>
#include <string>
#include <vector>

namespace rs {

extern const char* const kRenderUsage;

inline constexpr int kMinRenderTime = -100000; // the clock's own range
inline constexpr int kMaxRenderTime = 100000;
inline constexpr int kMaxRenderCount = 99999; // five-digit frame numbers

struct RenderOptions {
    int time = 0;
    int count = 1;
    std::optional<std::string> opsFile;
    std::string scene;
    std::string output;
};

struct RenderArguments {
    enum class Action { Render, Help, Usage };
    Action action = Action::Usage;
    RenderOptions options;
    std::string error; // what was wrong, for Action::Usage
};

// args without the program name. Options come before or between the two names; "--" ends them.
RenderArguments parseRenderArguments(const std::vector<std::string>& args);

// The picture of frame `frame` (1-based) of `count`: the output name itself for a single frame,
// otherwise the output name with the five-digit frame number before its extension.
std::string frameFileName(const std::string& output, int frame, int count);

} // namespace rs
