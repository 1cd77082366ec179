// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/raster_canvas.h"

#include "draw/gdi_line.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace rs {

namespace {

constexpr std::int64_t kLast = RasterCanvas::kSize - 1;

// Boxes up to this size keep all their outline rows cached.
constexpr std::int64_t kCachedSide = 1024;

// Runs of one colour. The background fill is most of a light frame's time and the compiler stores one
// pixel at a time, so long runs use vector stores: 32 bytes where the processor has them, else 16.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void fillWide(Pixel* p, std::size_t n, Pixel c) {
    const __m256i v = _mm256_set1_epi32(static_cast<int>(c));
    for (; n >= 16; n -= 16, p += 16) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 8), v);
    }
    for (; n >= 4; n -= 4, p += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    for (; n > 0; --n)
        *p++ = c;
}

void fillNarrow(Pixel* p, std::size_t n, Pixel c) {
    const __m128i v = _mm_set1_epi32(static_cast<int>(c));
    for (; n >= 8; n -= 8, p += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), v);
    }
    for (; n > 0; --n)
        *p++ = c;
}

void fillLong(Pixel* p, std::size_t n, Pixel c) {
    // Chosen on first use, so that a canvas filled during another file's static setup is safe too.
    static const auto fill = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") ? fillWide : fillNarrow;
    }();
    fill(p, n, c);
}
#else
void fillLong(Pixel* p, std::size_t n, Pixel c) {
    std::fill(p, p + n, c);
}
#endif

// Reads one pixel of every cache line, in order. Between the window's frames the picture leaves the
// caches; filled by stores alone it comes back slowly and the figures drawn all over it next still miss
// it, while loads in order bring it back at streaming speed first: the heaviest frame after the window's
// idle tick costs about a sixth less.
void readLines(const Pixel* p, std::size_t n) {
    constexpr std::size_t kLine = 64 / sizeof(Pixel);
    const volatile Pixel* const v = p;
    for (std::size_t i = 0; i < n; i += kLine)
        static_cast<void>(v[i]);
}

inline void fillPixels(Pixel* p, std::size_t n, Pixel c) {
    if (n >= 16) {
        fillLong(p, n, c);
        return;
    }
    for (; n > 0; --n)
        *p++ = c;
}

} // namespace

RasterCanvas::RasterCanvas() : own_(kPixelCount, pixelOf(0x00FFFFFF)), pixels_(own_.data()) {}

RasterCanvas::RasterCanvas(Memory memory) : pixels_(memory.data()) {
    fillPixels(pixels_, kPixelCount, pixelOf(0x00FFFFFF));
}

RasterCanvas::RasterCanvas(const RasterCanvas& other)
    : DrawingSurface(), own_(other.pixels_, other.pixels_ + kPixelCount), pixels_(own_.data()) {
    copyStateFrom(other);
}

RasterCanvas& RasterCanvas::operator=(const RasterCanvas& other) {
    if (pixels_ != other.pixels_) std::copy_n(other.pixels_, kPixelCount, pixels_);
    copyStateFrom(other);
    return *this;
}

void RasterCanvas::copyStateFrom(const RasterCanvas& other) {
    rowCache_ = other.rowCache_;
    nextSlot_ = other.nextSlot_;
    pen_ = other.pen_;
    brush_ = other.brush_;
    curX_ = other.curX_;
    curY_ = other.curY_;
    figures_ = other.figures_;
}

void RasterCanvas::span(std::int64_t y, std::int64_t from, std::int64_t to, Pixel c) {
    if (y < 0 || y > kLast) return;
    from = std::max<std::int64_t>(from, 0);
    to = std::min(to, kLast);
    if (from > to) return;
    fillPixels(pixels_ + y * kSize + from, static_cast<std::size_t>(to - from + 1), c);
}

void RasterCanvas::fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    // Clamping first keeps right - 1 and bottom - 1 safe for every input.
    left = std::clamp<std::int64_t>(left, 0, kSize);
    right = std::clamp<std::int64_t>(right, 0, kSize);
    top = std::clamp<std::int64_t>(top, 0, kSize);
    bottom = std::clamp<std::int64_t>(bottom, 0, kSize);
    if (left == 0 && right == kSize && top < bottom) { // whole rows are one run
        const std::size_t n = static_cast<std::size_t>((bottom - top) * kSize);
        if (figures_ >= kDenseFigures) readLines(pixels_ + top * kSize, n);
        if (n == kPixelCount) figures_ = 0;
        fillPixels(pixels_ + top * kSize, n, brush_);
        return;
    }
    for (std::int64_t y = top; y < bottom; ++y)
        span(y, left, right - 1, brush_);
}

