// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// One complete frame: the displacement model plus the renderer, into a surface that draws nothing.
// Cases: the start-up settings with two sources, and the heaviest case (N = 50, four live sources, every
// drawing box on, 1/sqrt(r)). Another surface is one more line in each case list below.

#include "sim/frame_renderer.h"
#include "ui/raster_canvas.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using namespace rs;

class NullSurface final : public DrawingSurface {
  public:
    void setBrushColour(Colour c) override { sink_ += c; }
    void setPenColour(Colour c) override { sink_ += c; }
    void fillRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) override {
        add(l, t, r, b);
    }
    void ellipse(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) override { add(l, t, r, b); }
    void rectangle(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) override {
        add(l, t, r, b);
    }
    void moveTo(std::int64_t x, std::int64_t y) override { add(x, y, 0, 0); }
    void lineTo(std::int64_t x, std::int64_t y) override { add(x, y, 0, 0); }
    std::uint64_t sink() const { return sink_; }

  private:
    void add(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
        sink_ += static_cast<std::uint64_t>(a ^ b ^ c ^ d);
    }
    std::uint64_t sink_ = 0;
};

struct Case {
    Scene scene;
    FrameSettings settings;
};

Case defaultCase() {
    Case c;
    resetScene(c.scene);
    c.scene.source(1) = {-100, 0, 1000, 10, 0, 2.0};
    c.scene.source(2) = {100, 0, 1000, 10, 0, 2.0};
    return c;
}

Case heaviestCase() {
    Case c;
    resetScene(c.scene);
    // Amplitudes small enough that nearly every point is drawable, so every point does the full work.
    c.scene.source(1) = {-100, -100, 100, 10, 0, 2.0};
    c.scene.source(2) = {100, -100, 120, 15, 30, 2.0};
    c.scene.source(3) = {-100, 100, -80, 20, 60, 2.0};
    c.scene.source(4) = {100, 100, 90, 25, 90, 2.0};
    c.settings.numpoints = 50;
    c.settings.gens1 = false;
    c.settings.gens2 = true;
    c.settings.ch_2cut = false;
    c.settings.ch_seibun = c.settings.ch_bashi = c.settings.ch_baishitsu = c.settings.ch_suihei = true;
    return c;
}

// The clock runs as in the window, so every frame has a new phase; the geometry stays cached.
template <class Surface> void runFrames(benchmark::State& state, Case c) {
    Surface surface;
    FrameRenderer renderer;
    for (auto _ : state) {
        renderer.render(c.scene, c.settings, surface);
        c.scene.simTime += 1.0;
    }
    benchmark::DoNotOptimize(&surface);
}

// Every frame from scratch, as after a change to the scene.
template <class Surface> void runColdFrames(benchmark::State& state, Case c) {
    Surface surface;
    for (auto _ : state) {
        FrameRenderer renderer;
        renderer.render(c.scene, c.settings, surface);
        c.scene.simTime += 1.0;
    }
    benchmark::DoNotOptimize(&surface);
}

template <class Surface> void runPlainFrames(benchmark::State& state, Case c) {
    Surface surface;
    for (auto _ : state) {
        renderFramePlain(c.scene, c.settings, surface);
        c.scene.simTime += 1.0;
    }
    benchmark::DoNotOptimize(&surface);
}

void BM_DefaultFrame_Null(benchmark::State& s) {
    runFrames<NullSurface>(s, defaultCase());
}
void BM_HeaviestFrame_Null(benchmark::State& s) {
    runFrames<NullSurface>(s, heaviestCase());
}
void BM_HeaviestFrameCold_Null(benchmark::State& s) {
    runColdFrames<NullSurface>(s, heaviestCase());
}
void BM_HeaviestFramePlain_Null(benchmark::State& s) {
    runPlainFrames<NullSurface>(s, heaviestCase());
}

// The whole frame as the window draws it: model, renderer and rasteriser into the pixel buffer.
void BM_DefaultFrame_Raster(benchmark::State& s) {
    runFrames<RasterCanvas>(s, defaultCase());
}
void BM_HeaviestFrame_Raster(benchmark::State& s) {
    runFrames<RasterCanvas>(s, heaviestCase());
}
void BM_HeaviestFrameCold_Raster(benchmark::State& s) {
    runColdFrames<RasterCanvas>(s, heaviestCase());
}

BENCHMARK(BM_DefaultFrame_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrame_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrameCold_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DefaultFrame_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrame_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrameCold_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFramePlain_Null)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
