// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/gdi_ellipse.h"

#include <algorithm>
#include <limits>

namespace rs {

namespace {

__extension__ using Wide = __int128;

// The quadrant walk starts at the middle row on the left edge and climbs to the top row. Its state is a
// column x of the upper-left quadrant and a count k of rows climbed; every step adds the current
// increment to the error, so the error and both increments are closed forms of (x, k). That lets a trace
// start at any row instead of walking there. With sides up to kEllipseSideLimit every value stays below
// 2^124.
class Walk {
  public:
    Walk(std::int64_t w, std::int64_t h)
        : a2_(Wide{w - 1} * (w - 1)), b2_(Wide{h - 1} * (h - 1)), dx0_(4 * Wide{2 - w} * b2_),
          dy0_(4 * Wide{((h - 1) & 1) + 1} * a2_), err0_(dx0_ + dy0_ + ((h - 1) & 1) * a2_),
          xEnd_((w - 1) / 2 + 1) {}

    // The walk ends once x reaches this column (its mirror image has been reached).
    std::int64_t xEnd() const { return xEnd_; }
    // The two decisions at (x, k), both taken from the error before the step.
    bool climbs(std::int64_t x, std::int64_t k) const { return 2 * err(x, k) <= dy0_ + 8 * a2_ * k; }
    bool advances(std::int64_t x, std::int64_t k) const { return 2 * err(x, k) >= dx0_ + 8 * b2_ * x; }

  private:
    Wide err(Wide x, Wide k) const {
        return err0_ + k * dy0_ + 4 * a2_ * k * (k + 1) + x * dx0_ + 4 * b2_ * x * (x + 1);
    }

    Wide a2_, b2_, dx0_, dy0_, err0_;
    std::int64_t xEnd_;
};

// Smallest v in [lo, hi] with pred(v), or hi + 1 when there is none; pred must be false and then true
// over [lo, hi]. The search gallops outward from the guess, so a near guess costs a few probes.
template <class Pred>
std::int64_t firstTrue(std::int64_t lo, std::int64_t hi, std::int64_t guess, Pred pred) {
    if (lo > hi) return lo;
    // pred(below) is false or below == lo - 1; pred(top) is true or top == hi + 1.
    std::int64_t below = lo - 1, top = hi + 1;
    const std::int64_t g = std::clamp(guess, lo, hi);
    std::int64_t step = 1;
    if (pred(g)) {
        top = g;
        while (top - step >= lo && pred(top - step)) {
            top -= step;
            step *= 2;
        }
        below = std::max(top - step, lo - 1);
    } else {
        below = g;
        while (below + step <= hi && !pred(below + step)) {
            below += step;
            step *= 2;
        }
        top = std::min(below + step, hi + 1);
    }
    while (top - below > 1) {
        const std::int64_t mid = below + (top - below) / 2;
        (pred(mid) ? top : below) = mid;
    }
    return top;
}

} // namespace

std::vector<EllipseRow> traceEllipseRows(std::int64_t w, std::int64_t h, std::int64_t first,
                                         std::int64_t last) {
    std::vector<EllipseRow> rows(static_cast<std::size_t>(last - first + 1),
                                 EllipseRow{std::numeric_limits<std::int64_t>::max(), -1});
    const Walk walk(w, h);
    const std::int64_t xEnd = walk.xEnd();
    const std::int64_t middle = h / 2 - ((h - 1) & 1); // the row where the walk starts, k = 0
    const std::int64_t kLo = middle - last, kHi = middle - first;
    auto mark = [&](std::int64_t k, std::int64_t from, std::int64_t to) {
        if (k < kLo || k > kHi) return;
        EllipseRow& r = rows[static_cast<std::size_t>(middle - k - first)];
        r.penFirst = std::min(r.penFirst, from);
        r.penLast = std::max(r.penLast, to);
    };
    // The climbing decision is monotone in x up to xEnd - 2 (the error falls as x grows there), the
    // advancing one over the whole quadrant; both are monotone in k.
    auto firstClimb = [&](std::int64_t from, std::int64_t guess, std::int64_t k) {
        return firstTrue(from, xEnd - 2, guess, [&](std::int64_t x) { return walk.climbs(x, k); });
    };
    // The last column a row k >= 1 visits, as long as the walk goes on past it: the row ends at its first
    // climbing column unless the row below ran further right before it climbed.
    auto rowEnd = [&](std::int64_t k) {
        const std::int64_t stop =
            firstTrue(0, xEnd - 1, 0, [&](std::int64_t x) { return !walk.advances(x, k - 1); });
        return std::max(firstClimb(0, 0, k), stop);
    };

    // Start on the last state of the row below the first one wanted, or of the last row the walk
    // completes before that; the middle rows simply start at the beginning.
    std::int64_t x = 0, k = 0;
    if (kLo >= 2) {
        std::int64_t from = kLo - 1;
        if (rowEnd(from) > xEnd - 2)
            from = firstTrue(1, kLo - 1, 1, [&](std::int64_t j) { return rowEnd(j) > xEnd - 2; }) - 1;
        if (from >= 1) {
            x = rowEnd(from);
            k = from;
        }
    }
    std::int64_t run = 1; // the last straight run along a row: the next one is much the same length
    while (x < xEnd && k <= kHi) {
        const bool climbs = walk.climbs(x, k), advances = walk.advances(x, k);
        if (climbs && !advances) { // straight up this column to the row where it advances
            const std::int64_t top =
                firstTrue(k + 1, kHi + 1, k + 1, [&](std::int64_t j) { return walk.advances(x, j); });
            for (std::int64_t j = std::max(k, kLo); j < std::min(top, kHi + 1); ++j)
                mark(j, x, x);
            k = top;
            continue;
        }
        if (advances && !climbs && x + 1 < xEnd) { // straight along this row to the column where it climbs
            const std::int64_t end = firstClimb(x + 1, x + run, k);
            mark(k, x, end - 1);
            run = end - x;
            x = end;
            continue;
        }
        mark(k, x, x);
        if (!climbs && !advances) break; // the walk never stalls; this only guards the loop
        x += advances;
        k += climbs;
    }
    // Flat boxes stop early; the remaining rows up to the top get the column before the end.
    for (std::int64_t j = std::max(k, kLo); j <= std::min(middle, kHi); ++j)
        mark(j, x - 1, x - 1);
    return rows;
}

} // namespace rs
