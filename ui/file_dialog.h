// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A file-open or file-save dialog that remembers the name chosen last and offers it again.

#include "ui/interaction.h"

#include <QString>

namespace rs {

class FileDialog {
  public:
    enum class Kind { Open, Save };

    FileDialog(Interaction& ui, Kind kind, QString filter);

    // Shows the dialog; true when a name was chosen, which fileName() then holds.
    bool execute();

    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    const QString& filter() const { return filter_; }

  private:
    Interaction* ui_;
    Kind kind_;
    QString filter_;
    QString fileName_;
};

} // namespace rs
