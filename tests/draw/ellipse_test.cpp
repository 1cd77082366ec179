// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/gdi_ellipse.h"
#include "tests/draw/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace rs::test {
namespace {

struct MeasuredRow {
    int pen;   // first pen column, -1 for an empty row
    int brush; // first brush column, -1 for a row that is all pen
};

std::vector<std::vector<MeasuredRow>> loadMeasured() {
    std::ifstream in(RS_SURFACE_DATA "/ellipses.txt");
    std::vector<std::vector<MeasuredRow>> sizes(1);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word; // "N:"
        std::vector<MeasuredRow> rows;
        while (words >> word) {
            if (word == ".") {
                rows.push_back({-1, -1});
                continue;
            }
            const auto slash = word.find('/');
            const std::string b = word.substr(slash + 1);
            rows.push_back({std::stoi(word.substr(0, slash)), b == "-" ? -1 : std::stoi(b)});
        }
        sizes.push_back(rows);
    }
    return sizes;
}

// The expected colour of column x of a row that the measurements describe.
Colour expectedAt(const MeasuredRow& m, int size, int x) {
    if (m.pen < 0) return kWhite;
    const int mx = x < size - 1 - x ? x : size - 1 - x;
    if (mx < m.pen) return kWhite;
    if (m.brush < 0 || mx < m.brush) return kPen;
    return kBrush;
}

RasterCanvas paletteCanvas() {
    RasterCanvas c;
    c.setPenColour(kPen);
    c.setBrushColour(kBrush);
    return c;
}

TEST(Ellipse, ReproducesEveryMeasuredSquareSize) {
    const auto sizes = loadMeasured();
    ASSERT_EQ(sizes.size(), 401u);
    constexpr int kOrigin = 100;
    for (int s = 1; s <= 400; ++s) {
        ASSERT_EQ(static_cast<int>(sizes[s].size()), (s + 1) / 2) << "size " << s;
        RasterCanvas c = paletteCanvas();
        c.ellipse(kOrigin, kOrigin, kOrigin + s, kOrigin + s);
        int wrong = 0;
        for (int y = kOrigin - 1; y <= kOrigin + s; ++y)
            for (int x = kOrigin - 1; x <= kOrigin + s; ++x) {
                const int r = y - kOrigin;
                Colour want = kWhite;
                if (r >= 0 && r < s && x >= kOrigin && x < kOrigin + s)
                    want = expectedAt(sizes[s][r < s - 1 - r ? r : s - 1 - r], s, x - kOrigin);
                if (c.pixel(x, y) != want && ++wrong <= 3)
                    ADD_FAILURE() << "size " << s << " pixel (" << x - kOrigin << ", " << r << ")";
            }
        EXPECT_EQ(wrong, 0) << "size " << s;
    }
}

TEST(Ellipse, ParticleOfSixBySix) {
    const char* want[] = {"..##..", ".#oo#.", "#oooo#", "#oooo#", ".#oo#.", "..##.."};
    RasterCanvas c = paletteCanvas();
    c.ellipse(297, 297, 303, 303); // Q = (300, 300)
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const Colour expect = want[y][x] == '#' ? kPen : want[y][x] == 'o' ? kBrush : kWhite;
            EXPECT_EQ(c.pixel(297 + x, 297 + y), expect) << x << "," << y;
        }
    EXPECT_EQ(notWhite(c).size(), 24u);
}

struct Box {
    std::int64_t x1, y1, x2, y2;
};

TEST(Ellipse, ReversedBoxesDrawLikeForwardOnes) {
    const Box boxes[] = {{280, 290, 320, 310}, {300, 300, 303, 340}, {10, 10, 12, 30}, {0, 0, 601, 601}};
    for (const Box& b : boxes) {
        RasterCanvas forward = paletteCanvas(), xSwapped = paletteCanvas(), bothSwapped = paletteCanvas();
        forward.ellipse(b.x1, b.y1, b.x2, b.y2);
        xSwapped.ellipse(b.x2, b.y1, b.x1, b.y2);
        bothSwapped.ellipse(b.x2, b.y2, b.x1, b.y1);
        EXPECT_FALSE(notWhite(forward).empty());
        EXPECT_EQ(notWhite(xSwapped), notWhite(forward));
        EXPECT_EQ(pixelsOf(bothSwapped, kPen), pixelsOf(forward, kPen));
        EXPECT_EQ(pixelsOf(bothSwapped, kBrush), pixelsOf(forward, kBrush));
    }
}

