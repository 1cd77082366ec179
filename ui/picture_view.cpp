// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/picture_view.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QPaintEvent>

namespace rs {

namespace {

// Assistive technology sees the picture as an image rather than as an empty stretch of window.
QAccessibleInterface* pictureAccessible(const QString&, QObject* object) {
    auto* view = dynamic_cast<PictureView*>(object);
    return view != nullptr ? new QAccessibleWidget(view, QAccessible::Graphic) : nullptr;
}

} // namespace

PictureView::PictureView(const RasterCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(&canvas) {
    // Once per process, before any view is asked for.
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(pictureAccessible), true);
    // Every pixel is painted from the canvas; nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PictureView::image() const {
    // The canvas keeps the screen's own layout, so painting it is one plain copy.
    return QImage(reinterpret_cast<const uchar*>(canvas_->data()), RasterCanvas::kSize, RasterCanvas::kSize,
                  RasterCanvas::kSize * 4, QImage::Format_RGB32);
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image(), event->rect());
}

} // namespace rs
