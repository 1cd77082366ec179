// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include "cli/arguments.h"

namespace rs {

const char* const kWindowUsage =
    "Usage: ripplescope [FILE]\n"
    "Opens the window; with FILE, then opens that scene file as File > Open does.\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 when the window is closed, 1 when no window can be opened, 2 wrong arguments.\n";

const char* const kWindowVersion = "ripplescope " RIPPLESCOPE_VERSION "\n";

namespace {

WindowArguments usage(std::string error) {
    WindowArguments result;
    result.error = std::move(error);
    return result;
}

} // namespace

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
    const SplitArguments split = splitArguments(args, {{"help", false}, {"version", false}});
    WindowArguments result;
    if (split.given("help")) {
        result.action = WindowArguments::Action::Help;
        return result;
    }
    if (split.given("version")) {
        result.action = WindowArguments::Action::Version;
        return result;
    }
    if (!split.unknown.empty()) {
        return usage("unknown option " + typedOption(args, split.unknown.front()));
    }
    if (split.names.size() > 1) {
        return usage("too many names: " + split.names[1]);
    }
    if (!split.names.empty()) {
        if (split.names.front().empty()) {
            return usage("empty file name");
        }
        result.scene = split.names.front();
    }
    result.action = WindowArguments::Action::Start;
    return result;
}

} // namespace rs
