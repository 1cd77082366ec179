// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/file_dialog.h"

#include <utility>

namespace rs {

FileDialog::FileDialog(Interaction& ui, Kind kind, QString filter)
    : ui_(&ui), kind_(kind), filter_(std::move(filter)) {}

bool FileDialog::execute() {
    const std::optional<QString> chosen =
        kind_ == Kind::Open ? ui_->openName(filter_, fileName_) : ui_->saveName(filter_, fileName_);
    if (!chosen) {
        return false;
    }
    fileName_ = *chosen;
    return true;
}

} // namespace rs
