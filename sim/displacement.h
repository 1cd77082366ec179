// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// How far the superposed waves push one medium particle, and how far they could ever push it.
// This is the plain long-double model; the renderer's faster path must agree with it bit for bit.

#include "sim/scene.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace rs {

enum class AttenuationLaw {
    inverseDistance,     // amp / r
    inverseSqrtDistance, // (amp / 10) / sqrt(r)
    noAttenuation,       // amp / 200
};

struct ParticleDisplacement {
    // Index 0 is never used. 64-bit because amp -2147483648 at r = 1 gives an offset of 2^31.
    std::array<std::int64_t, kSourceCount + 1> componentX{};
    std::array<std::int64_t, kSourceCount + 1> componentY{};
    // Upper bound of the displacement at any time; +infinity when some source's scale is not finite
    // (a speed of 0, say), so that the point is never drawable.
    double bound = 0.0;
};

// True when (px, py) is the position of any of the four sources, whatever their amplitude.
bool coincidesWithSource(const Scene& scene, std::int32_t px, std::int32_t py);

// Must not be called for a point that coincides with a source.
ParticleDisplacement displaceParticle(const Scene& scene, std::int32_t px, std::int32_t py,
                                      AttenuationLaw law, bool twoSourceMode);

// The phase of one source at one point is (clockTerm - lagTerm) + phaseTerm, in extended precision and
// in that order; the renderer's exact path evaluates the same terms.
long double clockTerm(const WaveSource& src, double t); // ((omega * t) * pi) / 180
long double phaseTerm(const WaveSource& src);           // (phase * pi) / 180
// dx and dy have up to 33 bits, so their squares are summed exactly in 128 bits before the one rounding
// into long double (exact whenever the sum fits 64 bits, as it always does on the grid). Inline: the
// exact lags of a whole grid take it once a point.
inline long double distanceOf(std::int64_t dx, std::int64_t dy) {
    __extension__ using Wide = unsigned __int128;
    const std::uint64_t ax = dx < 0 ? static_cast<std::uint64_t>(-dx) : static_cast<std::uint64_t>(dx);
    const std::uint64_t ay = dy < 0 ? static_cast<std::uint64_t>(-dy) : static_cast<std::uint64_t>(dy);
    const Wide d2 = Wide{ax} * ax + Wide{ay} * ay;
    // The same value either way; the 64-bit conversion is the cheap one.
    const long double sum = d2 >> 64 == 0 ? static_cast<long double>(static_cast<std::uint64_t>(d2))
                                          : static_cast<long double>(d2);
    return std::sqrt(sum);
}
inline long double sourceDistance(const WaveSource& src, std::int32_t px, std::int32_t py) { // r
    return distanceOf(std::int64_t{px} - src.x, std::int64_t{py} - src.y);
}
long double lagTerm(const WaveSource& src, long double r); // (r * radiansPerFrame(src)) / speed
long double radiansPerFrame(const WaveSource& src);        // (omega * pi) / 180
inline long double lagTerm(long double r, long double radiansPerFrame, double speed) {
    return (r * radiansPerFrame) / speed;
}
// lagTerm for many distances from one source. A speed that is a power of two (the usual 2.0) divides
// exactly as its reciprocal multiplies: the same lags, without the slow division.
class SourceLags {
  public:
    SourceLags() = default;
    explicit SourceLags(const WaveSource& src) : perFrame_(radiansPerFrame(src)), speed_(src.speed) {
        int exponent = 0;
        byInverse_ = std::fabs(std::frexp(src.speed, &exponent)) == 0.5;
        if (byInverse_) inverse_ = 1.0L / static_cast<long double>(src.speed);
    }
    long double operator()(long double r) const { return fromProduct(product(r)); }
    // The lag in its two roundings: r times the radians per frame, then that by the speed.
    long double product(long double r) const { return r * perFrame_; }
    long double fromProduct(long double p) const { return byInverse_ ? p * inverse_ : p / speed_; }

  private:
    long double perFrame_ = 0.0L;
    double speed_ = 0.0;
    long double inverse_ = 0.0L;
    bool byInverse_ = false;
};

// The pieces of displaceParticle for one source, for the renderer's fallback path.
struct SourceOffset {
    std::int64_t x = 0;
    std::int64_t y = 0;
    bool finite = true; // false: the signed scale D is not finite and no offset exists
};
SourceOffset sourceOffset(const WaveSource& src, double t, std::int32_t px, std::int32_t py,
                          AttenuationLaw law);
// bx += |p / r| / r-style terms of one source; bx and by are stored as doubles between sources.
void addBoundTerms(const WaveSource& src, std::int32_t px, std::int32_t py, AttenuationLaw law, double& bx,
                   double& by);
// The bound of a point from its finite terms alone: sqrt(bx^2 + by^2) over the active sources.
double displacementBound(const Scene& scene, std::int32_t px, std::int32_t py, AttenuationLaw law,
                         bool twoSourceMode);

// Sources taking part: 1 and 2 in two-source mode, otherwise 1 to 4.
inline int activeSourceCount(bool twoSourceMode) {
    return twoSourceMode ? 2 : kSourceCount;
}

} // namespace rs
