// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Writing a scene file: every text followed by CR LF, in one block, replacing the file as a whole.

#include "scene_io/file_replace.h"

#include <string>
#include <vector>

namespace rs {

// fileName is the name's bytes and used as given (no extension added). The block replaces the file as
// replaceFileContents says: a failed save keeps the old file, a device or FIFO is written, not replaced.
// Throws EFCreateError when the file cannot be created or replaced (read-only file, missing folder, a
// folder of that name), and EWriteError when any write, sync or the final rename fails.
void writeSceneLines(const std::string& fileName, const std::vector<std::string>& lines,
                     const SceneBlockWriter& blockWriter = {});

} // namespace rs
