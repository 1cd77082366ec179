// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/output_names.h"

#include "scene_io/scene_errors.h"

#include <map>
#include <sys/stat.h>
#include <tuple>
#include <utility>

namespace rs {

namespace {

// An existing file is its device and inode; a name yet to be made is its folder's and its own name
// there; a name in a folder that does not exist either is the name as given.
using Identity = std::tuple<bool, dev_t, ino_t, std::string>;

class Identities {
  public:
    Identity of(const std::string& name) {
        struct stat st {};
        if (::stat(name.c_str(), &st) == 0) return {true, st.st_dev, st.st_ino, {}};
        const std::size_t slash = name.rfind('/');
        const std::string folder =
            slash == std::string::npos ? std::string(".") : name.substr(0, slash == 0 ? 1 : slash);
        const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
        auto known = folders_.find(folder);
        if (known == folders_.end()) {
            struct stat at {};
            const bool found = ::stat(folder.c_str(), &at) == 0;
            known =
                folders_.emplace(folder, std::make_pair(found, std::make_pair(at.st_dev, at.st_ino))).first;
        }
        const auto& [found, id] = known->second;
        if (!found) return {false, 0, 0, name};
        return {false, id.first, id.second, base};
    }

  private:
    std::map<std::string, std::pair<bool, std::pair<dev_t, ino_t>>> folders_;
};

} // namespace

std::optional<std::string> sameFileError(const RenderOptions& options) {
    Identities identities;
    std::map<Identity, std::string> roles;
    const auto claim = [&](const std::string& name, std::string role) -> std::optional<std::string> {
        const auto [at, fresh] = roles.emplace(identities.of(name), role);
        if (fresh) return std::nullopt;
        return at->second + " and " + role + " are the same file: " + shownFileName(name) +
               "; nothing was written";
    };
    if (auto error = claim(options.scene, "the scene")) return error;
    if (options.opsFile) {
        if (auto error = claim(*options.opsFile, "the trace (--ops)")) return error;
    }
    const bool series = options.count > 1 && options.format != OutputFormat::Gif;
    if (!series) return claim(options.output, "the output");
    for (int frame = 1; frame <= options.count; ++frame) {
        if (auto error = claim(frameFileName(options.output, frame, options.count),
                               "frame " + std::to_string(frame))) {
            return error;
        }
    }
    return std::nullopt;
}

} // namespace rs
