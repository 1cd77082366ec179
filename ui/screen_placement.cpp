// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rs {

void centreOnScreen(QWidget& widget) {
    QScreen* screen = widget.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // Before the first show the frame is not known yet; the client size is the best estimate then.
    const QSize frame = widget.isVisible() ? widget.frameGeometry().size() : widget.size();
    const QPoint frameOrigin(area.x() + (area.width() - frame.width()) / 2,
                             area.y() + (area.height() - frame.height()) / 2);
    widget.move(frameOrigin);
}

} // namespace rs
