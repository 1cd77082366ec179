// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Frame traces run to megabytes: report where two of them part instead of printing both.

#include <sstream>
#include <string>

namespace rs::testing {

// "" when equal, otherwise the first differing line of each, with its number.
inline std::string firstDifference(const std::string& got, const std::string& want) {
    std::istringstream a(got), b(want);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB) return "";
        if (!moreA || !moreB || la != lb) {
            return "line " + std::to_string(line) + ": got '" + (moreA ? la : "<end>") + "', want '" +
                   (moreB ? lb : "<end>") + "'";
        }
    }
}

} // namespace rs::testing
