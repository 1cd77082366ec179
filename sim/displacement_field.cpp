// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/displacement_field.h"

#include "sim/batch_sincos.h"
#include "sim/frame_settings.h"
#include "sim/pair_terms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace rs {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Error bookkeeping. Every double operation below is within 2^-53 relative of its exact value, the
// long-double model within 2^-64, and the sines and cosines within a few ulp; the per-phase budget of
// 2^-48 and the per-result budget of 2^-46 cover all of that several times over, and the margin is then
// doubled. Phases beyond 2^30 radians go to the exact path.
constexpr double kPhaseError = 0x1p-48;
constexpr double kResultError = 0x1p-46;
constexpr double kMaxPhase = 0x1p30;
// Margins wider than this send too many points to the model (a point in 500 and more); the exact path,
// whose margin does not grow with the phase, is then the cheaper one.
constexpr double kWidestMargin = 0x1p-10;
// The exact path's sine is within 2^-49 (sineOfModelPhase), budgeted at 2^-47; doubled like the other.
constexpr double kExactSineError = 0x1p-47;
constexpr double kExactMargin = 2.0 * (kExactSineError + kResultError);
// Both of the model's additions round to nearest in extended precision: each error is within 2^-64 of the
// sum's size, which is less than clock + lag + phase.
constexpr double kAdditionError = 0x1p-63;
// The double bound adds about twenty roundings of 2^-53 to the model's; it is trusted to 2^-44.
constexpr double kBoundError = 0x1p-44;

// Round to nearest, ties to even, for |v| < 2^51 under the default rounding mode.
inline double roundNearest(double v) {
    constexpr double kShift = 0x1.8p52;
    return (v + kShift) - kShift;
}

// The rounded value of v, or false when v may lie on the other side of a half-way point than the
// exact result it approximates to within margin (NaNs and infinite margins always fail).
inline bool roundSafely(double v, double margin, double& rounded) {
    rounded = roundNearest(v);
    return 0.5 - std::fabs(v - rounded) > margin;
}

} // namespace

DisplacementField::Key DisplacementField::keyOf(const Scene& scene, AttenuationLaw law, bool twoSourceMode,
                                                std::int32_t n) {
    Key key;
    key.n = n;
    key.law = law;
    key.twoSourceMode = twoSourceMode;
    for (int k = 1; k <= kSourceCount; ++k) {
        const WaveSource& s = scene.source(k);
        key.x[k] = s.x;
        key.y[k] = s.y;
        key.amp[k] = s.amp;
        key.omega[k] = s.omega;
        key.speedBits[k] = std::bit_cast<std::uint64_t>(s.speed);
    }
    return key;
}

void DisplacementField::prepare(const Scene& scene, AttenuationLaw law, bool twoSourceMode, std::int32_t n) {
    const Key key = keyOf(scene, law, twoSourceMode, n);
    scene_ = scene;
    if (!built_ || !(key == key_)) {
        const Key old = key_;
        key_ = key;
        n_ = n;
        rebuild(scene, built_ ? &old : nullptr);
        built_ = true;
        ++rebuilds_;
    }
    for (std::size_t s = 0; s < live_.size(); ++s)
        prepareFrame(scene, s);
}

void DisplacementField::prepareFrame(const Scene& scene, std::size_t s) {
    const WaveSource& src = scene.source(live_[s]);
    const long double clock = clockTerm(src, scene.simTime);
    const long double phase = phaseTerm(src);
    const double a = static_cast<double>(clock + phase);
    const double size = static_cast<double>(std::fabs(clock) + std::fabs(phase));
    FrameTerms& f = frame_[s];
    f.marginPerEnvelope = 2.0 * size * kPhaseError;
    f.exact = exactOnly_[s] || !(std::isfinite(a) && size <= kMaxPhase) ||
              !(largestEnvelope_[s] * f.marginPerEnvelope <= kWidestMargin);
    if (!f.exact) {
        f.sinA = std::sin(a);
        f.cosA = std::cos(a);
        return;
    }
    Turns clockTurns = 0, phaseTurns = 0;
    f.clock = clock;
    f.phase = phase;
    f.clockAndPhase = {};
    f.reduced = false;
    if (turnsOf(clock, clockTurns) && turnsOf(phase, phaseTurns)) {
        f.clockAndPhase.turns = clockTurns + phaseTurns; // wraps modulo one turn
        const double angle = angleOf(f.clockAndPhase.turns);
        f.clockAndPhase.sine = std::sin(angle);
        f.clockAndPhase.cosine = std::cos(angle);
        // The model's phase is clock - lag + phase less the rounding errors of its two additions, each
        // within half a unit in the last place of a sum no larger than this size: 2^-64 of it. While
        // that error fits the margin, the sine needs no recovery of the errors per point.
        const double roundings = (size + largestLag_[s]) * kAdditionError;
        f.marginPerEnvelope = kExactMargin + 2.0 * roundings;
        f.reduced = largestEnvelope_[s] * f.marginPerEnvelope <= kWidestMargin;
    } else {
        f.clock = kNaN; // every point of this source goes to the model
    }
}