TEST(Ellipse, DegenerateBoxes) {
    struct Case {
        Box box;
        std::size_t pen; // pixels set, all with the pen
    };
    const Case cases[] = {
        {{300, 300, 300, 300}, 0}, {{300, 300, 300, 310}, 0},  {{300, 300, 310, 300}, 0},
        {{300, 300, 301, 301}, 0}, {{301, 301, 300, 300}, 0},  {{300, 300, 302, 302}, 4},
        {{300, 300, 301, 309}, 9}, {{300, 300, 310, 302}, 20}, {{302, 309, 300, 300}, 18},
    };
    for (const Case& k : cases) {
        RasterCanvas c = paletteCanvas();
        c.ellipse(k.box.x1, k.box.y1, k.box.x2, k.box.y2);
        EXPECT_EQ(pixelsOf(c, kPen).size(), k.pen) << k.box.x1 << " " << k.box.y1;
        EXPECT_EQ(notWhite(c).size(), k.pen);
    }
}

// Non-square boxes have no measurements; they must still be a closed, symmetric, hole-free figure.
TEST(Ellipse, NonSquareBoxesAreSymmetricAndSolid) {
    const Box boxes[] = {{300, 100, 303, 500}, {100, 300, 500, 303}, {200, 200, 207, 212}, {50, 80, 450, 117},
                         {0, 1, 599, 600},     {290, 20, 310, 580},  {10, 10, 14, 15}};
    for (const Box& b : boxes) {
        RasterCanvas c = paletteCanvas();
        c.ellipse(b.x1, b.y1, b.x2, b.y2);
        const int w = static_cast<int>(b.x2 - b.x1), h = static_cast<int>(b.y2 - b.y1);
        const auto at = [&](int x, int y) {
            return c.pixel(static_cast<int>(b.x1) + x, static_cast<int>(b.y1) + y);
        };
        EXPECT_EQ(notWhite(c).size(), pixelsOf(c, kPen).size() + pixelsOf(c, kBrush).size());
        int inBox = 0;
        for (int y = 0; y < h; ++y) {
            int first = -1, last = -1;
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(at(x, y), at(w - 1 - x, y)) << "mirror x " << w << "x" << h;
                EXPECT_EQ(at(x, y), at(x, h - 1 - y)) << "mirror y " << w << "x" << h;
                if (at(x, y) != kWhite) {
                    if (first < 0) first = x;
                    last = x;
                }
            }
            ASSERT_GE(first, 0) << "empty row " << y << " of " << w << "x" << h;
            inBox += last - first + 1;
            EXPECT_EQ(at(first, y), kPen);
            // pen run, brush run, pen run: exactly two colour changes at most
            int changes = 0;
            for (int x = first + 1; x <= last; ++x) {
                EXPECT_NE(at(x, y), kWhite) << "hole in row " << y << " of " << w << "x" << h;
                changes += at(x, y) != at(x - 1, y);
            }
            EXPECT_TRUE(changes == 0 || changes == 2) << "row " << y << " of " << w << "x" << h;
        }
        EXPECT_EQ(static_cast<std::size_t>(inBox), notWhite(c).size()) << "outside the box";
        for (int x = 0; x < w; ++x) // every column reached as well
            EXPECT_NE(at(x, h / 2), kWhite);
    }
}

