// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The 601x601 picture: a software rasteriser that follows GDI's pixel rules exactly.

#include "draw/gdi_ellipse.h"
#include "draw/gdi_line.h"
#include "sim/drawing_surface.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rs {

// A pixel as the screen keeps it, 0xFFRRGGBB: the layout of Qt's RGB32 and of X11's 24-bit visuals, so
// the window shows a frame with a single copy. Colours come and go as 0x00BBGGRR.
using Pixel = std::uint32_t;
// Red and blue trade places: one byte swap, as the pen changes colour several times per point.
constexpr Pixel pixelOf(Colour c) {
    return 0xFF000000u | __builtin_bswap32(c) >> 8;
}
constexpr Colour colourOf(Pixel p) {
    return __builtin_bswap32(p) >> 8;
}

class RasterCanvas final : public DrawingSurface {
  public:
    static constexpr int kSize = kPictureSize;
    static constexpr std::size_t kPixelCount = static_cast<std::size_t>(kSize) * kSize;
    using Memory = std::span<Pixel, kPixelCount>;

    RasterCanvas(); // every pixel white, black pen, white brush, current position (0, 0)
    // The same, drawn in memory that belongs to the caller and outlives the canvas: pixels the screen
    // reads directly, so a frame reaches it without a copy.
    explicit RasterCanvas(Memory memory);
    // A copy is a picture of its own in memory of its own, wherever the original draws; assignment
    // copies into this canvas's memory and keeps it. Moving copies too: a canvas never gives its
    // memory away, so a moved-from one still draws where it did.
    RasterCanvas(const RasterCanvas& other);
    RasterCanvas& operator=(const RasterCanvas& other);

