// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/picture_view.h"

#include "ui/x11_shared_pixels.h"

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

PictureView::PictureView(const RasterCanvas& canvas, X11SharedPixels* shared, QWidget* parent)
    : QWidget(parent), canvas_(&canvas),
      shared_(shared != nullptr && shared->pixels().data() == canvas.data() ? shared : nullptr),
      direct_(shared_ != nullptr) {
    // Once per process, before any view is asked for.
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(pictureAccessible), true);
    // Every pixel is painted from the canvas; nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (direct_) {
        // A window of its own that Qt never paints into. Its parent and siblings stay drawn in the
        // window's one backing store (by default Qt would give each of them an X window too).
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        setAttribute(Qt::WA_DontCreateNativeAncestors);
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
    }
}

QImage PictureView::image() const {
    // The canvas keeps the screen's own layout, so painting it is one plain copy.
    return QImage(reinterpret_cast<const uchar*>(canvas_->data()), RasterCanvas::kSize, RasterCanvas::kSize,
                  RasterCanvas::kSize * 4, QImage::Format_RGB32);
}

QPaintEngine* PictureView::paintEngine() const {
    return direct_ ? nullptr : QWidget::paintEngine();
}

bool PictureView::onScreen() {
    if (!direct_ || internalWinId() == 0 || !isVisible()) return false;
    if (checkedWindow_ != internalWinId()) {
        checkedWindow_ = internalWinId();
        if (!shared_->suits(static_cast<std::uint32_t>(checkedWindow_))) {
            fallBack();
            return false;
        }
    }
    // The server's pixels are the canvas's only at a device pixel ratio of 1.
    if (devicePixelRatioF() != 1.0) {
        fallBack();
        return false;
    }
    return true;
}

void PictureView::fallBack() {
    direct_ = false;
    setAttribute(Qt::WA_PaintOnScreen, false);
    update();
}

void PictureView::beginDrawing() {
    if (shared_ != nullptr) shared_->waitUntilRead();
}

void PictureView::showFrame() {
    if (onScreen()) {
        shared_->show(static_cast<std::uint32_t>(internalWinId()), 0, 0, RasterCanvas::kSize,
                      RasterCanvas::kSize);
        return;
    }
    // Only now may the view repaint: it never shows a frame half drawn.
    update();
}

void PictureView::paintEvent(QPaintEvent* event) {
    // grab() and render() redirect the paint into an image: those take Qt's way.
    if (direct_ && redirected(nullptr) == nullptr) {
        if (onScreen()) {
            const QRect r = event->rect();
            shared_->show(static_cast<std::uint32_t>(internalWinId()), r.x(), r.y(), r.width(), r.height());
        }
        return;
    }
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image(), event->rect());
}

} // namespace rs
