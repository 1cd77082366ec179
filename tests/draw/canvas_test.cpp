// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tests/draw/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace rs::test {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

PixelSet box(int left, int top, int right, int bottom) { // inclusive
    PixelSet out;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            out.insert({x, y});
    return out;
}

TEST(Canvas, StartsWhiteWithBlackPenAndWhiteBrush) {
    RasterCanvas c;
    EXPECT_TRUE(notWhite(c).empty());
    c.moveTo(10, 10);
    c.lineTo(13, 10);
    EXPECT_EQ(pixelsOf(c, 0x00000000), box(10, 10, 12, 10));
    c.rectangle(100, 100, 104, 104);
    EXPECT_EQ(c.pixel(101, 101), kWhite);
    EXPECT_EQ(c.pixel(100, 101), 0x00000000u);
}

TEST(Canvas, FillRectCoversLeftTopUpToRightBottomExcluded) {
    struct Case {
        std::int64_t l, t, r, b;
        PixelSet want;
    };
    const Case cases[] = {
        {10, 20, 13, 22, box(10, 20, 12, 21)},
        {-5, -5, 2, 1, box(0, 0, 1, 0)},
        {598, 599, 700, 9000, box(598, 599, 600, 600)},
        {0, 0, 601, 601, box(0, 0, 600, 600)},
        {kMin, kMin, kMax, kMax, box(0, 0, 600, 600)},
        {10, 10, 10, 20, {}},
        {20, 10, 10, 20, {}}, // reversed: right and bottom edges exclude everything
        {601, 0, 700, 601, {}},
        {kMax, kMax, kMin, kMin, {}},
    };
    for (const Case& k : cases) {
        RasterCanvas c;
        c.setBrushColour(kBrush);
        c.fillRect(k.l, k.t, k.r, k.b);
        EXPECT_EQ(pixelsOf(c, kBrush), k.want) << k.l << " " << k.t << " " << k.r << " " << k.b;
        EXPECT_EQ(notWhite(c), k.want);
    }
}

// Runs of every length and starting column, so each head, vector body and tail of the fill is used.
TEST(Canvas, RandomFillsMatchPixelByPixelFilling) {
    std::uint64_t seed = 99;
    const auto next = [&](int n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % static_cast<std::uint64_t>(n));
    };
    RasterCanvas c;
    std::vector<Colour> want(601 * 601, kWhite);
    for (int n = 0; n < 3000; ++n) {
        const int l = next(640) - 20, t = next(640) - 20;
        const int r = n % 3 == 0 ? l + next(40) : l + next(700), b = t + 1 + next(n % 2 == 0 ? 3 : 100);
        const Colour colour = static_cast<Colour>(n + 1);
        c.setBrushColour(colour);
        c.fillRect(l, t, r, b);
        for (int y = std::max(t, 0); y < std::min(b, 601); ++y)
            for (int x = std::max(l, 0); x < std::min(r, 601); ++x)
                want[static_cast<std::size_t>(y) * 601 + x] = colour;
        const auto same = [](Colour w, Pixel p) { return pixelOf(w) == p; };
        if (n % 100 == 0 || n < 300) {
            ASSERT_TRUE(std::equal(want.begin(), want.end(), c.data(), same))
                << l << " " << t << " " << r << " " << b;
        }
    }
}

TEST(Canvas, RectangleOutlineAndInterior) {
    struct Case {
        std::int64_t x1, y1, x2, y2;
        PixelSet pen, brush;
    };
    PixelSet ring = box(10, 10, 14, 13);
    const PixelSet inner = box(11, 11, 13, 12);
    for (const auto& p : inner)
        ring.erase(p);
    const Case cases[] = {
        {10, 10, 15, 14, ring, inner},
        {15, 14, 10, 10, ring, inner}, // reversed
        {15, 10, 10, 14, ring, inner},
        {10, 10, 12, 30, box(10, 10, 11, 29), {}}, // two wide: all pen
        {10, 10, 30, 11, box(10, 10, 29, 10), {}},
        {10, 10, 11, 11, {}, {}},
        {10, 10, 10, 30, {}, {}},
        {-3, -3, 3, 3, box(0, 2, 2, 2), box(0, 0, 1, 1)},
    };
    for (const Case& k : cases) {
        RasterCanvas c;
        c.setPenColour(kPen);
        c.setBrushColour(kBrush);
        c.rectangle(k.x1, k.y1, k.x2, k.y2);
        PixelSet pen = k.pen;
        if (k.x1 == -3) pen.insert({2, 0}), pen.insert({2, 1}), pen.insert({0, 2}), pen.insert({1, 2});
        EXPECT_EQ(pixelsOf(c, kPen), pen) << k.x1 << " " << k.y1 << " " << k.x2 << " " << k.y2;
        EXPECT_EQ(pixelsOf(c, kBrush), k.brush);
        EXPECT_EQ(notWhite(c).size(), pen.size() + k.brush.size());
    }
}