    // The calls of every point of a frame are inline: the renderer calls them directly on this class.
    void setBrushColour(Colour c) override { brush_ = pixelOf(c); }
    void setPenColour(Colour c) override { pen_ = pixelOf(c); }
    void fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) override;
    void ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override {
        if (inPicture(x1) && inPicture(y1) && x2 == x1 + 6 && y2 == y1 + 6 && x2 <= kSize && y2 <= kSize) {
            drawParticle(pixels_ + y1 * kSize + x1);
            ++figures_;
            return;
        }
        anyEllipse(x1, y1, x2, y2);
    }
    void rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void moveTo(std::int64_t x, std::int64_t y) override {
        curX_ = x;
        curY_ = y;
    }
    void lineTo(std::int64_t x, std::int64_t y) override {
        const std::int64_t x0 = curX_, y0 = curY_;
        curX_ = x;
        curY_ = y;
        if (inPicture(x0) && inPicture(y0) && inPicture(x) && inPicture(y)) {
            drawGdiLineInPicture(pixels_, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x),
                                 static_cast<int>(y), pen_);
            return;
        }
        lineAnywhere(x0, y0, x, y);
    }

    // The grey x of an undrawable point: moveTo (x - 2, y - 2), lineTo (x + 2, y + 2), moveTo (x - 2,
    // y + 2), lineTo (x + 2, y - 2). Inside the picture those diagonals are four pixels each, written
    // directly: scenes of far sources have a cross at every point.
    void cross(std::int64_t x, std::int64_t y) {
        if (inPicture(x - 2) && inPicture(y - 2) && inPicture(x + 2) && inPicture(y + 2)) {
            Pixel* const p = pixels_ + (y - 2) * kSize + (x - 2);
            for (std::ptrdiff_t i = 0; i < 4; ++i) {
                p[i * (kSize + 1)] = pen_;
                p[(4 - i) * kSize + i] = pen_;
            }
            curX_ = x + 2;
            curY_ = y - 2;
            return;
        }
        moveTo(x - 2, y - 2);
        lineTo(x + 2, y + 2);
        moveTo(x - 2, y + 2);
        lineTo(x + 2, y - 2);
    }

    // The component lines of a point: for k = 1..active, setPenColour (colours[k]), moveTo (x, y),
    // lineTo (x + dx[k], y + dy[k]). Most points of a frame move less than two pixels from rest; then a
    // line draws at most its start pixel, the rest point, and only the last drawn colour stays there.
    template <std::size_t N>
    void fan(std::int64_t x, std::int64_t y, const std::array<std::int64_t, N>& dx,
             const std::array<std::int64_t, N>& dy, const Colour* colours, int active) {
        if (active <= 0) return;
        const std::size_t last = std::min(static_cast<std::size_t>(active), N - 1); // index 0 is unused
        bool small = inPicture(x) && inPicture(y);
        std::size_t drawn = 0; // the last line that draws its start pixel, 0 for none
        for (std::size_t k = 1; k <= last; ++k) {
            small &= static_cast<std::uint64_t>(dx[k]) + 1 <= 2 && static_cast<std::uint64_t>(dy[k]) + 1 <= 2;
            drawn = (dx[k] | dy[k]) != 0 ? k : drawn;
        }
        if (!small) {
            for (std::size_t k = 1; k <= last; ++k) {
                setPenColour(colours[k]);
                moveTo(x, y);
                lineTo(x + dx[k], y + dy[k]);
            }
            return;
        }
        Pixel& start = pixels_[y * kSize + x];
        const Pixel kept = start;
        start = drawn != 0 ? pixelOf(colours[drawn]) : kept;
        setPenColour(colours[last]);
        curX_ = x + dx[last];
        curY_ = y + dy[last];
    }

    Colour pixel(int x, int y) const { return colourOf(pixels_[static_cast<std::size_t>(y) * kSize + x]); }
    // Row-major, kSize * kSize pixels of 0x00BBGGRR; in memory each is R, G, B, 0 on little-endian.
    const Pixel* data() const { return pixels_; }

  private:
    // Columns from..to of row y, both inclusive, clipped to the picture.
    void span(std::int64_t y, std::int64_t from, std::int64_t to, Pixel c);
    const std::vector<EllipseRow>& cachedRows(std::int64_t w, std::int64_t h);
    void frame(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2); // normalised box
    void anyEllipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);
    void lineAnywhere(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
    // The particle drawn at every drawable point: the 6 x 6 box's outline rows, written out.
    void drawParticle(Pixel* p) const {
        constexpr std::ptrdiff_t kRow = kSize;
        p[2] = p[3] = pen_;
        p += kRow;
        p[1] = p[4] = pen_;
        p[2] = p[3] = brush_;
        for (int r = 0; r < 2; ++r) {
            p += kRow;
            p[0] = p[5] = pen_;
            p[1] = p[2] = p[3] = p[4] = brush_;
        }
        p += kRow;
        p[1] = p[4] = pen_;
        p[2] = p[3] = brush_;
        p += kRow;
        p[2] = p[3] = pen_;
    }

    // Everything but the pixels, as a copy takes it.
    void copyStateFrom(const RasterCanvas& other);

    std::vector<Pixel> own_; // empty when the memory is the caller's
    Pixel* pixels_;
    // Outline rows of the last few ellipse boxes: a frame draws up to four rings of their own sizes,
    // so one slot each keeps steady frames free of tracing and allocation.
    struct RowCacheSlot {
        std::int64_t w = 0;
        std::int64_t h = 0;
        std::vector<EllipseRow> rows;
    };
    std::array<RowCacheSlot, 4> rowCache_;
    std::size_t nextSlot_ = 0;
    // Particles and boxes drawn since the whole picture was last filled. From this many on, frames cover
    // the picture so densely that reading it in before the next fill pays (with fewer, back to back, it
    // costs more than it saves).
    static constexpr std::size_t kDenseFigures = 5000;
    std::size_t figures_ = 0;
    Pixel pen_ = pixelOf(0x00000000);
    Pixel brush_ = pixelOf(0x00FFFFFF);
    std::int64_t curX_ = 0;
    std::int64_t curY_ = 0;
};

} // namespace rs
