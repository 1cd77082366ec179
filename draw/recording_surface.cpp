// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/recording_surface.h"

#include <cstdio>

namespace rs {

void RecordingSurface::colour(const char* op, Colour c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s 0x%08X\n", op, static_cast<unsigned>(c));
    trace_ += buf;
}

void RecordingSurface::op(const char* name, std::initializer_list<std::int64_t> args) {
    trace_ += name;
    for (std::int64_t a : args) {
        trace_ += ' ';
        trace_ += std::to_string(a);
    }
    trace_ += '\n';
}

void RecordingSurface::setBrushColour(Colour c) {
    colour("brush", c);
}
void RecordingSurface::setPenColour(Colour c) {
    colour("pen", c);
}
void RecordingSurface::fillRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    op("fillrect", {l, t, r, b});
}
void RecordingSurface::ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    op("ellipse", {x1, y1, x2, y2});
}
void RecordingSurface::rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    op("rectangle", {x1, y1, x2, y2});
}
void RecordingSurface::moveTo(std::int64_t x, std::int64_t y) {
    op("moveto", {x, y});
}
void RecordingSurface::lineTo(std::int64_t x, std::int64_t y) {
    op("lineto", {x, y});
}

} // namespace rs