TEST(Canvas, HugeFiguresClipWithoutHarm) {
    RasterCanvas c;
    c.setPenColour(kPen);
    c.setBrushColour(kBrush);
    c.rectangle(kMin, kMin, kMax, kMax);
    EXPECT_EQ(pixelsOf(c, kBrush).size(), 601u * 601u);
    c.ellipse(kMax, kMax, kMax - 6, kMax - 6); // far away: nothing
    c.ellipse(kMin, 0, kMin + 6, 6);
    EXPECT_EQ(pixelsOf(c, kBrush).size(), 601u * 601u);
}

TEST(Canvas, PenBrushAndPositionPersistBetweenCalls) {
    RasterCanvas c;
    c.setPenColour(kPen);
    c.setBrushColour(kBrush);
    c.moveTo(100, 100);
    c.lineTo(103, 100);
    c.lineTo(103, 102); // continues from the last end point
    c.fillRect(0, 0, 1, 1);
    c.ellipse(200, 200, 206, 206); // a later frame: colours still in force
    EXPECT_EQ(pixelsOf(c, kPen).size(), 3u + 2u + 12u);
    EXPECT_EQ(c.pixel(103, 100), kPen);
    EXPECT_EQ(c.pixel(103, 101), kPen);
    EXPECT_EQ(c.pixel(103, 102), kWhite);
    EXPECT_EQ(c.pixel(0, 0), kBrush);
    EXPECT_EQ(c.pixel(202, 202), kBrush);
    // The position moves with lineTo even when nothing is visible.
    c.moveTo(-100, -100);
    c.lineTo(-50, 300);
    c.lineTo(-40, 300);
    c.lineTo(10, 300);
    EXPECT_EQ(pixelsOf(c, kPen).size(), 17u + 10u);
}

// Row-major, in the screen's layout 0xFFRRGGBB, while colours come and go as 0x00BBGGRR.
TEST(Canvas, DataIsRowMajorInTheScreensLayout) {
    RasterCanvas c;
    c.setBrushColour(0x00112233);
    c.fillRect(5, 7, 6, 8);
    EXPECT_EQ(c.data()[7 * RasterCanvas::kSize + 5], 0xFF332211u);
    EXPECT_EQ(c.pixel(5, 7), 0x00112233u);
    EXPECT_EQ(c.data()[5 * RasterCanvas::kSize + 7], 0xFFFFFFFFu);
}

// The window draws in memory the screen reads: the same pixels, only there, and copies that never share
// it, so a copy drawn on cannot change what is shown.
TEST(Canvas, DrawsInGivenMemoryExactlyAsInItsOwn) {
    constexpr Pixel kGuard = 0x12345678;
    std::vector<Pixel> memory(RasterCanvas::kPixelCount + 2, kGuard);
    const auto draw = [](RasterCanvas& c, int shift) {
        c.setPenColour(kPen);
        c.setBrushColour(kBrush);
        c.fillRect(-10, 590 + shift, 700, 700); // clipped at the end of the memory
        c.ellipse(shift, 0, shift + 6, 6);
        c.ellipse(-200, 400, 300 + shift, 800);
        c.moveTo(0, 0);
        c.lineTo(600, 600 - shift);
        c.rectangle(-5, 300, 10 + shift, 605);
    };
    RasterCanvas given(RasterCanvas::Memory(memory.data() + 1, RasterCanvas::kPixelCount));
    RasterCanvas own;
    ASSERT_EQ(given.data(), memory.data() + 1);
    EXPECT_TRUE(notWhite(given).empty());
    draw(given, 0);
    draw(own, 0);
    EXPECT_TRUE(std::equal(own.data(), own.data() + RasterCanvas::kPixelCount, given.data()));
    EXPECT_EQ(memory.front(), kGuard);
    EXPECT_EQ(memory.back(), kGuard);

    RasterCanvas copy = given; // pixels, pen, brush and position, in memory of its own
    EXPECT_NE(copy.data(), given.data());
    copy.lineTo(0, 600);
    own.lineTo(0, 600);
    EXPECT_TRUE(std::equal(own.data(), own.data() + RasterCanvas::kPixelCount, copy.data()));
    EXPECT_EQ(given.pixel(300, 600), kBrush) << "drawing on the copy changed the original";

    RasterCanvas other;
    draw(other, 7);
    given = other; // into the memory it was given
    EXPECT_EQ(given.data(), memory.data() + 1);
    EXPECT_TRUE(std::equal(other.data(), other.data() + RasterCanvas::kPixelCount, memory.data() + 1));
    const RasterCanvas moved = std::move(given);
    EXPECT_NE(moved.data(), memory.data() + 1);
    given.fillRect(0, 0, 601, 601);
    EXPECT_EQ(memory[1], pixelOf(kBrush)) << "a moved-from canvas still draws where it did";
    EXPECT_EQ(memory.back(), kGuard);
}

} // namespace
} // namespace rs::test
