// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// One complete frame: the displacement model plus the renderer, into a surface that draws nothing.
// Cases: the start-up settings with two sources, and the heaviest case (N = 50, four live sources, every
// drawing box on, 1/sqrt(r)). Another surface is one more line in each case list below.
// BM_WorstFrame/* are the hardest legal scenes found (any 32-bit value a prompt accepts), drawn into the
// pixel buffer: each must stay well inside the 20 ms tick; compare them with BM_HeaviestFrame_Raster.
// The *Cold cases start a new renderer for every frame, so they include allocating its buffers (in a
// virtual machine mostly page faults); *AfterChange is what the window does after a source's value
// changes, *AfterSpeedChange after the wave speed slider moves (every source changes).

#include "draw/raster_canvas.h"
#include "sim/frame_renderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

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

constexpr std::int32_t kMax = 2147483647;
constexpr std::int32_t kMin = -2147483647 - 1;

// Rings of radius 21474836 whose top or bottom arc crosses the picture; every point gets a grey x.
Case hugeRingsCase() {
    Case c = heaviestCase();
    c.scene.source(1) = {0, 21474686, kMax, kMax, kMax, 2.0};
    c.scene.source(2) = {0, -21474686, kMax, kMin, kMin, 2.0};
    c.scene.source(3) = {100, 21474836, kMin, kMax, kMin, 2.0};
    c.scene.source(4) = {-100, -21474536, kMin, kMin, kMax, 2.0};
    return c;
}

// The same rings with their left or right arc crossing the picture.
Case hugeRingsSidesCase() {
    Case c = hugeRingsCase();
    for (int k = 1; k <= kSourceCount; ++k)
        std::swap(c.scene.source(k).x, c.scene.source(k).y);
    return c;
}

// The rings' arcs cross the picture at 45 degrees, one from each quadrant.
Case hugeRingsAt45Case() {
    Case c = hugeRingsCase();
    constexpr std::int32_t d = 15185029; // 21474836 / sqrt(2)
    c.scene.source(1).x = d;
    c.scene.source(1).y = d;
    c.scene.source(2).x = -d;
    c.scene.source(2).y = d;
    c.scene.source(3).x = d;
    c.scene.source(3).y = -d;
    c.scene.source(4).x = -d;
    c.scene.source(4).y = -d - 150;
    return c;
}

// Angular frequencies at the 32-bit extremes near the centre, the clock at +-100000: phases near 2^42.
Case omegaStormCase() {
    Case c = heaviestCase();
    c.scene.source(1).omega = kMax;
    c.scene.source(2).omega = kMin;
    c.scene.source(3).omega = kMin + 1;
    c.scene.source(4).omega = kMax - 1;
    c.scene.source(1).x = -7;
    c.scene.source(2).y = 11;
    c.scene.simTime = 100000.0;
    return c;
}

// Far sources at the 32-bit corners under 1/r: travel lags of 10^9 radians and more, offsets of a pixel.
Case farCornersCase() {
    Case c = heaviestCase();
    c.settings.gens1 = true;
    c.scene.source(1) = {kMax, kMax, kMax, 45, 0, 2.0};
    c.scene.source(2) = {kMin, kMax, kMin, -50, 30, 2.0};
    c.scene.source(3) = {kMax, kMin, kMax, 60, -60, 2.0};
    c.scene.source(4) = {kMin, kMin, kMin, -90, 90, 2.0};
    c.scene.simTime = -4321.0;
    return c;
}

// The corners with extreme angular frequencies and the slowest wave: phases near 2^57.
Case farCornersExtremeCase() {
    Case c = farCornersCase();
    for (int k = 1; k <= kSourceCount; ++k) {
        c.scene.source(k).omega = k % 2 != 0 ? kMax : kMin;
        c.scene.source(k).phase = k % 2 != 0 ? kMin : kMax;
    }
    setWaveSpeed(c.scene, 5);
    c.scene.simTime = -100000.0;
    return c;
}

// One tick of the window's clock, wrapping at the end of its range as the window does.
void advanceClock(Scene& scene) {
    scene.simTime = scene.simTime >= 100000.0 ? -100000.0 : scene.simTime + 1.0;
}

