// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The 601x601 picture: a software rasteriser that follows GDI's pixel rules exactly.

#include "draw/gdi_ellipse.h"
#include "sim/drawing_surface.h"

#include <array>
#include <vector>

namespace rs {

class RasterCanvas final : public DrawingSurface {
  public:
    static constexpr int kSize = kPictureSize;

    RasterCanvas(); // every pixel white, black pen, white brush, current position (0, 0)

    void setBrushColour(Colour c) override;
    void setPenColour(Colour c) override;
    void fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) override;
    void ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void moveTo(std::int64_t x, std::int64_t y) override;
    void lineTo(std::int64_t x, std::int64_t y) override;

    Colour pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * kSize + x]; }
    // Row-major, kSize * kSize pixels of 0x00BBGGRR; in memory each is R, G, B, 0 on little-endian.
    const Colour* data() const { return pixels_.data(); }

  private:
    // Columns from..to of row y, both inclusive, clipped to the picture.
    void span(std::int64_t y, std::int64_t from, std::int64_t to, Colour c);
    const std::vector<EllipseRow>& cachedRows(std::int64_t w, std::int64_t h);
    void frame(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2); // normalised box
    void anyEllipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

    std::vector<Colour> pixels_;
    // Outline rows of the last few ellipse boxes: a frame draws up to four rings of their own sizes,
    // so one slot each keeps steady frames free of tracing and allocation.
    struct RowCacheSlot {
        std::int64_t w = 0;
        std::int64_t h = 0;
        std::vector<EllipseRow> rows;
    };
    std::array<RowCacheSlot, 4> rowCache_;
    std::size_t nextSlot_ = 0;
    Colour pen_ = 0x00000000;
    Colour brush_ = 0x00FFFFFF;
    std::int64_t curX_ = 0;
    std::int64_t curY_ = 0;
};

} // namespace rs
