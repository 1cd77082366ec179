// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// What a frame does with the cached terms: each source's clock-and-phase term, then the offsets of a
// column of points. The terms themselves are made in displacement_field_build.cpp.
#include "sim/displacement_field.h"

#include "sim/displacement_margins.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace rs {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

// Whether a wanted point is still unsettled; both hold flags of 0 and 1. Which points are wanted follows
// the picture, grey crosses among the rest, so a branch per point would often be mispredicted: eight
// flags are tested at a time instead.
inline bool anyUnsettled(const std::uint8_t* wanted, const std::uint8_t* settled, std::size_t n) {
    std::uint64_t open = 0;
    std::size_t j = 0;
    for (; j + 8 <= n; j += 8) {
        std::uint64_t w = 0, s = 0;
        std::memcpy(&w, wanted + j, sizeof w);
        std::memcpy(&s, settled + j, sizeof s);
        open |= w & ~s;
    }
    for (; j < n; ++j)
        open |= static_cast<std::uint64_t>(wanted[j] & ~settled[j]);
    return (open & 0x0101010101010101U) != 0;
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
    using namespace margins;
    const SourceTerms& t = terms_[s];
    const WaveSource& src = scene.source(live_[s]);
    const long double clock = clockTerm(src, scene.simTime);
    const long double phase = phaseTerm(src);
    const double a = static_cast<double>(clock + phase);
    const double size = static_cast<double>(std::fabs(clock) + std::fabs(phase));
    FrameTerms& f = frame_[s];
    // The double path also needs every lag small.
    if (t.lagSines && t.largestLag <= kMaxPhase && std::isfinite(a) && size <= kMaxPhase) {
        const double margin = 2.0 * t.largestEnvelope * ((t.largestLag + size) * kPhaseError + kResultError);
        if (margin <= kWidestMargin) {
            f.path = Path::doubleLag;
            f.lanes = {std::sin(a), std::cos(a), margin};
            return;
        }
    }
    Turns clockTurns = 0, phaseTurns = 0;
    if (!turnsOf(clock, clockTurns) || !turnsOf(phase, phaseTurns)) {
        f.path = Path::model;
        return;
    }
    f.clock = clock;
    f.phase = phase;
    f.clockAndPhase.turns = clockTurns + phaseTurns; // wraps modulo one turn
    f.angle = angleOf(f.clockAndPhase.turns);
    f.clockAndPhase.sine = std::sin(f.angle);
    f.clockAndPhase.cosine = std::cos(f.angle);
    // The model's phase is clock - lag + phase less the rounding errors of its two additions. While those
    // fit the margin, the sine needs no recovery of them per point.
    const double exactMargin =
        t.largestEnvelope * (kExactMargin + 2.0 * (size + t.largestLag) * kAdditionError);
    // Where the double lags' error fits the margin, their sines take the place of the exact lags', which
    // a change would otherwise have to make again: the few points they leave undecided take the model's
    // lag one at a time. A column whose exact lags were made keeps their sines, closer still.
    const double lagMargin = 2.0 * t.largestEnvelope * (t.largestLag * kPhaseError + kResultError);
    if (t.lagSines && exactMargin + lagMargin <= kWidestMargin) {
        f.path = Path::exactClock;
        f.lanes = {f.clockAndPhase.sine, f.clockAndPhase.cosine, exactMargin + lagMargin};
    } else if (exactMargin <= kWidestMargin) {
        f.path = Path::exactLag;
        f.lanes = {f.clockAndPhase.sine, f.clockAndPhase.cosine, exactMargin};
    } else {
        f.path = Path::modelPhase;
        f.lanes.margin = t.largestEnvelope * kExactMargin;
        f.eps = kNaN; // no column's roundings known yet
    }
}

// Where the model's roundings are the same at every point of column c, its phase is the clock-and-phase
// angle shifted by them less each lag, exactly: the offsets come from the lanes like any others. The
// shifted angle is within 2^-50 of its exact value, inside the exact path's budget.
bool DisplacementField::shiftByUniformRoundings(std::size_t c, std::size_t s) {
    FrameTerms& f = frame_[s];
    const SourceTerms& t = terms_[s];
    double eps = 0.0;
    if (!uniformRoundings(f.clock, f.phase, t.columnLeast[c], t.columnMost[c], eps)) return false;
    if (!(eps == f.eps)) { // most columns share the roundings of the one before
        const double angle = f.angle - eps;
        f.eps = eps;
        f.shifted = {std::sin(angle), std::cos(angle), f.lanes.margin};
    }
    return true;
}

