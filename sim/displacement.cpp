// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/displacement.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace rs {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

struct Geometry {
    long double dx;
    long double dy;
    long double r;
};

Geometry geometry(const WaveSource& src, std::int32_t px, std::int32_t py) {
    const std::int64_t dx = std::int64_t{px} - src.x;
    const std::int64_t dy = std::int64_t{py} - src.y;
    return {static_cast<long double>(dx), static_cast<long double>(dy), distanceOf(dx, dy)};
}

long double roundHalfEven(long double v) {
    return std::nearbyint(v);
} // default mode: ties to even

} // namespace

bool coincidesWithSource(const Scene& scene, std::int32_t px, std::int32_t py) {
    for (int k = 1; k <= kSourceCount; ++k) {
        if (scene.source(k).x == px && scene.source(k).y == py) return true;
    }
    return false;
}

long double clockTerm(const WaveSource& src, double t) {
    return ((static_cast<long double>(src.omega) * t) * kPi) / 180.0L;
}

long double phaseTerm(const WaveSource& src) {
    return (static_cast<long double>(src.phase) * kPi) / 180.0L;
}

long double radiansPerFrame(const WaveSource& src) {
    return (static_cast<long double>(src.omega) * kPi) / 180.0L;
}

long double lagTerm(const WaveSource& src, long double r) {
    return lagTerm(r, radiansPerFrame(src), src.speed);
}

SourceOffset sourceOffset(const WaveSource& src, double t, std::int32_t px, std::int32_t py,
                          AttenuationLaw law) {
    // A source of amplitude 0 contributes nothing, even when its phase is undefined.
    if (src.amp == 0) return {};
    const Geometry g = geometry(src, px, py);
    const long double theta = (clockTerm(src, t) - lagTerm(src, g.r)) + phaseTerm(src);
    const long double s = std::sin(theta);
    double d = 0.0; // stored as a double: visible in exact ties such as -7.5
    switch (law) {
    case AttenuationLaw::inverseDistance:
        d = static_cast<double>((s * src.amp) / g.r);
        break;
    case AttenuationLaw::inverseSqrtDistance:
        d = static_cast<double>(((s * src.amp) / 10.0L) / std::sqrt(g.r));
        break;
    case AttenuationLaw::noAttenuation:
        d = static_cast<double>((s * src.amp) / 200.0L);
        break;
    }
    if (!std::isfinite(d)) return {0, 0, false};
    // |dx / r| <= 1 and |d| <= 2^31, so both fit 64 bits comfortably.
    return {static_cast<std::int64_t>(roundHalfEven((g.dx / g.r) * d)),
            static_cast<std::int64_t>(roundHalfEven((g.dy / g.r) * d)), true};
}

void addBoundTerms(const WaveSource& src, std::int32_t px, std::int32_t py, AttenuationLaw law, double& bx,
                   double& by) {
    if (src.amp == 0) return; // its terms are exactly 0
    const Geometry g = geometry(src, px, py);
    // dx * amp and dy * amp: exact in the 64-bit mantissa for every grid point.
    const long double p = std::fabs((g.dx * src.amp) / g.r);
    const long double q = std::fabs((g.dy * src.amp) / g.r);
    switch (law) {
    case AttenuationLaw::inverseDistance:
        bx = static_cast<double>(bx + p / g.r);
        by = static_cast<double>(by + q / g.r);
        break;
    case AttenuationLaw::inverseSqrtDistance: {
        const long double root = std::sqrt(g.r);
        bx = static_cast<double>(bx + ((p / g.r) * root) / 10.0L);
        by = static_cast<double>(by + ((q / g.r) * root) / 10.0L);
        break;
    }
    case AttenuationLaw::noAttenuation:
        bx = static_cast<double>(bx + p / 200.0L);
        by = static_cast<double>(by + q / 200.0L);
        break;
    }
}

double displacementBound(const Scene& scene, std::int32_t px, std::int32_t py, AttenuationLaw law,
                         bool twoSourceMode) {
    double bx = 0.0;
    double by = 0.0;
    for (int k = 1; k <= activeSourceCount(twoSourceMode); ++k) {
        addBoundTerms(scene.source(k), px, py, law, bx, by);
    }
    const long double lx = bx;
    const long double ly = by;
    return static_cast<double>(std::sqrt(lx * lx + ly * ly));
}

ParticleDisplacement displaceParticle(const Scene& scene, std::int32_t px, std::int32_t py,
                                      AttenuationLaw law, bool twoSourceMode) {
    ParticleDisplacement out;
    bool finite = true;
    for (int k = 1; k <= activeSourceCount(twoSourceMode); ++k) {
        const SourceOffset o = sourceOffset(scene.source(k), scene.simTime, px, py, law);
        out.componentX[static_cast<std::size_t>(k)] = o.x;
        out.componentY[static_cast<std::size_t>(k)] = o.y;
        finite = finite && o.finite;
    }
    out.bound = finite ? displacementBound(scene, px, py, law, twoSourceMode)
                       : std::numeric_limits<double>::infinity();
    return out;
}

} // namespace rs
