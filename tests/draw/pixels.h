// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Helpers shared by the surface tests: pixel sets and a canvas with a known background.

#include "draw/raster_canvas.h"

#include <set>
#include <utility>

namespace rs::test {

inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kPen = 0x000000FF;
inline constexpr Colour kBrush = 0x00FF0000;

using PixelSet = std::set<std::pair<int, int>>;

// Every pixel of the canvas that has the given colour.
inline PixelSet pixelsOf(const RasterCanvas& c, Colour colour) {
    PixelSet out;
    for (int y = 0; y < RasterCanvas::kSize; ++y)
        for (int x = 0; x < RasterCanvas::kSize; ++x)
            if (c.pixel(x, y) == colour) out.insert({x, y});
    return out;
}

inline PixelSet notWhite(const RasterCanvas& c) {
    PixelSet out;
    for (int y = 0; y < RasterCanvas::kSize; ++y)
        for (int x = 0; x < RasterCanvas::kSize; ++x)
            if (c.pixel(x, y) != kWhite) out.insert({x, y});
    return out;
}

} // namespace rs::test
