// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/gdi_line.h"

#include <algorithm>

namespace rs {

namespace {

__extension__ using Wide = __int128;

constexpr std::int64_t kLast = kPictureSize - 1;

Wide floorDiv(Wide n, Wide d) { // d > 0
    Wide q = n / d;
    if (n % d != 0 && n < 0) --q;
    return q;
}

// One line in major/minor form: pixel i (0 <= i < len) sits at major p0 + step * i and minor
// q0 + ceil((2 * i * dq - len) / (2 * len)).
struct Stepper {
    std::int64_t p0, q0, dq, len;
    int step;

    std::int64_t minorOffset(std::int64_t i) const {
        const Wide n = Wide{2} * i * dq - len;
        const Wide d = Wide{2} * len;
        return static_cast<std::int64_t>(floorDiv(n + d - 1, d));
    }
    std::int64_t minor(std::int64_t i) const { return q0 + minorOffset(i); }
};

// Smallest i in [lo, hi + 1] for which the monotone predicate holds.
template <class Pred> std::int64_t firstTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
    std::int64_t end = hi + 1;
    while (lo < end) {
        const std::int64_t mid = lo + (end - lo) / 2;
        if (pred(mid))
            end = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

bool inside(std::int64_t v) {
    return v >= 0 && v <= kLast;
}

} // namespace

void drawGdiLine(Colour* pixels, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 Colour c) {
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) return;
    if (std::max(x0, x1) < 0 || std::min(x0, x1) > kLast || std::max(y0, y1) < 0 || std::min(y0, y1) > kLast)
        return;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t dp = xMajor ? dx : dy;
    Stepper s{xMajor ? x0 : y0, xMajor ? y0 : x0, xMajor ? dy : dx, dp < 0 ? -dp : dp, dp < 0 ? -1 : 1};

    // Visible part of the major axis, then of the minor axis (monotone in i, at most 601 candidates).
    std::int64_t lo = 0, hi = s.len - 1;
    const bool whole = inside(x0) && inside(y0) && inside(x1) && inside(y1);
    if (whole) {
        // nothing to clip: the usual short line of a frame
    } else if (s.step > 0) {
        lo = std::max(lo, -s.p0);
        hi = std::min(hi, kLast - s.p0);
    } else {
        lo = std::max(lo, s.p0 - kLast);
        hi = std::min(hi, s.p0);
    }
    if (lo > hi) return;
    if (!whole && (!inside(s.minor(lo)) || !inside(s.minor(hi)))) {
        const std::int64_t l = lo, h = hi;
        if (s.dq >= 0) {
            lo = std::max(lo, firstTrue(l, h, [&](std::int64_t i) { return s.minor(i) >= 0; }));
            hi = std::min(hi, firstTrue(l, h, [&](std::int64_t i) { return s.minor(i) > kLast; }) - 1);
        } else {
            lo = std::max(lo, firstTrue(l, h, [&](std::int64_t i) { return s.minor(i) <= kLast; }));
            hi = std::min(hi, firstTrue(l, h, [&](std::int64_t i) { return s.minor(i) < 0; }) - 1);
        }
        if (lo > hi) return;
    }

    // Bresenham from pixel lo: r is the remainder of the rounded division, kept in [0, 2 * len).
    const std::int64_t den = 2 * s.len, inc = 2 * s.dq;
    std::int64_t m = 0, r = s.len - 1; // pixel 0: offset ceil(-1/2) = 0
    if (lo > 0) {
        m = s.minorOffset(lo);
        r = static_cast<std::int64_t>(Wide{2} * lo * s.dq - s.len + den - 1 - Wide{den} * m);
    }
    const std::ptrdiff_t p = s.p0 + s.step * lo, q = s.q0 + m;
    const std::ptrdiff_t majorStride = xMajor ? s.step : s.step * kPictureSize;
    const std::ptrdiff_t minorStride = xMajor ? kPictureSize : 1;
    // Indices rather than pointers: the step after the last pixel may point outside the buffer.
    std::ptrdiff_t at = xMajor ? q * kPictureSize + p : p * kPictureSize + q;
    // Branch-free carry: the minor steps of short random lines defeat branch prediction.
    if (inc >= 0) {
        for (std::int64_t i = lo; i <= hi; ++i) {
            pixels[at] = c;
            r += inc;
            const std::int64_t carry = ~((r - den) >> 63); // all ones when r >= den
            r -= den & carry;
            at += majorStride + (minorStride & carry);
        }
    } else {
        for (std::int64_t i = lo; i <= hi; ++i) {
            pixels[at] = c;
            r += inc;
            const std::int64_t borrow = r >> 63; // all ones when r < 0
            r += den & borrow;
            at += majorStride - (minorStride & borrow);
        }
    }
}

} // namespace rs
