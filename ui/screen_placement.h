// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Placing top-level windows in the middle of the screen's available area.

class QWidget;

namespace rs {

// Moves the widget so that its frame is centred on the available area of the screen it is on
// (the primary screen when it has none yet).
void centreOnScreen(QWidget& widget);

} // namespace rs
