// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/group_box.h"

#include <qdrawutil.h>
#include <QFontMetrics>
#include <QPainter>

namespace rs {

namespace {
constexpr int kCaptionLeft = 8;
constexpr int kCaptionPadding = 1;
} // namespace

QRect GroupBox::captionRect() const {
    const QFontMetrics metrics(font());
    return QRect(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding, metrics.height());
}

void GroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, 0, 0);
    qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
    if (title().isEmpty()) {
        return;
    }
    const QRect caption = captionRect();
    painter.fillRect(caption, palette().window());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(caption.adjusted(kCaptionPadding, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextHideMnemonic, title());
}

} // namespace rs
