// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/dispatch_guard.h"

#include <QWidget>

#include <exception>

namespace rs {

QString errorBoxText(const QString& message) {
    if (message.isEmpty()) {
        return message;
    }
    // Every UTF-16 unit of a non-ASCII character (a trailing low surrogate included) is above 0x7F,
    // so one comparison by code covers both the ASCII and the Japanese case.
    const char16_t last = message.back().unicode();
    if (last > u'.') {
        return message + QLatin1Char('.');
    }
    return message;
}

QString currentExceptionMessage() {
    try {
        throw;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("不明なエラー");
    }
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
