// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/dispatch_guard.h"

#include "scene_io/scene_errors.h"

#include <QWidget>

#include <exception>

namespace rs {

QString errorBoxText(const QString& message) {
    return QString::fromStdString(errorBoxText(message.toStdString()));
}

QString currentExceptionMessage() {
    return QString::fromStdString(currentErrorMessage());
}

void reportCurrentException(Interaction& ui) noexcept {
    try {
        if (QWidget* grabber = QWidget::mouseGrabber()) {
            grabber->releaseMouse();
        }
        ui.showError(QString::fromLatin1(kApplicationTitle), errorBoxText(currentExceptionMessage()));
    } catch (...) {
        // Nothing sensible is left to do when the error box itself fails; the loop goes on.
    }
}

} // namespace rs
