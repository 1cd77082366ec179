// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The cached terms of a scene: made again when its geometry or the settings change, only for the
// sources that changed where nothing else did, and the exact lags a column at a time when first needed.
#include "sim/displacement_field.h"

#include "sim/batch_sincos.h"
#include "sim/displacement_margins.h"
#include "sim/frame_settings.h"
#include "sim/pair_terms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace rs {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

bool DisplacementField::sourcesToRebuild(const Scene& scene, const Key* old, Rebuild dirty[]) const {
    // A new grid, law or mode, or a source that starts or stops sounding, changes every pair.
    if (old == nullptr || old->n != key_.n || old->law != key_.law ||
        old->twoSourceMode != key_.twoSourceMode)
        return true;
    for (int k = 1; k <= activeSourceCount(key_.twoSourceMode); ++k) {
        if ((old->amp[k] == 0) != (key_.amp[k] == 0)) return true;
    }
    for (std::size_t s = 0; s < live_.size(); ++s) {
        const int k = live_[s];
        dirty[s] = old->x[k] != key_.x[k] || old->y[k] != key_.y[k] || old->amp[k] != key_.amp[k]
                       ? Rebuild::all
                   : old->omega[k] != key_.omega[k]         ? Rebuild::lags
                   : old->speedBits[k] != key_.speedBits[k] ? Rebuild::speed
                                                            : Rebuild::none;
    }
    // A point that comes to lie on a source, or leaves one, changes every source's pair there; only the
    // places a source moved from or to can be such points.
    const auto changesPoint = [&](std::int32_t x, std::int32_t y) {
        const auto column = std::lower_bound(rest_.begin(), rest_.end(), x);
        const auto row = std::lower_bound(rest_.begin(), rest_.end(), y);
        if (column == rest_.end() || *column != x || row == rest_.end() || *row != y) return false;
        const auto p = static_cast<std::size_t>(column - rest_.begin()) * rest_.size() +
                       static_cast<std::size_t>(row - rest_.begin());
        return (onSource_[p] != 0) != coincidesWithSource(scene, x, y);
    };
    for (int k = 1; k <= kSourceCount; ++k) {
        if (old->x[k] == key_.x[k] && old->y[k] == key_.y[k]) continue;
        if (changesPoint(old->x[k], old->y[k]) || changesPoint(key_.x[k], key_.y[k])) return true;
    }
    return false;
}

void DisplacementField::rebuild(const Scene& scene, const Key* old) {
    Rebuild dirty[kSourceCount]{};
    const bool everything = sourcesToRebuild(scene, old, dirty);
    if (everything) {
        const std::size_t side = static_cast<std::size_t>(2 * n_ + 1);
        live_.clear();
        for (int k = 1; k <= activeSourceCount(key_.twoSourceMode); ++k) {
            if (scene.source(k).amp != 0) live_.push_back(k);
        }
        std::fill(std::begin(dirty), std::end(dirty), Rebuild::all);
        rest_.resize(side);
        for (std::size_t i = 0; i < side; ++i)
            rest_[i] = gridCoordinate(static_cast<std::int32_t>(i) - n_, n_);
        onSource_.resize(side * side);
        for (std::size_t p = 0; p < side * side; ++p)
            onSource_[p] = coincidesWithSource(scene, rest_[p / side], rest_[p % side]);
    }
    bool bounds = everything; // otherwise they change with a source's geometry alone
    for (std::size_t s = 0; s < live_.size(); ++s) {
        if (dirty[s] != Rebuild::none) buildSourceTerms(scene, s, dirty[s]);
        bounds = bounds || dirty[s] == Rebuild::all;
    }
    if (bounds) buildBounds();
}

