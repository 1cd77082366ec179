// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The frame trace (one line per colour change or drawing operation) of a frame of the window.

#include "app/sound.h"

#include <string>

namespace rs {

// The trace of the frame at clock `time` as the window would draw it now: its scene and its settings.
// Draws nothing into the window's picture and leaves its clock alone.
std::string frameTrace(const TForm1& form, double time);

} // namespace rs
