#include "ui/raster_canvas.h"

#include <algorithm>

namespace rs {

namespace {

// Clamps a box edge into [0, kSize] so that the arithmetic below stays in int.
int clampEdge(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, RasterCanvas::kSize));
}

} // namespace

RasterCanvas::RasterCanvas() : pixels_(static_cast<std::size_t>(kSize) * kSize, 0x00FFFFFF) {}

void RasterCanvas::setBrushColour(Colour c) {
    brush_ = c;
}
void RasterCanvas::setPenColour(Colour c) {
    pen_ = c;
}

void RasterCanvas::fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    const int l = clampEdge(left), r = clampEdge(right), t = clampEdge(top), b = clampEdge(bottom);
    if (l >= r || t >= b) return;
    for (int y = t; y < b; ++y) {
        Colour* row = pixels_.data() + static_cast<std::size_t>(y) * kSize;
        std::fill(row + l, row + r, brush_);
    }
}

void RasterCanvas::ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    rectangle(x1, y1, x2, y2);
}

void RasterCanvas::rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    fillRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

void RasterCanvas::moveTo(std::int64_t x, std::int64_t y) {
    curX_ = x;
    curY_ = y;
}

void RasterCanvas::lineTo(std::int64_t x, std::int64_t y) {
    curX_ = x;
    curY_ = y;
}

} // namespace rs
