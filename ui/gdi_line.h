#pragma once
// Line stepping with GDI's pixel rule, clipped to the picture without walking off-screen pixels.

#include "sim/drawing_surface.h"

#include <cstdint>

namespace rs {

// Largest coordinate magnitude handled exactly; larger inputs are saturated to it.
inline constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 40;

std::int64_t saturateCoordinate(std::int64_t v);

// Sets the pixels of the line (x0, y0) -> (x1, y1) without its end pixel in a kPictureSize-square,
// row-major buffer. Steps along the longer axis; the other coordinate is rounded to nearest with an
// exact half going toward minus infinity. Coordinates must lie within +-kCoordinateLimit.
void drawGdiLine(Colour* pixels, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 Colour c);

} // namespace rs