// Clipping must keep every visible pixel where the whole figure puts it.
TEST(Ellipse, ClippedFigureMatchesShiftedWholeFigure) {
    const Box boxes[] = {
        {-150, -80, 250, 320}, {400, 500, 700, 650}, {-30, 200, 40, 230}, {100, -399, 500, 1}};
    for (const Box& b : boxes) {
        const std::int64_t sx = b.x1 < 0 ? -b.x1 : (b.x2 > 601 ? 601 - b.x2 : 0);
        const std::int64_t sy = b.y1 < 0 ? -b.y1 : (b.y2 > 601 ? 601 - b.y2 : 0);
        RasterCanvas clipped = paletteCanvas(), whole = paletteCanvas();
        clipped.ellipse(b.x1, b.y1, b.x2, b.y2);
        whole.ellipse(b.x1 + sx, b.y1 + sy, b.x2 + sx, b.y2 + sy);
        for (int y = 0; y < 601; ++y)
            for (int x = 0; x < 601; ++x) {
                const std::int64_t wx = x + sx, wy = y + sy;
                if (wx < 0 || wx > 600 || wy < 0 || wy > 600) continue;
                ASSERT_EQ(clipped.pixel(x, y), whole.pixel(static_cast<int>(wx), static_cast<int>(wy)))
                    << x << "," << y;
            }
    }
}

// Mostly the particle box, anywhere on or across the picture's edges, over earlier figures and with
// changing colours, against the outline trace mirrored and filled pixel by pixel.
TEST(Ellipse, SmallBoxesMatchTheTraceAnywhere) {
    std::uint64_t seed = 4242;
    const auto next = [&](int n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % static_cast<std::uint64_t>(n));
    };
    RasterCanvas c;
    std::vector<Colour> want(601 * 601, kWhite);
    for (int n = 0; n < 5000; ++n) {
        const bool particle = n % 4 != 0;
        const int w = particle ? 6 : 3 + next(8), h = particle ? 6 : 3 + next(8);
        const int x1 = next(620) - 12, y1 = next(620) - 12;
        const Colour pen = static_cast<Colour>(2 * n + 1), brush = static_cast<Colour>(2 * n + 2);
        c.setPenColour(pen);
        c.setBrushColour(brush);
        c.ellipse(x1, y1, x1 + w, y1 + h);
        const auto rows = traceEllipseRows(w, h, 0, (h + 1) / 2 - 1);
        for (int r = 0; r < h; ++r) {
            const EllipseRow& e = rows[static_cast<std::size_t>(r < h - 1 - r ? r : h - 1 - r)];
            for (int x = 0; x < w; ++x) {
                const int px = x1 + x, py = y1 + r, mx = x < w - 1 - x ? x : w - 1 - x;
                if (px < 0 || px > 600 || py < 0 || py > 600 || mx < e.penFirst) continue;
                want[static_cast<std::size_t>(py) * 601 + px] = mx <= e.penLast ? pen : brush;
            }
        }
        for (int y = std::max(y1 - 1, 0); y <= std::min(y1 + h, 600); ++y)
            for (int x = std::max(x1 - 1, 0); x <= std::min(x1 + w, 600); ++x)
                ASSERT_EQ(c.pixel(x, y), want[static_cast<std::size_t>(y) * 601 + x])
                    << w << "x" << h << " at " << x1 << "," << y1 << ": pixel " << x << "," << y;
    }
    EXPECT_TRUE(
        std::equal(want.begin(), want.end(), c.data(), [](Colour w, Pixel p) { return pixelOf(w) == p; }));
}

// The plain quadrant walk from the middle row to the top, step by step: what the tracer must reproduce
// for every window of rows while starting at the window.
std::vector<EllipseRow> walkedRows(std::int64_t w, std::int64_t h, std::int64_t first, std::int64_t last) {
    __extension__ using Wide = __int128;
    std::vector<EllipseRow> rows(static_cast<std::size_t>(last - first + 1),
                                 EllipseRow{std::numeric_limits<std::int64_t>::max(), -1});
    const Wide a = w - 1, b = h - 1;
    const std::int64_t b1 = (h - 1) & 1;
    Wide dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a, err = dx + dy + b1 * a * a;
    std::int64_t x0 = 0, x1 = w - 1, up = h / 2 - b1, down = h / 2;
    const auto plot = [&](std::int64_t x) {
        if (up > last) return;
        EllipseRow& r = rows[static_cast<std::size_t>(up - first)];
        r.penFirst = std::min(r.penFirst, x);
        r.penLast = std::max(r.penLast, x);
    };
    do {
        plot(x0);
        const Wide e2 = 2 * err;
        if (e2 <= dy) {
            --up, ++down;
            err += dy += 8 * a * a;
        }
        if (e2 >= dx) {
            ++x0, --x1;
            err += dx += 8 * b * b;
        }
        if (up < first) return rows;
    } while (x0 <= x1);
    for (; down - up <= h - 1 && up >= first; --up, ++down)
        plot(x0 - 1);
    return rows;
}