bool DisplacementField::sourcesToRebuild(const Scene& scene, const Key* old, bool dirty[]) const {
    // A new grid, law or mode, or a source that starts or stops sounding, changes every pair.
    if (old == nullptr || old->n != key_.n || old->law != key_.law ||
        old->twoSourceMode != key_.twoSourceMode)
        return true;
    bool moved = false;
    for (int k = 1; k <= kSourceCount; ++k) {
        moved = moved || old->x[k] != key_.x[k] || old->y[k] != key_.y[k];
        if (k <= activeSourceCount(key_.twoSourceMode) && (old->amp[k] == 0) != (key_.amp[k] == 0))
            return true;
    }
    for (std::size_t s = 0; s < live_.size(); ++s) {
        const int k = live_[s];
        dirty[s] = old->x[k] != key_.x[k] || old->y[k] != key_.y[k] || old->amp[k] != key_.amp[k] ||
                   old->omega[k] != key_.omega[k] || old->speedBits[k] != key_.speedBits[k];
    }
    // A point that comes to lie on a source, or leaves one, changes every source's pair there.
    if (moved) {
        for (const Point& pt : points_) {
            if (pt.onSource != coincidesWithSource(scene, pt.px, pt.py)) return true;
        }
    }
    return false;
}

void DisplacementField::rebuild(const Scene& scene, const Key* old) {
    bool dirty[kSourceCount]{};
    const bool all = sourcesToRebuild(scene, old, dirty);
    const std::size_t side = static_cast<std::size_t>(2 * n_ + 1);
    if (all) {
        live_.clear();
        for (int k = 1; k <= activeSourceCount(key_.twoSourceMode); ++k) {
            if (scene.source(k).amp != 0) live_.push_back(k);
        }
        std::fill(std::begin(dirty), std::end(dirty), true);
        points_.resize(side * side);
    }
    const std::size_t count = live_.size();
    pairs_.resize(points_.size() * count);
    double lagPerPixel[kSourceCount]{};
    // Per source, the points up to the one at which it was found to need the exact path.
    std::size_t doubleUntil[kSourceCount]{};
    for (std::size_t s = 0; s < count; ++s) {
        if (!dirty[s]) continue;
        const WaveSource& src = scene.source(live_[s]);
        lagPerPixel[s] = static_cast<double>((src.omega * kPi) / 180.0L) / src.speed;
        // The largest lag is at the grid corner farthest from the source. Beyond the double path's
        // reach the source always takes the exact path, and the double lag's sine is never wanted.
        const double dx = std::fabs(static_cast<double>(src.x)) + 300.0;
        const double dy = std::fabs(static_cast<double>(src.y)) + 300.0;
        const double largestLag = std::fabs(std::sqrt(dx * dx + dy * dy) * lagPerPixel[s]);
        exactOnly_[s] = !(largestLag <= kMaxPhase);
        // The model's lags differ from this double one by a few parts in 2^52 at most.
        largestLag_[s] = std::isfinite(largestLag) ? largestLag * (1.0 + 0x1p-40) : kInf;
        largestEnvelope_[s] = 0.0;
        exactColumns_[s].assign(side, false); // the exact lags are made again, in place, when needed
    }

    std::vector<std::int32_t> rest(side);
    for (std::size_t i = 0; i < side; ++i)
        rest[i] = gridCoordinate(static_cast<std::int32_t>(i) - n_, n_);

    // The changed sources' terms for one column at a time, in vector lanes: the rows' offsets from each
    // source, then per column the unit vectors times the envelopes, the envelopes, the lags and the lags'
    // sines and cosines.
    PairSource terms[kSourceCount]{};
    scratch_.resize(7 * count * side);
    double* const dyOf = scratch_.data();
    double* const ax = dyOf + count * side;
    double* const ay = ax + count * side;
    double* const envelope = ay + count * side;
    double* const lag = envelope + count * side;
    double* const sinLag = lag + count * side;
    double* const cosLag = sinLag + count * side;
    for (std::size_t s = 0; s < count; ++s) {
        if (!dirty[s]) continue;
        const WaveSource& src = scene.source(live_[s]);
        const double amp = src.amp;
        terms[s] = {key_.law,
                    key_.law == AttenuationLaw::inverseDistance       ? amp
                    : key_.law == AttenuationLaw::inverseSqrtDistance ? amp / 10.0
                                                                      : amp / 200.0,
                    lagPerPixel[s]};
        for (std::size_t j = 0; j < side; ++j) // exact: both are integers of at most 33 bits
            dyOf[s * side + j] = static_cast<double>(rest[j]) - static_cast<double>(src.y);
    }

    std::size_t p = 0;
    for (std::size_t column = 0; column < side; ++column) {
        const std::int32_t px = rest[column];
        for (std::size_t s = 0; s < count; ++s) {
            if (!dirty[s]) continue;
            const double dx = static_cast<double>(px) - static_cast<double>(scene.source(live_[s]).x);
            const std::size_t at = s * side;
            pairTermsOfColumn(terms[s], dx, dyOf + at, side, ax + at, ay + at, envelope + at, lag + at);
            if (!exactOnly_[s]) sinCosBatch(lag + at, sinLag + at, cosLag + at, side);
        }
        for (std::size_t j = 0; j < side; ++j, ++p) {
            Point& pt = points_[p];
            Pair* pair = pairs_.data() + p * count;
            if (all) {
                pt.px = px;
                pt.py = rest[j];
                pt.column = static_cast<std::uint32_t>(column);
                pt.onSource = coincidesWithSource(scene, px, pt.py);
                if (pt.onSource) {
                    pt.below = pt.above = pt.exactBound = 0.0;
                    for (std::size_t s = 0; s < count; ++s)
                        pair[s] = Pair{0, 0, 0, 0, 0, kInf};
                }
            }
            if (pt.onSource) continue;
            // Each source's bound terms are |envelope| times the parts of the unit vector: |ax| and |ay|.
            double bx = 0.0, by = 0.0;
            for (std::size_t s = 0; s < count; ++s) {
                Pair& pr = pair[s];
                if (dirty[s]) {
                    const std::size_t q = s * side + j;
                    pr = {ax[q], ay[q], 0.0, 0.0, std::fabs(envelope[q]), kInf};
                    const double size = std::fabs(lag[q]);
                    if (!exactOnly_[s] && size <= kMaxPhase) {
                        pr.sinLag = sinLag[q];
                        pr.cosLag = cosLag[q];
                        pr.margin0 = 2.0 * pr.envelope * (size * kPhaseError + kResultError);
                    }
                    if (!exactOnly_[s] && (!(size <= kMaxPhase) || !(pr.margin0 <= kWidestMargin))) {
                        exactOnly_[s] = true;
                        doubleUntil[s] = p + 1;
                    }
                    largestEnvelope_[s] = std::max(largestEnvelope_[s], pr.envelope);
                }
                bx += std::fabs(pr.ax);
                by += std::fabs(pr.ay);
            }
            // Rounding moves below and above by 2^-53 at most, far inside the slack of 2^-44.
            const double approx = std::sqrt(bx * bx + by * by);
            pt.below = approx - approx * kBoundError;
            pt.above = approx + approx * kBoundError;
            pt.exactBound = kNaN;
        }
    }

    // A source found part way to need the exact path never takes the double path at any point.
    for (std::size_t s = 0; s < count; ++s) {
        for (std::size_t q = s; q < doubleUntil[s] * count; q += count) {
            pairs_[q].margin0 = kInf;
            pairs_[q].sinLag = pairs_[q].cosLag = 0.0;
        }
    }
}

