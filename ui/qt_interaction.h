// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The real dialogs behind Interaction: QInputDialog, non-native QFileDialogs and QMessageBox.

#include "ui/interaction.h"

namespace rs {

class QtInteraction final : public Interaction {
  public:
    bool queryText(const QString& caption, const QString& prompt, QString& text) override;
    std::optional<QString> openName(const QString& filter, const QString& remembered) override;
    std::optional<QString> saveName(const QString& filter, const QString& remembered) override;
    void showError(const QString& caption, const QString& text) override;
};

} // namespace rs