// The clock runs as in the window, so every frame has a new phase; the geometry stays cached.
template <class Surface> void runFrames(benchmark::State& state, Case c) {
    Surface surface;
    FrameRenderer renderer;
    for (auto _ : state) {
        renderer.render(c.scene, c.settings, surface);
        advanceClock(c.scene);
    }
    benchmark::DoNotOptimize(&surface);
}

// Frames as the window draws them at its shortest tick: the process idles for 20 ms before each (outside
// the timed region), long enough for the processor's caches to lose the picture and the cached terms.
// Back to back, as above, a frame finds them still in the cache; in the window it never does.
template <class Surface> void runFramesAfterIdle(benchmark::State& state, Case c) {
    Surface surface;
    FrameRenderer renderer;
    renderer.render(c.scene, c.settings, surface); // the terms, made once as the window makes them
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.ResumeTiming();
        advanceClock(c.scene);
        renderer.render(c.scene, c.settings, surface);
    }
    benchmark::DoNotOptimize(&surface);
}

// Every frame from scratch, as after a change to the scene.
template <class Surface> void runColdFrames(benchmark::State& state, Case c) {
    Surface surface;
    for (auto _ : state) {
        FrameRenderer renderer;
        renderer.render(c.scene, c.settings, surface);
        advanceClock(c.scene);
    }
    benchmark::DoNotOptimize(&surface);
}

// The first frame after a change as the window draws it: the same renderer, with a change before every
// frame, so that every frame builds the time-independent terms again in place. A source moving by a
// pixel (a typed value) rebuilds that source's terms; the wave speed slider rebuilds every source's.
void moveSourceOne(Scene& scene) {
    scene.source(1).x ^= 1;
}
void dragSpeedSlider(Scene& scene) {
    setWaveSpeed(scene, scene.source(1).speed == 2.0 ? 21 : 20);
}

template <class Surface> void runChangedFrames(benchmark::State& state, Case c, void (*change)(Scene&)) {
    Surface surface;
    FrameRenderer renderer;
    for (auto _ : state) {
        change(c.scene);
        renderer.render(c.scene, c.settings, surface);
        advanceClock(c.scene);
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
void BM_HeaviestFrameAfterIdle_Raster(benchmark::State& s) {
    runFramesAfterIdle<RasterCanvas>(s, heaviestCase());
}
void BM_HeaviestFrameCold_Raster(benchmark::State& s) {
    runColdFrames<RasterCanvas>(s, heaviestCase());
}

void BM_WorstFrame(benchmark::State& s, Case (*make)(), void (*change)(Scene&)) {
    if (change != nullptr)
        runChangedFrames<RasterCanvas>(s, make(), change);
    else
        runFrames<RasterCanvas>(s, make());
}

BENCHMARK_CAPTURE(BM_WorstFrame, HugeRings, hugeRingsCase, nullptr)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, HugeRingsSides, hugeRingsSidesCase, nullptr)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, HugeRingsAt45, hugeRingsAt45Case, nullptr)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, OmegaStorm, omegaStormCase, nullptr)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCorners, farCornersCase, nullptr)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCornersExtreme, farCornersExtremeCase, nullptr)
    ->Unit(benchmark::kMicrosecond);
// First frames after a change: the time-independent terms are built again.
BENCHMARK_CAPTURE(BM_WorstFrame, HeaviestAfterChange, heaviestCase, moveSourceOne)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, OmegaStormAfterChange, omegaStormCase, moveSourceOne)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCornersAfterChange, farCornersCase, moveSourceOne)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCornersExtremeAfterChange, farCornersExtremeCase, moveSourceOne)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, HugeRingsAfterChange, hugeRingsAt45Case, moveSourceOne)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, HeaviestAfterSpeedChange, heaviestCase, dragSpeedSlider)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, OmegaStormAfterSpeedChange, omegaStormCase, dragSpeedSlider)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCornersAfterSpeedChange, farCornersCase, dragSpeedSlider)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WorstFrame, FarCornersExtremeAfterSpeedChange, farCornersExtremeCase, dragSpeedSlider)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_DefaultFrame_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrame_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrameAfterIdle_Raster)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK(BM_HeaviestFrameCold_Raster)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DefaultFrame_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrame_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFrameCold_Null)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeaviestFramePlain_Null)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
