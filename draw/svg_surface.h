// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The picture as an SVG 1.1 drawing of 601 x 601 user units: one element per drawing operation, placed
// so that it covers the pixels the GDI rules set. Pixel (x, y) is the unit square from (x, y) to
// (x + 1, y + 1); a 1-unit stroke through pixel centres covers one row or column of pixels.

#include "sim/drawing_surface.h"

#include <string>

namespace rs {

class SvgSurface final : public DrawingSurface {
  public:
    // Black pen, white brush, current position (0, 0); nothing drawn, so the drawing is transparent.
    SvgSurface() = default;

    void setBrushColour(Colour c) override { brush_ = c; }
    void setPenColour(Colour c) override { pen_ = c; }
    void fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) override;
    void ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void moveTo(std::int64_t x, std::int64_t y) override;
    void lineTo(std::int64_t x, std::int64_t y) override;

    // The whole document, UTF-8 (all ASCII), ending in a newline.
    std::string document() const;

  private:
    void closePath();
    void box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, bool round);

    std::string body_;
    std::string path_; // the lines of one pen colour in a row, drawn as one path
    Colour pathPen_ = 0;
    Colour pen_ = 0x00000000;
    Colour brush_ = 0x00FFFFFF;
    std::int64_t curX_ = 0;
    std::int64_t curY_ = 0;
};

} // namespace rs
