// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// No exception ever crosses Qt code: every event handler runs through DispatchGuard, which ends the
// handler where the error arose, shows the error box and lets the event loop carry on.

#include "ui/interaction.h"

#include <QString>

#include <functional>
#include <utility>

namespace rs {

// The application title, also the caption of every error box.
inline constexpr const char* kApplicationTitle = "Ripplescope";

// The error box text: the message, with "." appended when it is not empty and its last character
// compares greater than "." in the Japanese code page. Every non-ASCII character sorts above it there,
// so a message ending in a Japanese character gets the period; one ending in ")" or "." does not.
QString errorBoxText(const QString& message);

// The message of the exception being handled; call only inside a catch block.
QString currentExceptionMessage();

// Releases any mouse grab and shows the current exception in the error box. Never throws.
void reportCurrentException(Interaction& ui) noexcept;

class DispatchGuard {
  public:
    explicit DispatchGuard(Interaction& ui) : ui_(&ui) {}

    template <class Handler> void run(Handler&& handler) noexcept {
        try {
            std::forward<Handler>(handler)();
        } catch (...) {
            reportCurrentException(*ui_);
        }
    }

    // The handler packed for a signal connection or an adapter callback.
    template <class Handler> std::function<void()> wrap(Handler handler) {
        return [this, handler = std::move(handler)]() mutable { run(handler); };
    }

    Interaction& interaction() const { return *ui_; }

  private:
    Interaction* ui_;
};

} // namespace rs
