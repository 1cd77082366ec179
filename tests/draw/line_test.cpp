// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/gdi_line.h"
#include "tests/draw/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace rs::test {
namespace {

__extension__ using Wide = __int128;

// Independent statement of the rule: pixel i of the major axis has the minor coordinate
// start + i * dq / len rounded to nearest, an exact half going down.
std::pair<std::int64_t, std::int64_t> referencePixel(std::int64_t x0, std::int64_t y0, std::int64_t x1,
                                                     std::int64_t y1, std::int64_t i) {
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t dp = xMajor ? dx : dy, dq = xMajor ? dy : dx, len = dp < 0 ? -dp : dp;
    const Wide num = Wide{2} * i * dq + len, den = Wide{2} * len; // v + 1/2
    Wide fl = num / den;
    if (num % den != 0 && num < 0) --fl;
    if (num % den == 0) --fl; // exact half: toward minus infinity
    const std::int64_t major = (xMajor ? x0 : y0) + (dp < 0 ? -i : i);
    const std::int64_t minor = (xMajor ? y0 : x0) + static_cast<std::int64_t>(fl);
    return xMajor ? std::pair{major, minor} : std::pair{minor, major};
}

// Steps i over [from, to] (clamped to the line) and keeps the pixels inside the picture.
PixelSet referenceLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                       std::int64_t from = 0, std::int64_t to = std::numeric_limits<std::int64_t>::max()) {
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const std::int64_t len = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    PixelSet out;
    for (std::int64_t i = std::max<std::int64_t>(from, 0); i < len && i <= to; ++i) {
        const auto [x, y] = referencePixel(x0, y0, x1, y1, i);
        if (x >= 0 && x <= 600 && y >= 0 && y <= 600) out.insert({static_cast<int>(x), static_cast<int>(y)});
    }
    return out;
}

PixelSet drawn(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    RasterCanvas c;
    c.setPenColour(kPen);
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
    return notWhite(c);
}

TEST(Line, MeasuredExamplesAndTheirReversals) {
    struct Case {
        int x0, y0, x1, y1;
        PixelSet pixels;
    };
    const Case cases[] = {
        {10, 10, 17, 12, {{10, 10}, {11, 10}, {12, 11}, {13, 11}, {14, 11}, {15, 11}, {16, 12}}},
        {10, 10, 12, 17, {{10, 10}, {10, 11}, {11, 12}, {11, 13}, {11, 14}, {11, 15}, {12, 16}}},
        {10, 10, 3, 8, {{10, 10}, {9, 10}, {8, 9}, {7, 9}, {6, 9}, {5, 9}, {4, 8}}},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(drawn(k.x0, k.y0, k.x1, k.y1), k.pixels);
        // Reversed: the same middle pixels, now with the other end pixel.
        PixelSet reversed = k.pixels;
        reversed.erase({k.x0, k.y0});
        reversed.insert({k.x1, k.y1});
        EXPECT_EQ(drawn(k.x1, k.y1, k.x0, k.y0), reversed);
    }
}

TEST(Line, AllDirectionsFollowTheRoundingRule) {
    // Shallow, steep, diagonal and axis-parallel deltas with exact halves, in every octant.
    const int deltas[][2] = {{7, 2}, {2, 7}, {6, 3}, {3, 6}, {5, 5}, {9, 0}, {0, 9}, {1, 0}, {4, 1}, {10, 5}};
    for (const auto& d : deltas)
        for (int sx : {1, -1})
            for (int sy : {1, -1}) {
                const int x1 = 300 + sx * d[0], y1 = 300 + sy * d[1];
                const PixelSet got = drawn(300, 300, x1, y1);
                EXPECT_EQ(got, referenceLine(300, 300, x1, y1)) << x1 << "," << y1;
                EXPECT_EQ(got.size(), static_cast<std::size_t>(std::max(d[0], d[1])));
                EXPECT_EQ(got.count({x1, y1}), 0u);
                PixelSet back = drawn(x1, y1, 300, 300);
                back.erase({x1, y1});
                PixelSet middle = got;
                middle.erase({300, 300});
                EXPECT_EQ(back, middle) << "reversal of " << x1 << "," << y1;
            }
}

TEST(Line, ZeroLengthSetsNothing) {
    for (std::int64_t p : {std::int64_t{0}, std::int64_t{300}, std::int64_t{600}, std::int64_t{-5}}) {
        EXPECT_TRUE(drawn(p, p, p, p).empty());
    }
}

