// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "cli/arguments.h"

#include <algorithm>

namespace rs {

bool SplitArguments::given(const std::string& option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

SplitArguments splitArguments(const std::vector<std::string>& args,
                              std::initializer_list<KnownOption> known) {
    SplitArguments split;
    bool onlyNames = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyNames || arg.size() < 2 || arg[0] != '-') {
            split.names.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyNames = true;
            continue;
        }
        const std::size_t dashes = arg[1] == '-' ? 2 : 1;
        const std::size_t equals = arg.find('=');
        const std::string option = arg.substr(dashes, equals == std::string::npos ? equals : equals - dashes);
        const auto match = std::find_if(known.begin(), known.end(),
                                        [&option](const KnownOption& k) { return option == k.name; });
        if (match == known.end()) {
            split.unknown.push_back(option);
            continue;
        }
        split.options.push_back(option);
        // A value given to an option that takes none is wrong, but such options (help, version) win
        // over every error.
        if (!match->takesValue) continue;
        if (equals != std::string::npos) {
            split.values[option].push_back(arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            split.values[option].push_back(args[++i]);
        } else {
            split.valueMissing = arg;
        }
    }
    return split;
}

std::string typedOption(const std::vector<std::string>& args, const std::string& name) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        const std::size_t dashes = arg.compare(0, 2, "--") == 0 ? 2 : 1;
        if (arg.size() > dashes && arg[0] == '-' && arg.compare(dashes, std::string::npos, name) == 0) {
            return arg;
        }
    }
    return "--" + name;
}

} // namespace rs
