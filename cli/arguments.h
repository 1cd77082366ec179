// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The programs' command lines sorted into options and names, as bytes: both programs read them the
// same way. An option is a word after one dash or two ("-time 5" is "--time 5"), its value after "="
// or in the next argument; "-" alone is a name, and "--" makes every later argument a name.

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace rs {

struct KnownOption {
    const char* name; // without dashes
    bool takesValue;
};

struct SplitArguments {
    std::vector<std::string> options; // the known options met, without their dashes
    std::map<std::string, std::vector<std::string>> values;
    std::vector<std::string> unknown; // the unknown options met, without their dashes
    std::vector<std::string> names;
    std::string valueMissing; // the last argument, as typed, when it is an option lacking its value

    bool given(const std::string& option) const;
};

// args without the program name.
SplitArguments splitArguments(const std::vector<std::string>& args, std::initializer_list<KnownOption> known);

// An unknown option as it was first typed, "-platform" rather than its bare name.
std::string typedOption(const std::vector<std::string>& args, const std::string& name);

} // namespace rs