TEST(Line, CrossOfAnUndrawablePoint) {
    RasterCanvas c;
    c.setPenColour(0x007F7F7F);
    const int px = 200, py = 400;
    c.cross(px, py);
    const PixelSet want = {{px - 2, py - 2}, {px - 1, py - 1}, {px, py},        {px + 1, py + 1},
                           {px - 2, py + 2}, {px - 1, py + 1}, {px + 1, py - 1}};
    EXPECT_EQ(pixelsOf(c, 0x007F7F7F), want);
    EXPECT_EQ(notWhite(c), want);
    // cross() is its four calls, at the picture's edges and beyond them too, and leaves the position
    // where they do.
    const std::int64_t at[][2] = {{300, 300}, {2, 2},   {598, 598}, {1, 300},
                                  {300, 599}, {600, 0}, {-3, 4},    {2147483647, -2147483648}};
    for (const auto& a : at) {
        RasterCanvas direct, calls;
        direct.setPenColour(kPen);
        calls.setPenColour(kPen);
        direct.cross(a[0], a[1]);
        calls.moveTo(a[0] - 2, a[1] - 2);
        calls.lineTo(a[0] + 2, a[1] + 2);
        calls.moveTo(a[0] - 2, a[1] + 2);
        calls.lineTo(a[0] + 2, a[1] - 2);
        direct.lineTo(300, 310);
        calls.lineTo(300, 310);
        EXPECT_EQ(notWhite(direct), notWhite(calls)) << a[0] << " " << a[1];
    }
}

TEST(Line, FanOfAPointIsItsCalls) {
    // A point's component lines at once, against the calls: steps of a pixel or none, a longer one among
    // them, at the picture's edges and outside it, two or four lines; the pen and position after them
    // show in the line that follows.
    using Steps = std::array<std::int64_t, 5>;
    struct Case {
        std::int64_t x, y;
        Steps dx, dy;
        int active;
    };
    const std::int64_t kBig = std::int64_t{1} << 40;
    const Case cases[] = {
        {300, 300, {0, 1, -1, 0, 1}, {0, 0, 1, -1, 1}, 4},
        {300, 300, {0, 1, 0, 0, 0}, {0, 1, 0, 0, 0}, 4},
        {300, 300, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 4},
        {300, 300, {0, 1, 0, -1, 0}, {0, 0, 0, 0, 0}, 2},
        {300, 300, {0, 1, 2, -1, 0}, {0, 0, 1, 0, 0}, 4},
        {300, 300, {0, 1, -1, 1, -7}, {0, 1, 1, 0, 3}, 4},
        {0, 600, {0, -1, 0, 1, -1}, {0, 1, 0, 1, 0}, 4},
        {600, 0, {0, 1, 1, 0, 0}, {0, -1, 0, 0, 0}, 4},
        {-1, 300, {0, 1, 1, 1, 1}, {0, 0, 0, 0, 0}, 4},
        {300, 601, {0, 0, 0, 0, -1}, {0, -1, 0, 0, 0}, 4},
        {300, 300, {0, kBig, 0, 0, 0}, {0, -kBig, 0, 0, 0}, 2},
    };
    const Colour colours[] = {0, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FF00FF};
    for (const Case& c : cases) {
        RasterCanvas direct, calls;
        direct.fan(c.x, c.y, c.dx, c.dy, colours, c.active);
        for (std::size_t k = 1; k <= static_cast<std::size_t>(c.active); ++k) {
            calls.setPenColour(colours[k]);
            calls.moveTo(c.x, c.y);
            calls.lineTo(c.x + c.dx[k], c.y + c.dy[k]);
        }
        direct.lineTo(310, 290);
        calls.lineTo(310, 290);
        EXPECT_TRUE(std::equal(direct.data(), direct.data() + RasterCanvas::kPixelCount, calls.data()))
            << c.x << " " << c.y << " " << c.dx[1] << " " << c.active;
    }
}