// The exact lags of one source for one column of points, when a frame first needs one of them: points
// that are never drawn never need them.
void DisplacementField::buildExactColumn(std::size_t column, std::size_t s) {
    const std::size_t side = static_cast<std::size_t>(2 * n_ + 1);
    const WaveSource& src = scene_.source(live_[s]);
    const long double perFrame = radiansPerFrame(src);
    if (exactLags_[s].size() != points_.size()) exactLags_[s].resize(points_.size());
    ExactLag* lags = exactLags_[s].data() + column * side;
    exactColumns_[s][column] = true;
    angles_.resize(side);
    sines_.resize(side);
    cosines_.resize(side);
    // The extended-precision lags first, in a loop of their own: their divisions and roots then overlap
    // instead of each reduction waiting for its lag.
    for (std::size_t j = 0; j < side; ++j) {
        const Point& pt = points_[column * side + j];
        if (!pt.onSource) lags[j].lag = lagTerm(sourceDistance(src, pt.px, pt.py), perFrame, src.speed);
    }
    for (std::size_t j = 0; j < side; ++j) {
        ExactLag& e = lags[j];
        angles_[j] = kNaN; // a lag too large to reduce, or no lag at all, leaves the point to the model
        if (!points_[column * side + j].onSource && turnsOf(e.lag, e.angle.turns))
            angles_[j] = angleOf(e.angle.turns);
    }
    sinCosBatch(angles_.data(), sines_.data(), cosines_.data(), side);
    for (std::size_t j = 0; j < side; ++j) {
        lags[j].angle.sine = sines_[j]; // NaN where there is no angle
        lags[j].angle.cosine = cosines_[j];
    }
}

