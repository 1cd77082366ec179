// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/picture_view.h"

#include <QPainter>
#include <QPaintEvent>

namespace rs {

PictureView::PictureView(const RasterCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(&canvas) {
    // Every pixel is painted from the canvas; nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PictureView::image() const {
    // Each 0x00BBGGRR pixel lies in memory as R, G, B, 0: exactly RGBX8888.
    return QImage(reinterpret_cast<const uchar*>(canvas_->data()), RasterCanvas::kSize, RasterCanvas::kSize,
                  RasterCanvas::kSize * 4, QImage::Format_RGBX8888);
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image(), event->rect());
}

} // namespace rs
