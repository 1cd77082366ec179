// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The image control that shows the 601x601 picture of a RasterCanvas, pixel for pixel.

#include "draw/raster_canvas.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace rs {

// 0x00BBGGRR to a Qt colour.
inline QColor toQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

class PictureView final : public QWidget {
  public:
    PictureView(const RasterCanvas& canvas, QWidget* parent);

    // The canvas as an image, without copying; valid while the canvas lives and is not drawn on.
    QImage image() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const RasterCanvas* canvas_;
};

} // namespace rs
