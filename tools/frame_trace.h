// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A frame of the window drawn onto another surface: the frame trace (one line per colour change or
// drawing operation), or any other surface.

#include "app/sound.h"

#include <string>

namespace rs {

// The frame at clock `time` as the window would draw it now, with its scene and its settings, onto
// surface. Draws nothing into the window's picture and leaves its clock alone.
void drawFrameAt(const TForm1& form, double time, DrawingSurface& surface);

// The trace of that frame.
std::string frameTrace(const TForm1& form, double time);

} // namespace rs