void DisplacementField::offsetsOfColumn(std::size_t c, const std::uint8_t* wanted, ParticleDisplacement* out,
                                        std::uint8_t* finite) {
    const std::size_t side = rest_.size(), base = c * side;
    if (std::find(wanted, wanted + side, std::uint8_t{1}) == wanted + side)
        return; // a column of grey crosses needs no offsets, nor exact lags
    for (std::size_t j = 0; j < side; ++j) {
        out[j].componentX = {};
        out[j].componentY = {};
        finite[j] = 1;
    }
    columnX_.resize(side);
    columnY_.resize(side);
    settled_.resize(side);
    for (std::size_t s = 0; s < live_.size(); ++s) {
        FrameTerms& f = frame_[s];
        SourceTerms& t = terms_[s];
        const bool exact = f.path == Path::exactLag || f.path == Path::modelPhase;
        if (exact && !t.exactColumn[c]) buildExactColumns(s);
        const bool shifted = f.path == Path::modelPhase && shiftByUniformRoundings(c, s);
        if (f.path == Path::doubleLag || f.path == Path::exactClock || f.path == Path::exactLag || shifted) {
            offsetsOfRun(shifted ? f.shifted : f.lanes, t.ax.data() + base, t.ay.data() + base,
                         t.sinLag.data() + base, t.cosLag.data() + base, side, columnX_.data(),
                         columnY_.data(), settled_.data());
            if (f.path == Path::exactClock) settleByExactLags(c, s, wanted);
        } else if (f.path == Path::modelPhase) {
            modelPhaseOffsets(c, s, wanted);
        } else {
            std::fill(settled_.begin(), settled_.end(), std::uint8_t{0});
        }
        const int k = live_[s];
        const WaveSource& src = scene_.source(k);
        const std::size_t entry = static_cast<std::size_t>(k);
        for (std::size_t j = 0; j < side; ++j) {
            out[j].componentX[entry] = columnX_[j];
            out[j].componentY[entry] = columnY_[j];
        }
        if (!anyUnsettled(wanted, settled_.data(), side)) continue;
        for (std::size_t j = 0; j < side; ++j) {
            if (!wanted[j] || settled_[j]) continue;
            // The model's phase and scale are not finite: no offset, and no need to ask the model.
            if (exact && !std::isfinite(t.exactLag[base + j])) {
                out[j].componentX[entry] = out[j].componentY[entry] = 0;
                finite[j] = 0;
                continue;
            }
            ++modelCalls_;
            const SourceOffset o = sourceOffset(src, scene_.simTime, rest_[c], rest_[j], key_.law);
            out[j].componentX[entry] = o.x;
            out[j].componentY[entry] = o.y;
            finite[j] = finite[j] && o.finite;
        }
    }
}

// Rounds a point's offsets where the sine decides them within margin.
void DisplacementField::settle(std::size_t j, std::size_t p, const SourceTerms& t, double sine,
                               double margin) {
    double x = 0.0, y = 0.0;
    if (roundSafely(sine * t.ax[p], margin, x) && roundSafely(sine * t.ay[p], margin, y)) {
        columnX_[j] = static_cast<std::int64_t>(x);
        columnY_[j] = static_cast<std::int64_t>(y);
        settled_[j] = 1;
    }
}

// The model's phase rounded as the model rounds it, the errors of its additions recovered point by point:
// the way of phases whose roundings are too coarse for the margin (lags of 2^50 radians and more).
void DisplacementField::modelPhaseOffsets(std::size_t c, std::size_t s, const std::uint8_t* wanted) {
    const FrameTerms& f = frame_[s];
    const SourceTerms& t = terms_[s];
    const std::size_t side = rest_.size(), base = c * side;
    for (std::size_t j = 0; j < side; ++j) {
        settled_[j] = 0;
        const std::size_t p = base + j;
        if (!wanted[j] || !std::isfinite(t.exactLag[p])) continue;
        const ReducedAngle lag{t.exactTurns[p], t.sinLag[p], t.cosLag[p]};
        double sine = 0.0;
        if (sineOfModelPhase(f.clock, f.phase, f.clockAndPhase, t.exactLag[p], lag, sine))
            settle(j, p, t, sine, f.lanes.margin);
    }
}

// The points that the double lags left undecided, the few near a rounding tie: the model's own lag, one
// point at a time, and its phase rounded as it rounds it, decided within the exact path's narrow margin.
void DisplacementField::settleByExactLags(std::size_t c, std::size_t s, const std::uint8_t* wanted) {
    const FrameTerms& f = frame_[s];
    const SourceTerms& t = terms_[s];
    const WaveSource& src = scene_.source(live_[s]);
    const SourceLags lagOf(src);
    const std::size_t side = rest_.size(), base = c * side;
    if (!anyUnsettled(wanted, settled_.data(), side)) return;
    for (std::size_t j = 0; j < side; ++j) {
        if (!wanted[j] || settled_[j]) continue;
        const long double lag = lagOf(sourceDistance(src, rest_[c], rest_[j]));
        ReducedAngle angle;
        if (!turnsOf(lag, angle.turns)) continue;
        const double a = angleOf(angle.turns);
        angle.sine = std::sin(a);
        angle.cosine = std::cos(a);
        double sine = 0.0;
        if (sineOfModelPhase(f.clock, f.phase, f.clockAndPhase, lag, angle, sine))
            settle(j, base + j, t, sine, t.largestEnvelope * margins::kExactMargin);
    }
}

double DisplacementField::bound(std::size_t p) const {
    if (!std::isnan(exactBound_[p])) return exactBound_[p];
    const std::size_t side = rest_.size();
    return displacementBound(scene_, rest_[p / side], rest_[p % side], key_.law, key_.twoSourceMode);
}

bool DisplacementField::boundBelowByModel(std::size_t p, double limit) {
    if (std::isnan(exactBound_[p])) { // near the limit: the model decides, once per scene
        ++modelCalls_;
        exactBound_[p] = bound(p);
        approxBound_[p] = exactBound_[p];
    }
    return limit > exactBound_[p];
}

} // namespace rs