void DisplacementField::buildSourceTerms(const Scene& scene, std::size_t s, Rebuild what) {
    using namespace margins;
    SourceTerms& t = terms_[s];
    const WaveSource& src = scene.source(live_[s]);
    const std::size_t side = rest_.size(), points = side * side;
    const double lagPerPixel = static_cast<double>((src.omega * kPi) / 180.0L) / src.speed;
    // The largest lag is at the grid corner farthest from the source; the model's lags differ from the
    // double ones by a few parts in 2^52 at most.
    const double cornerX = std::fabs(static_cast<double>(src.x)) + 300.0;
    const double cornerY = std::fabs(static_cast<double>(src.y)) + 300.0;
    const double largestLag = std::fabs(std::sqrt(cornerX * cornerX + cornerY * cornerY) * lagPerPixel);
    t.largestLag = std::isfinite(largestLag) ? largestLag * (1.0 + 0x1p-40) : kInf;
    t.exactLags = ExactLags(src);
    if (what == Rebuild::all) {
        // Unit vectors times envelopes, envelopes and distances (lags of one per pixel), a column at a
        // time in vector lanes.
        const double amp = src.amp;
        const PairSource pairs{key_.law,
                               key_.law == AttenuationLaw::inverseDistance       ? amp
                               : key_.law == AttenuationLaw::inverseSqrtDistance ? amp / 10.0
                                                                                 : amp / 200.0,
                               1.0};
        t.ax.resize(points);
        t.ay.resize(points);
        t.distance.resize(points);
        t.sinLag.resize(points);
        t.cosLag.resize(points);
        envelope_.resize(points);
        std::vector<double>& dy = angles_; // exact: both are integers of at most 33 bits
        dy.resize(side);
        for (std::size_t j = 0; j < side; ++j)
            dy[j] = static_cast<double>(rest_[j]) - static_cast<double>(src.y);
        for (std::size_t c = 0; c < side; ++c) {
            const double dx = static_cast<double>(rest_[c]) - static_cast<double>(src.x);
            const std::size_t at = c * side;
            pairTermsOfColumn(pairs, dx, dy.data(), side, t.ax.data() + at, t.ay.data() + at,
                              envelope_.data() + at, t.distance.data() + at);
        }
        // In a local: kept in the member, every step would wait for the store of the one before.
        double largest = 0.0;
        for (std::size_t p = 0; p < points; ++p) {
            if (!onSource_[p]) largest = std::max(largest, std::fabs(envelope_[p]));
        }
        t.largestEnvelope = largest;
        t.exactDistance.resize(points);
        t.distanceColumn.assign(side, 0);
        t.exactProduct.resize(points);
        t.productColumn.assign(side, 0);
        t.nearest.resize(side);
        t.farthest.resize(side);
    }
    t.exactColumn.assign(side, 0); // the exact lags are made again, in place, when needed
    if (what != Rebuild::speed) t.productColumn.assign(side, 0);
    // The double lags' sines serve wherever their error fits the margin. Each lag is the distance times
    // the lag per pixel, one rounding, as the lanes would make it.
    t.lagSines = 2.0 * t.largestEnvelope * (t.largestLag * kPhaseError + kResultError) <= kWidestMargin;
    if (!t.lagSines) return;
    lag_.resize(points);
    for (std::size_t p = 0; p < points; ++p)
        lag_[p] = t.distance[p] * lagPerPixel;
    sinCosBatch(lag_.data(), t.sinLag.data(), t.cosLag.data(), points);
}

namespace {

// Each source's bound terms are |envelope| times the parts of the unit vector: |ax| and |ay|. One pass
// over the points, for a known number of sources, four points at a time where the processor can: the
// compiler keeps such a loop scalar, and after a change it is a tenth of the frame.
template <std::size_t count>
std::size_t sumBoundsWide(const double* const* ax, const double* const* ay, double* bound,
                          std::size_t points);

#if defined(__x86_64__) && defined(__GNUC__)
template <std::size_t count>
__attribute__((target("avx2"))) std::size_t sumBoundsAvx2(const double* const* ax, const double* const* ay,
                                                          double* bound, std::size_t points) {
    const __m256d noSign = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    std::size_t p = 0;
    for (; p + 4 <= points; p += 4) {
        __m256d bx = _mm256_setzero_pd(), by = _mm256_setzero_pd();
        for (std::size_t s = 0; s < count; ++s) {
            bx = _mm256_add_pd(bx, _mm256_and_pd(_mm256_loadu_pd(ax[s] + p), noSign));
            by = _mm256_add_pd(by, _mm256_and_pd(_mm256_loadu_pd(ay[s] + p), noSign));
        }
        _mm256_storeu_pd(bound + p,
                         _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(bx, bx), _mm256_mul_pd(by, by))));
    }
    return p;
}

template <std::size_t count>
std::size_t sumBoundsWide(const double* const* ax, const double* const* ay, double* bound,
                          std::size_t points) {
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return avx2 ? sumBoundsAvx2<count>(ax, ay, bound, points) : 0;
}
#else
template <std::size_t count>
std::size_t sumBoundsWide(const double* const*, const double* const*, double*, std::size_t) {
    return 0;
}
#endif

template <std::size_t count>
void sumBounds(const double* const* ax, const double* const* ay, const std::uint8_t* onSource, double* bound,
               std::size_t points) {
    for (std::size_t p = sumBoundsWide<count>(ax, ay, bound, points); p < points; ++p) {
        double bx = 0.0, by = 0.0;
        for (std::size_t s = 0; s < count; ++s) {
            bx += std::fabs(ax[s][p]);
            by += std::fabs(ay[s][p]);
        }
        bound[p] = std::sqrt(bx * bx + by * by);
    }
    for (std::size_t p = 0; p < points; ++p) {
        if (onSource[p]) bound[p] = 0.0;
    }
}

} // namespace

