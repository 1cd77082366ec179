// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// A heavy frame: the full background, 10,000 particles and 50,000 short lines; and the background alone.
#include "draw/raster_canvas.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// Like the renderer: a 101 x 101 grid walked column by column; each point gets five short lines from
// its rest pixel (four components and the foot) and a 6x6 particle at the displaced pixel.
struct Point {
    std::int64_t x, y;
    std::int64_t ends[5][2];
};

std::vector<Point> grid() {
    std::vector<Point> points;
    std::uint64_t seed = 42;
    auto jitter = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::int64_t>((seed >> 33) % 25) - 12;
    };
    for (int i = -50; i <= 50; ++i)
        for (int j = -50; j <= 50; ++j) {
            Point p{300 + i * 6, 300 + j * 6, {}};
            for (auto& e : p.ends) {
                e[0] = p.x + jitter();
                e[1] = p.y + jitter();
            }
            points.push_back(p);
        }
    return points;
}

void drawLines(rs::RasterCanvas& canvas, const std::vector<Point>& points) {
    for (const auto& p : points)
        for (const auto& e : p.ends) {
            canvas.moveTo(p.x, p.y);
            canvas.lineTo(e[0], e[1]);
        }
}

void drawParticles(rs::RasterCanvas& canvas, const std::vector<Point>& points) {
    for (const auto& p : points)
        canvas.ellipse(p.ends[4][0] - 3, p.ends[4][1] - 3, p.ends[4][0] + 3, p.ends[4][1] + 3);
}

void BM_HeavyFrame(benchmark::State& state) {
    rs::RasterCanvas canvas;
    const auto points = grid();
    for (auto _ : state) {
        canvas.setBrushColour(0x00FFFFFF);
        canvas.fillRect(0, 0, 601, 601);
        canvas.setPenColour(0x00000000);
        for (const auto& p : points) {
            for (const auto& e : p.ends) {
                canvas.moveTo(p.x, p.y);
                canvas.lineTo(e[0], e[1]);
            }
            canvas.ellipse(p.ends[4][0] - 3, p.ends[4][1] - 3, p.ends[4][0] + 3, p.ends[4][1] + 3);
        }
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(BM_HeavyFrame)->Unit(benchmark::kMicrosecond);

void BM_ShortLines(benchmark::State& state) {
    rs::RasterCanvas canvas;
    const auto points = grid();
    for (auto _ : state) {
        drawLines(canvas, points);
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(BM_ShortLines)->Unit(benchmark::kMicrosecond);

void BM_Particles(benchmark::State& state) {
    rs::RasterCanvas canvas;
    const auto points = grid();
    for (auto _ : state) {
        drawParticles(canvas, points);
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(BM_Particles)->Unit(benchmark::kMicrosecond);

// The background alone: a light frame's largest single cost.
void BM_BackgroundFill(benchmark::State& state) {
    rs::RasterCanvas canvas;
    canvas.setBrushColour(0x00FFFFFF);
    for (auto _ : state) {
        canvas.fillRect(0, 0, 601, 601);
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(BM_BackgroundFill)->Unit(benchmark::kMicrosecond);

void BM_HugeRing(benchmark::State& state) {
    rs::RasterCanvas canvas;
    const std::int64_t r = state.range(0);
    for (auto _ : state) {
        canvas.ellipse(300 - r, 300 - r, 300 + r, 300 + r);
        canvas.ellipse(300 - r, 0, 300 + r, 2 * r); // top edge in view
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(BM_HugeRing)->Arg(1'000)->Arg(100'000)->Arg(22'000'000)->Unit(benchmark::kMillisecond);

} // namespace