TEST(Line, ClippingKeepsPixelsInPlace) {
    EXPECT_EQ(drawn(-5, -5, 5, 5), (PixelSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(drawn(605, 300, 590, 300).size(), 10u); // 600 down to 591
    // Pseudo-random lines crossing the edges, against stepping every pixel.
    std::uint64_t seed = 12345;
    const auto next = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::int64_t>((seed >> 33) % 4001) - 1700; // -1700 .. 2300
    };
    for (int n = 0; n < 300; ++n) {
        const std::int64_t x0 = next(), y0 = next(), x1 = next(), y1 = next();
        ASSERT_EQ(drawn(x0, y0, x1, y1), referenceLine(x0, y0, x1, y1))
            << x0 << " " << y0 << " " << x1 << " " << y1;
    }
}

TEST(Line, InPicturePathMatchesTheClippingPath) {
    // Short lines (the usual case, every octant and exact half) and long ones, random with a fixed seed,
    // each drawn by both paths into its own buffer with a colour of its own.
    std::uint64_t seed = 777;
    const auto next = [&](std::int64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % static_cast<std::uint64_t>(n));
    };
    std::vector<Colour> fast(601 * 601, kWhite), general(601 * 601, kWhite);
    const int spans[] = {3, 9, 25, 101, 601};
    for (int n = 0; n < 20000; ++n) {
        const int span = spans[n % 5];
        const int x0 = next(601), y0 = next(601);
        const int x1 = std::clamp(x0 + next(2 * span + 1) - span, 0, 600);
        const int y1 = std::clamp(y0 + next(2 * span + 1) - span, 0, 600);
        const Colour c = static_cast<Colour>(n);
        drawGdiLineInPicture(fast.data(), x0, y0, x1, y1, c);
        drawGdiLine(general.data(), x0, y0, x1, y1, c);
        if (n % 1000 == 999 || n < 200) {
            ASSERT_EQ(fast, general) << x0 << " " << y0 << " " << x1 << " " << y1;
        }
    }
    EXPECT_EQ(fast, general);
    // The corners and edges of the picture, in both directions.
    const int ends[][4] = {{0, 0, 600, 600}, {600, 0, 0, 600},   {0, 600, 600, 599}, {600, 600, 0, 0},
                           {0, 0, 0, 600},   {600, 0, 600, 600}, {0, 300, 600, 301}, {5, 0, 0, 3}};
    for (const auto& e : ends) {
        drawGdiLineInPicture(fast.data(), e[0], e[1], e[2], e[3], kPen);
        drawGdiLine(general.data(), e[0], e[1], e[2], e[3], kPen);
        ASSERT_EQ(fast, general) << e[0] << " " << e[1] << " " << e[2] << " " << e[3];
    }
}

TEST(Line, FarEndpointsGiveTheSameVisiblePixels) {
    constexpr std::int64_t kFar = std::int64_t{1} << 33;
    struct Case {
        std::int64_t x0, y0, x1, y1;
    };
    const Case cases[] = {
        {300, 300, 300 + kFar, 300 + kFar / 7 + 1},
        {300, 300, -kFar, 300 + kFar / 3},
        {10, 590, 17 - kFar / 5, -kFar},
        {-kFar, -kFar + 1, 450, 451},
        {-kFar, 123, kFar, 129},
        {598, -kFar, 601, kFar - 3},
    };
    for (const Case& k : cases) {
        const std::int64_t len = std::max(std::abs(k.x1 - k.x0), std::abs(k.y1 - k.y0));
        // A picture pixel lies within 601 steps of the end that is inside or of the crossing middle.
        PixelSet want = referenceLine(k.x0, k.y0, k.x1, k.y1, 0, 1300);
        const PixelSet tail = referenceLine(k.x0, k.y0, k.x1, k.y1, len - 1300);
        const PixelSet mid = referenceLine(k.x0, k.y0, k.x1, k.y1, len / 2 - 1300, len / 2 + 1300);
        want.insert(tail.begin(), tail.end());
        want.insert(mid.begin(), mid.end());
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(drawn(k.x0, k.y0, k.x1, k.y1), want) << k.x0 << " " << k.y0 << " " << k.x1 << " " << k.y1;
    }
}

TEST(Line, ExtremeCoordinatesSaturate) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    PixelSet row;
    for (int x = 300; x <= 600; ++x)
        row.insert({x, 300});
    EXPECT_EQ(drawn(300, 300, kMax, 300), row);
    EXPECT_EQ(drawn(kMin, kMin, kMin, kMax).size(), 0u);
    PixelSet column;
    for (int y = 0; y <= 600; ++y)
        column.insert({7, y});
    EXPECT_EQ(drawn(7, kMin, 7, kMax), column);
}

} // namespace
} // namespace rs::test
