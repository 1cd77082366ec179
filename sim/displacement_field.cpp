// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/displacement_field.h"

#include "sim/frame_settings.h"

#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace rs {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Error bookkeeping. Every double operation below is within 2^-53 relative of its exact value, the
// long-double model within 2^-64, and the libm sine and cosine within an ulp; the per-phase budget of
// 2^-48 and the per-result budget of 2^-46 cover all of that several times over, and the margin is then
// doubled. Phases beyond 2^30 radians always go to the long-double model.
constexpr double kPhaseError = 0x1p-48;
constexpr double kResultError = 0x1p-46;
constexpr double kMaxPhase = 0x1p30;

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

DisplacementField::Pair DisplacementField::makePair(const WaveSource& src, std::int32_t px, std::int32_t py,
                                                    AttenuationLaw law) {
    const double dx = static_cast<double>(std::int64_t{px} - src.x);
    const double dy = static_cast<double>(std::int64_t{py} - src.y);
    const double r = std::sqrt(dx * dx + dy * dy);
    double envelope = 0.0;
    switch (law) {
    case AttenuationLaw::inverseDistance:
        envelope = src.amp / r;
        break;
    case AttenuationLaw::inverseSqrtDistance:
        envelope = (src.amp / 10.0) / std::sqrt(r);
        break;
    case AttenuationLaw::noAttenuation:
        envelope = src.amp / 200.0;
        break;
    }
    const double perDegree = static_cast<double>((src.omega * kPi) / 180.0L);
    const double lag = (r * perDegree) / src.speed;
    Pair pair{(dx / r) * envelope, (dy / r) * envelope, 0.0, 0.0, std::fabs(envelope), kInf};
    if (std::isfinite(lag) && std::fabs(lag) <= kMaxPhase) {
        pair.sinLag = std::sin(lag);
        pair.cosLag = std::cos(lag);
        pair.margin0 = 2.0 * pair.envelope * (std::fabs(lag) * kPhaseError + kResultError);
    }
    return pair;
}

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
        key_ = key;
        n_ = n;
        rebuild(scene);
        built_ = true;
        ++rebuilds_;
    }
    for (int k : live_) {
        const WaveSource& s = scene.source(k);
        const long double w = s.omega;
        const long double clock = ((w * scene.simTime) * kPi) / 180.0L;
        const long double phase = (static_cast<long double>(s.phase) * kPi) / 180.0L;
        const double a = static_cast<double>(clock + phase);
        const double size = static_cast<double>(std::fabs(clock) + std::fabs(phase));
        FrameTerms& f = frame_[k];
        if (std::isfinite(a) && size <= kMaxPhase) {
            f.sinA = std::sin(a);
            f.cosA = std::cos(a);
            f.marginPerEnvelope = 2.0 * size * kPhaseError;
        } else {
            f = {0.0, 0.0, kInf};
        }
    }
}

void DisplacementField::rebuild(const Scene& scene) {
    live_.clear();
    for (int k = 1; k <= activeSourceCount(key_.twoSourceMode); ++k) {
        if (scene.source(k).amp != 0) live_.push_back(k);
    }
    const std::size_t side = static_cast<std::size_t>(2 * n_ + 1);
    points_.resize(side * side);
    pairs_.resize(points_.size() * live_.size());

    std::vector<std::int32_t> rest(side);
    for (std::size_t i = 0; i < side; ++i)
        rest[i] = gridCoordinate(static_cast<std::int32_t>(i) - n_, n_);

    std::size_t p = 0;
    for (const std::int32_t px : rest) {
        for (const std::int32_t py : rest) {
            Point& pt = points_[p];
            pt.px = px;
            pt.py = py;
            pt.onSource = coincidesWithSource(scene, px, py);
            pt.bound = pt.onSource ? 0.0 : displacementBound(scene, px, py, key_.law, key_.twoSourceMode);
            for (std::size_t s = 0; s < live_.size(); ++s) {
                pairs_[p * live_.size() + s] = pt.onSource
                                                   ? Pair{0, 0, 0, 0, 0, kInf}
                                                   : makePair(scene.source(live_[s]), px, py, key_.law);
            }
            ++p;
        }
    }
}

bool DisplacementField::offsets(std::size_t p, ParticleDisplacement& out) const {
    out.componentX = {};
    out.componentY = {};
    bool finite = true;
    const Pair* pair = pairs_.data() + p * live_.size(); // no pairs at all when every source is silent
    for (std::size_t s = 0; s < live_.size(); ++s, ++pair) {
        const int k = live_[s];
        const FrameTerms& f = frame_[k];
        // sin(a - lag): the phase is the clock-and-phase term minus the travel lag.
        const double sine = f.sinA * pair->cosLag - f.cosA * pair->sinLag;
        const double margin = pair->margin0 + pair->envelope * f.marginPerEnvelope;
        double x = 0.0;
        double y = 0.0;
        if (roundSafely(sine * pair->ax, margin, x) && roundSafely(sine * pair->ay, margin, y)) {
            out.componentX[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(x);
            out.componentY[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(y);
            continue;
        }
        const SourceOffset o =
            sourceOffset(scene_.source(k), scene_.simTime, points_[p].px, points_[p].py, key_.law);
        out.componentX[static_cast<std::size_t>(k)] = o.x;
        out.componentY[static_cast<std::size_t>(k)] = o.y;
        finite = finite && o.finite;
    }
    return finite;
}

ParticleDisplacement DisplacementField::displace(std::size_t p) const {
    ParticleDisplacement out;
    out.bound = offsets(p, out) ? points_[p].bound : kInf;
    return out;
}

} // namespace rs
