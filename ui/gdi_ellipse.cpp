// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/gdi_ellipse.h"

#include <limits>

namespace rs {

namespace {

__extension__ using Wide = __int128;

// The quadrant walk starts at the middle row on the left edge and climbs to the top row; each
// visited pixel of the upper-left quadrant widens its row's pen run.
template <class T>
void trace(std::int64_t w, std::int64_t h, std::int64_t first, std::int64_t last,
           std::vector<EllipseRow>& rows) {
    const T a = w - 1, b = h - 1;
    const std::int64_t b1 = (h - 1) & 1;
    T dx = 4 * (1 - a) * b * b;
    T dy = 4 * (b1 + 1) * a * a;
    T err = dx + dy + b1 * a * a;
    const T stepY = 8 * a * a, stepX = 8 * b * b;
    std::int64_t x0 = 0, x1 = w - 1;
    std::int64_t up = h / 2 - b1, down = h / 2; // rows of the upper and lower quadrants
    auto plot = [&](std::int64_t x) {
        if (up > last) return;
        EllipseRow& r = rows[static_cast<std::size_t>(up - first)];
        if (x < r.penFirst) r.penFirst = x;
        if (x > r.penLast) r.penLast = x;
    };
    do {
        plot(x0);
        const T e2 = 2 * err;
        if (e2 <= dy) {
            --up;
            ++down;
            dy += stepY;
            err += dy;
        }
        if (e2 >= dx) {
            ++x0;
            --x1;
            dx += stepX;
            err += dx;
        }
        if (up < first) return;
    } while (x0 <= x1);
    // Flat boxes stop early; the remaining rows get the middle pixel.
    while (down - up <= h - 1 && up >= first) {
        plot(x0 - 1);
        --up;
        ++down;
    }
}

} // namespace

std::vector<EllipseRow> traceEllipseRows(std::int64_t w, std::int64_t h, std::int64_t first,
                                         std::int64_t last) {
    std::vector<EllipseRow> rows(static_cast<std::size_t>(last - first + 1),
                                 EllipseRow{std::numeric_limits<std::int64_t>::max(), -1});
    // 64-bit arithmetic suffices while 8 * side^3 stays far below 2^63.
    if (w <= (1 << 16) && h <= (1 << 16))
        trace<std::int64_t>(w, h, first, last, rows);
    else
        trace<Wide>(w, h, first, last, rows);
    return rows;
}

} // namespace rs
