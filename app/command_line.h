// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The window's command line: at most one scene file, opened once the window is up as File > Open
// opens a chosen one. Read before the application object exists, so --help and --version need no
// display.

#include <optional>
#include <string>
#include <vector>

namespace rs {

extern const char* const kWindowUsage;
// "ripplescope 1.0.0" and a newline: what --version prints.
extern const char* const kWindowVersion;

struct WindowArguments {
    enum class Action { Start, Help, Version, Usage };
    Action action = Action::Usage;
    // The scene's name as the bytes the command line gave, whatever their encoding; for Start.
    std::optional<std::string> scene;
    std::string error; // what was wrong, for Usage
};

// args without the program name; "--" ends the options.
WindowArguments parseWindowArguments(const std::vector<std::string>& args);

} // namespace rs