double DisplacementField::bound(std::size_t p) const {
    const Point& pt = points_[p];
    if (!std::isnan(pt.exactBound)) return pt.exactBound;
    return displacementBound(scene_, pt.px, pt.py, key_.law, key_.twoSourceMode);
}

bool DisplacementField::boundBelowByModel(std::size_t p, double limit) {
    Point& pt = points_[p];
    if (std::isnan(pt.exactBound)) { // near the limit: the model decides, once per scene
        ++modelCalls_;
        pt.exactBound = bound(p);
        pt.below = pt.above = pt.exactBound;
    }
    return limit > pt.exactBound;
}

bool DisplacementField::offsets(std::size_t p, ParticleDisplacement& out) {
    out.componentX = {};
    out.componentY = {};
    bool finite = true;
    const std::size_t count = live_.size();
    const Pair* pair = pairs_.data() + p * count; // no pairs at all when every source is silent
    for (std::size_t s = 0; s < count; ++s, ++pair) {
        const FrameTerms& f = frame_[s];
        double sine = 0.0;
        double margin = kInf;
        if (!f.exact) {
            // sin(a - lag): the phase is the clock-and-phase term minus the travel lag.
            sine = f.sinA * pair->cosLag - f.cosA * pair->sinLag;
            margin = pair->margin0 + pair->envelope * f.marginPerEnvelope;
        } else {
            const ExactLag& e = exactLag(p, s);
            if (!std::isfinite(e.lag)) { // the model's phase and scale are not finite: no offset
                finite = false;
                continue;
            }
            if (f.reduced) { // a NaN sine, of a lag that could not be reduced, goes to the model
                sine = sineOfDifference(f.clockAndPhase, e.angle);
                margin = pair->envelope * f.marginPerEnvelope;
            } else if (sineOfModelPhase(f.clock, f.phase, f.clockAndPhase, e.lag, e.angle, sine)) {
                margin = pair->envelope * kExactMargin;
            }
        }
        const std::size_t k = static_cast<std::size_t>(live_[s]);
        double x = 0.0;
        double y = 0.0;
        if (roundSafely(sine * pair->ax, margin, x) && roundSafely(sine * pair->ay, margin, y)) {
            out.componentX[k] = static_cast<std::int64_t>(x);
            out.componentY[k] = static_cast<std::int64_t>(y);
            continue;
        }
        ++modelCalls_;
        const SourceOffset o =
            sourceOffset(scene_.source(live_[s]), scene_.simTime, points_[p].px, points_[p].py, key_.law);
        out.componentX[k] = o.x;
        out.componentY[k] = o.y;
        finite = finite && o.finite;
    }
    return finite;
}

ParticleDisplacement DisplacementField::displace(std::size_t p) {
    ParticleDisplacement out;
    out.bound = offsets(p, out) ? bound(p) : kInf;
    return out;
}

} // namespace rs
