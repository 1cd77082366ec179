// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Writing a scene file: every text followed by CR LF, in one block, replacing the file only once the
// whole block has reached the disk, so a failed save never costs the scene that was there before
// (where the folder allows a temporary file beside it).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rs {

// Writes bytes to the file being saved; returns how many were written, or -1.
using SceneWriteFn = std::function<std::int64_t(std::string_view bytes)>;

// Hands the block to the file. The default passes it straight to `write`; tests substitute one that
// stops short, as a full disk does.
using SceneBlockWriter = std::function<std::int64_t(std::string_view block, const SceneWriteFn& write)>;

// fileName is UTF-8 and used as given. A new file gets the usual permissions (0666 less the umask), an
// existing one keeps its own.
// Throws EFCreateError when the file cannot be created or replaced (read-only file, missing folder, a
// folder of that name), and EWriteError when fewer bytes than the block holds were written or the
// finished file could not be put in place. In both cases the old file is left untouched and no
// temporary file remains, except in a folder where no new name can be made: there an existing writable
// file is written in place, and a short write leaves it emptied or partly written.
void writeSceneLines(const std::string& fileName, const std::vector<std::string>& lines,
                     const SceneBlockWriter& blockWriter = {});

} // namespace rs
