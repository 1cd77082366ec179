// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The image control that shows the 601x601 picture of a RasterCanvas, pixel for pixel.

#include "draw/raster_canvas.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace rs {

class X11SharedPixels;

// 0x00BBGGRR to a Qt colour.
inline QColor toQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

class PictureView final : public QWidget {
  public:
    PictureView(const RasterCanvas& canvas, QWidget* parent) : PictureView(canvas, nullptr, parent) {}
    // With the shared memory the canvas draws in (which outlives the view), the view is an X window of
    // its own that the server fills straight from that memory; without it, or when its window turns out
    // not to suit, Qt paints the canvas like any widget.
    PictureView(const RasterCanvas& canvas, X11SharedPixels* shared, QWidget* parent);

    // The canvas as an image, without copying; valid while the canvas lives and is not drawn on.
    QImage image() const;

    // Before anything writes into the canvas: waits until the server has read what was shown.
    void beginDrawing();
    // Once the canvas holds a whole frame: shows it, on X11 at once, otherwise at the next paint.
    void showFrame();

    QPaintEngine* paintEngine() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Whether the server can be given the picture now; falls back to Qt's painting for good when the
    // window does not suit.
    bool onScreen();
    void fallBack();

    const RasterCanvas* canvas_;
    X11SharedPixels* shared_;
    bool direct_;
    WId checkedWindow_ = 0; // Qt may make a new one, on another X screen for one
};

} // namespace rs
