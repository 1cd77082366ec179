// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A scene file's 37 lines to and from the controls and the sources: what Open applies and what Save
// writes, for the window and the exporter alike.

#include "model/controls.h"
#include "sim/scene.h"

#include <string>
#include <vector>

namespace rs {

// False, and nothing changed, when the name (its bytes as the file system takes them) is not an existing
// regular file: a device or a FIFO could never end or never answer. Otherwise applies the file line by
// line, each before the next is read, and lets the scene file's errors escape: a line that does not
// convert stops the loading there and leaves the lines before it applied.
bool openSceneFile(const std::string& fileNameBytes, Controls& controls, Scene& scene);

// The lines Save writes, in file order, without their line ends.
std::vector<std::string> sceneFileLines(const Controls& controls, const Scene& scene);

} // namespace rs