void DisplacementField::buildBounds() {
    const std::size_t points = onSource_.size();
    const double* ax[kSourceCount]{};
    const double* ay[kSourceCount]{};
    for (std::size_t s = 0; s < live_.size(); ++s) {
        ax[s] = terms_[s].ax.data();
        ay[s] = terms_[s].ay.data();
    }
    approxBound_.resize(points);
    // Rounding moves the bound by 2^-53 at a time, far inside the slack.
    constexpr void (*kSum[])(const double* const*, const double* const*, const std::uint8_t*, double*,
                             std::size_t) = {sumBounds<0>, sumBounds<1>, sumBounds<2>, sumBounds<3>,
                                             sumBounds<4>};
    kSum[std::min<std::size_t>(live_.size(), kSourceCount)](ax, ay, onSource_.data(), approxBound_.data(),
                                                            points);
    exactBound_.assign(points, kNaN);
}

// The least and the greatest finite lag of column c: those of its nearest and farthest point when both
// are finite (so are all between them), otherwise (a speed of 0) found by searching the column.
void DisplacementField::columnExtremes(std::size_t c, std::size_t s, std::size_t nearest,
                                       std::size_t farthest) {
    SourceTerms& t = terms_[s];
    const std::size_t side = rest_.size(), base = c * side;
    long double least = INFINITY, most = -INFINITY;
    if (nearest < side && std::isfinite(t.exactLag[base + nearest]) &&
        std::isfinite(t.exactLag[base + farthest])) {
        least = std::min(t.exactLag[base + nearest], t.exactLag[base + farthest]);
        most = std::max(t.exactLag[base + nearest], t.exactLag[base + farthest]);
    } else {
        for (std::size_t j = 0; j < side; ++j) {
            const long double lag = t.exactLag[base + j];
            if (onSource_[base + j] || !std::isfinite(lag)) continue;
            least = std::min(least, lag);
            most = std::max(most, lag);
        }
    }
    t.columnLeast[c] = least;
    t.columnMost[c] = most;
}

namespace {

// Calls step(first, end) for each run of columns not yet done, and marks them done.
template <class Step> void forEachRun(std::vector<std::uint8_t>& done, Step step) {
    for (std::size_t c = 0; c < done.size();) {
        std::size_t end = c;
        while (end < done.size() && !done[end])
            done[end++] = 1;
        if (end > c) step(c, end);
        c = end + 1;
    }
}

} // namespace

// Every column at once, when the first is needed: a column at a time, the calls and the last few points
// of each, which take the one-point way, cost a fifth of the lags. A column of grey crosses gets lags it
// will not use, in a scene that draws little.
void DisplacementField::buildExactColumns(std::size_t s) {
    SourceTerms& t = terms_[s];
    const std::size_t side = rest_.size(), points = onSource_.size();
    t.exactLag.resize(points);
    t.exactTurns.resize(points);
    t.columnLeast.resize(side);
    t.columnMost.resize(side);
    angles_.resize(points);
    // The products, and the model's distances, stay with the geometry: a new speed, the wave speed
    // slider's change, finds them made. The distances' extended-precision roots are the slowest step.
    forEachRun(t.productColumn, [&](std::size_t first, std::size_t end) {
        for (std::size_t c = first; c < end; ++c) {
            if (!t.distanceColumn[c]) buildDistanceColumn(c, s);
        }
        const std::size_t at = first * side, count = (end - first) * side;
        t.exactLags.products(t.exactDistance.data() + at, onSource_.data() + at, count,
                             t.exactProduct.data() + at);
    });
    forEachRun(t.exactColumn, [&](std::size_t first, std::size_t end) {
        const std::size_t at = first * side, count = (end - first) * side;
        t.exactLags.column(t.exactProduct.data() + at, onSource_.data() + at, count, t.exactLag.data() + at,
                           t.exactTurns.data() + at, angles_.data() + at);
        for (std::size_t c = first; c < end; ++c)
            columnExtremes(c, s, t.nearest[c], t.farthest[c]);
        sinCosBatch(angles_.data() + at, t.sinLag.data() + at, t.cosLag.data() + at, count);
        exactColumns_ += static_cast<std::int64_t>(end - first);
    });
}

// Correctly rounded operations keep order, so the lags run with the distances, that is with |dy| in a
// column: its nearest and farthest point are noted with them.
void DisplacementField::buildDistanceColumn(std::size_t c, std::size_t s) {
    SourceTerms& t = terms_[s];
    const std::size_t side = rest_.size(), base = c * side;
    const WaveSource& src = scene_.source(live_[s]);
    long double* const distance = t.exactDistance.data() + base;
    std::size_t nearest = side, farthest = side;
    std::uint64_t nearestDy = ~std::uint64_t{0}, farthestDy = 0;
    for (std::size_t j = 0; j < side; ++j) {
        distance[j] = 0.0L;
        if (onSource_[base + j]) continue;
        distance[j] = sourceDistance(src, rest_[c], rest_[j]);
        const std::int64_t dy = std::int64_t{rest_[j]} - src.y;
        const auto size = static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
        if (size < nearestDy) {
            nearestDy = size;
            nearest = j;
        }
        if (size >= farthestDy) {
            farthestDy = size;
            farthest = j;
        }
    }
    t.distanceColumn[c] = 1;
    t.nearest[c] = nearest;
    t.farthest[c] = farthest;
}

} // namespace rs
