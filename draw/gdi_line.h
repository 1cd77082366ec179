// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Line stepping with GDI's pixel rule, clipped to the picture without walking off-screen pixels.

#include "sim/drawing_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace rs {

// Largest coordinate magnitude handled exactly; larger inputs are saturated to it.
inline constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 40;

inline std::int64_t saturateCoordinate(std::int64_t v) {
    return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

// A figure's box as both surfaces take it: every corner saturated, then left <= right and top <= bottom.
inline void normaliseBox(std::int64_t& x1, std::int64_t& y1, std::int64_t& x2, std::int64_t& y2) {
    x1 = saturateCoordinate(x1);
    y1 = saturateCoordinate(y1);
    x2 = saturateCoordinate(x2);
    y2 = saturateCoordinate(y2);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
}

// True when 0 <= v < kPictureSize.
inline bool inPicture(std::int64_t v) {
    return static_cast<std::uint64_t>(v) < std::uint64_t{kPictureSize};
}

// Sets the pixels of the line (x0, y0) -> (x1, y1) without its end pixel in a kPictureSize-square,
// row-major buffer, to c (in whatever layout the buffer keeps). Steps along the longer axis; the other coordinate is rounded to nearest with an
// exact half going toward minus infinity. Coordinates must lie within +-kCoordinateLimit.
void drawGdiLine(Colour* pixels, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 Colour c);

// The same pixels as drawGdiLine for a line whose both ends lie in the picture, the usual few-pixel
// line of a frame: no clipping and no wide arithmetic, so it is cheap enough to inline at the caller.
inline void drawGdiLineInPicture(Colour* pixels, int x0, int y0, int x1, int y1, Colour c) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const bool xMajor = ax >= ay;
    const int len = xMajor ? ax : ay;
    if (len <= 1) { // most lines of a frame: nothing, or just the start pixel
        if (len == 1) pixels[static_cast<std::ptrdiff_t>(y0) * kPictureSize + x0] = c;
        return;
    }
    const int dq = xMajor ? dy : dx;
    const std::ptrdiff_t majorStride = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -kPictureSize : kPictureSize);
    const std::ptrdiff_t minorStride = (xMajor ? kPictureSize : 1) * (dq < 0 ? -1 : 1);
    // Minor offset of pixel i: ceil((2 i dq - len) / 2 len) for dq >= 0; for dq < 0 its magnitude is
    // floor((2 i |dq| + len) / 2 len), as exact halves go toward minus infinity either way. r is the
    // running remainder of that division.
    const int den = 2 * len, inc = 2 * (dq < 0 ? -dq : dq);
    int r = len - (dq < 0 ? 0 : 1);
    // An index rather than a pointer: the step after the last pixel may point outside the buffer.
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y0) * kPictureSize + x0;
    for (int i = 0; i < len; ++i) {
        pixels[at] = c;
        r += inc;
        const int carry = (den - 1 - r) >> 31; // all ones when r >= den
        r -= den & carry;
        at += majorStride + (minorStride & carry);
    }
}

} // namespace rs