TEST(Ellipse, RowWindowsAgreeWithTheWholeTrace) {
    std::uint64_t seed = 77;
    const auto next = [&](std::uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::int64_t>((seed >> 20) % n);
    };
    // Every small box with every window; then boxes up to a ring's size (2 * 21474836 is the largest),
    // thin ones and tall ones, with windows at the middle, the top and anywhere between.
    std::vector<std::array<std::int64_t, 2>> boxes;
    for (std::int64_t w = 3; w <= 24; ++w)
        for (std::int64_t h = 3; h <= 24; ++h)
            boxes.push_back({w, h});
    for (const std::array<std::int64_t, 2> big : {std::array<std::int64_t, 2>{42949672, 42949672},
                                                  {21474837, 21474835},
                                                  {9001, 9001},
                                                  {3, 70000},
                                                  {70000, 5},
                                                  {123457, 80001},
                                                  {4, 1 << 20},
                                                  {1 << 20, 4}})
        boxes.push_back(big);
    for (int n = 0; n < 40; ++n) {
        const std::int64_t w = 3 + next(std::uint64_t{1} << (2 + next(17)));
        const std::int64_t h = n % 3 == 0 ? w + next(3) : 3 + next(std::uint64_t{1} << (2 + next(17)));
        boxes.push_back({w, h});
    }
    for (const auto& [w, h] : boxes) {
        const std::int64_t half = (h + 1) / 2;
        const auto all = walkedRows(w, h, 0, half - 1);
        std::vector<std::array<std::int64_t, 2>> windows;
        if (h <= 24) {
            for (std::int64_t f = 0; f < half; ++f)
                for (std::int64_t l = f; l < half; ++l)
                    windows.push_back({f, l});
        } else {
            windows = {{0, std::min<std::int64_t>(600, half - 1)},
                       {std::max<std::int64_t>(half - 601, 0), half - 1}};
            for (int i = 0; i < 6; ++i) {
                const std::int64_t f = next(static_cast<std::uint64_t>(half));
                windows.push_back({f, std::min(f + next(601), half - 1)});
            }
        }
        for (const auto& [f, l] : windows) {
            const auto part = traceEllipseRows(w, h, f, l);
            for (std::int64_t r = f; r <= l; ++r) {
                const EllipseRow& want = all[static_cast<std::size_t>(r)];
                const EllipseRow& got = part[static_cast<std::size_t>(r - f)];
                ASSERT_TRUE(got.penFirst == want.penFirst && got.penLast == want.penLast)
                    << w << "x" << h << " rows " << f << ".." << l << ": row " << r << " is " << got.penFirst
                    << ".." << got.penLast << ", the walk gives " << want.penFirst << ".." << want.penLast;
            }
        }
    }
}

TEST(Ellipse, HugeRingEdgesCrossThePicture) {
    constexpr std::int64_t kRadius = 22'000'000;
    struct Case {
        std::int64_t cx, cy; // centre; the ring's top edge or left edge lies at 300
        bool top;
    };
    for (const Case& k : {Case{300, 300 + kRadius, true}, Case{300 + kRadius, 300, false}}) {
        RasterCanvas c = paletteCanvas();
        c.ellipse(k.cx - kRadius, k.cy - kRadius, k.cx + kRadius, k.cy + kRadius);
        const auto at = [&](int along, int across) {
            return k.top ? c.pixel(along, across) : c.pixel(across, along);
        };
        // Over 601 pixels the outline of such a ring deviates by 300^2 / 2R, far below a pixel.
        for (int i = 0; i < 601; ++i) {
            ASSERT_EQ(at(i, 299), kWhite) << i;
            ASSERT_EQ(at(i, 300), kPen) << i;
            ASSERT_EQ(at(i, 301), kBrush) << i;
            ASSERT_EQ(at(i, 600), kBrush) << i;
        }
    }
}

} // namespace
} // namespace rs::test