void RasterCanvas::frame(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    const std::int64_t w = x2 - x1, h = y2 - y1;
    if (w == 0 || h == 0 || (w == 1 && h == 1)) return;
    if (w <= 2 || h <= 2) { // all outline
        const std::int64_t top = std::max<std::int64_t>(y1, 0), bottom = std::min(y2 - 1, kLast);
        for (std::int64_t y = top; y <= bottom; ++y)
            span(y, x1, x2 - 1, pen_);
        return;
    }
    span(y1, x1, x2 - 1, pen_);
    span(y2 - 1, x1, x2 - 1, pen_);
    const std::int64_t top = std::max<std::int64_t>(y1 + 1, 0), bottom = std::min(y2 - 2, kLast);
    for (std::int64_t y = top; y <= bottom; ++y) {
        span(y, x1 + 1, x2 - 2, brush_);
        span(y, x1, x1, pen_);
        span(y, x2 - 1, x2 - 1, pen_);
    }
}

const std::vector<EllipseRow>& RasterCanvas::cachedRows(std::int64_t w, std::int64_t h) {
    for (const RowCacheSlot& slot : rowCache_) {
        if (slot.w == w && slot.h == h) return slot.rows;
    }
    RowCacheSlot& slot = rowCache_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % rowCache_.size();
    slot.rows = traceEllipseRows(w, h, 0, (h + 1) / 2 - 1);
    slot.w = w;
    slot.h = h;
    return slot.rows;
}

void RasterCanvas::rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    ++figures_;
    normaliseBox(x1, y1, x2, y2);
    frame(x1, y1, x2, y2);
}

// Kept apart so that the particle's path above stays a leaf without the setup of this one.
void RasterCanvas::anyEllipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    normaliseBox(x1, y1, x2, y2);
    const std::int64_t w = x2 - x1, h = y2 - y1;
    if (w <= 2 || h <= 2) {
        frame(x1, y1, x2, y2);
        return;
    }
    if (x2 <= 0 || x1 > kLast || y2 <= 0 || y1 > kLast) return;
    if (x1 >= 0 && y1 >= 0 && x2 <= kSize && y2 <= kSize) {
        // Wholly inside, so every box is small enough for the cache: plain row fills.
        const std::vector<EllipseRow>& rows = cachedRows(w, h);
        const std::int64_t half = (h + 1) / 2;
        Pixel* row = pixels_ + y1 * kSize + x1;
        for (std::int64_t r = 0; r < h; ++r, row += kSize) {
            const EllipseRow& e = rows[static_cast<std::size_t>(r < half ? r : h - 1 - r)];
            if (e.penLast + 1 < w - 1 - e.penLast)
                std::fill(row + e.penLast + 1, row + w - 1 - e.penLast, brush_);
            std::fill(row + e.penFirst, row + e.penLast + 1, pen_);
            std::fill(row + w - 1 - e.penLast, row + w - e.penFirst, pen_);
        }
        return;
    }
    if (w > kEllipseSideLimit || h > kEllipseSideLimit) return; // far beyond anything drawn

    // Rows of the top half needed for the visible rows of both halves.
    const std::int64_t half = (h + 1) / 2;
    const std::int64_t ya = std::max<std::int64_t>(y1, 0) - y1, yb = std::min(y2 - 1, kLast) - y1;
    std::int64_t first = half, last = -1;
    if (ya < half) {
        first = std::min(first, ya);
        last = std::max(last, std::min(yb, half - 1));
    }
    if (yb >= half) {
        first = std::min(first, h - 1 - yb);
        last = std::max(last, h - 1 - std::max(ya, half));
    }

    const std::vector<EllipseRow>* rows;
    std::vector<EllipseRow> local;
    std::int64_t base = first;
    if (w <= kCachedSide && h <= kCachedSide) {
        rows = &cachedRows(w, h);
        base = 0;
    } else {
        local = traceEllipseRows(w, h, first, last);
        rows = &local;
    }

    for (std::int64_t r = ya; r <= yb; ++r) {
        const std::int64_t k = r < half ? r : h - 1 - r;
        const EllipseRow& e = (*rows)[static_cast<std::size_t>(k - base)];
        const std::int64_t y = y1 + r;
        span(y, x1 + e.penLast + 1, x2 - 2 - e.penLast, brush_);
        span(y, x1 + e.penFirst, x1 + e.penLast, pen_);
        span(y, x2 - 1 - e.penLast, x2 - 1 - e.penFirst, pen_);
    }
}

void RasterCanvas::lineAnywhere(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    drawGdiLine(pixels_, saturateCoordinate(x0), saturateCoordinate(y0), saturateCoordinate(x1),
                saturateCoordinate(y1), pen_);
}

} // namespace rs
