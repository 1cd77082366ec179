// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Outline rows of an ellipse inscribed in a w x h pixel box, by the integer ellipse algorithm
// (A. Zingl, 2012) on a (w - 1) x (h - 1) quadrant mirrored inside the box. Both steps are decided
// from the error before the step, which is what the measured outlines show.

#include <cstdint>
#include <vector>

namespace rs {

// Largest box side traced exactly; the arithmetic needs about 16 * side^4 < 2^127.
inline constexpr std::int64_t kEllipseSideLimit = std::int64_t{1} << 30;

// Left pen run of one row of the top half, in columns from the box's left edge. The right run is
// its mirror (column x <-> w - 1 - x); the brush fills the columns strictly between the two runs.
struct EllipseRow {
    std::int64_t penFirst;
    std::int64_t penLast;
};

// Rows first..last (0 = top row) of the top half, i.e. last < (h + 1) / 2. Requires
// 3 <= w, h <= kEllipseSideLimit. The trace starts at the rows asked for, so its cost follows their
// number (and the logarithm of the box), not the size of the box.
std::vector<EllipseRow> traceEllipseRows(std::int64_t w, std::int64_t h, std::int64_t first,
                                         std::int64_t last);

} // namespace rs
