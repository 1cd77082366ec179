#pragma once
// Helpers for reading frame traces in tests.

#include <sstream>
#include <string>
#include <vector>

namespace rs::testing {

inline std::vector<std::string> traceLines(const std::string& trace) {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline int countPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines)
        n += l.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

} // namespace rs::testing
