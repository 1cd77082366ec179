// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A push button that Return and Enter (keypad) press exactly like Space: down on the key press,
// clicked on its release, auto-repeat ignored. A plain QPushButton outside a dialog takes Return
// only when auto-default, and the style then draws it as the default button whenever it has the
// focus; this keeps the look of every state and only adds the keys.

#include <QPushButton>

namespace rs {

class PushButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

} // namespace rs
