// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_writer.h"

namespace rs {

void writeSceneLines(const std::string& fileName, const std::vector<std::string>& lines,
                     const SceneBlockWriter& blockWriter) {
    std::string block;
    for (const std::string& line : lines) {
        block += line;
        block += "\r\n";
    }
    replaceFileContents(fileName, block, blockWriter);
}

} // namespace rs
