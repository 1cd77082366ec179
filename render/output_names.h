// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Every file a run reads or writes, checked before anything is written: one mistyped name must not
// make the exporter write over its own scene or one output over another.

#include "render/render_options.h"

#include <optional>
#include <string>

namespace rs {

// What is wrong when two of the run's names (the scene, the output or any frame of a series, the trace)
// are the same file: judged by device and inode where the file exists, otherwise by the folder it
// would go in and its name there. Nothing when they are all different.
std::optional<std::string> sameFileError(const RenderOptions& options);

} // namespace rs
