// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The modal conversations the window holds with the user. The window talks to them only through
// this interface, so tests can answer them from a script instead of real dialogs.

#include <QString>

#include <optional>

namespace rs {

class Interaction {
  public:
    virtual ~Interaction() = default;

    // One-line prompt titled caption with prompt above an edit field that starts with text, all of it
    // selected. OK gives true and the edited text in text; cancel gives false and leaves text alone.
    virtual bool queryText(const QString& caption, const QString& prompt, QString& text) = 0;

    // File dialogs starting at the name chosen last time; the chosen name, or nothing on cancel.
    virtual std::optional<QString> openName(const QString& filter, const QString& remembered) = 0;
    virtual std::optional<QString> saveName(const QString& filter, const QString& remembered) = 0;

    // The error box: stop icon, one OK button, caption and text exactly as given.
    virtual void showError(const QString& caption, const QString& text) = 0;
};

} // namespace rs
