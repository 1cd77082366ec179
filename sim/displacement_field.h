// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The displacement of every grid point, fast. Everything that does not depend on the clock or the
// phases (distances, unit vectors, envelopes, the travel lag of the phase, the bound) is kept until the
// scene's geometry or the settings change; a frame then costs a few multiplications per point and source.
// Offsets are computed in double with a proven error margin; whenever a result lies within that margin of
// a rounding tie, or the double phase is unreliable, the point falls back to the long-double model, so
// the results are exactly those of displaceParticle.

#include "sim/displacement.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rs {

class DisplacementField {
  public:
    // Brings the field up to date with the scene at its current clock value. n is the grid half-size.
    void prepare(const Scene& scene, AttenuationLaw law, bool twoSourceMode, std::int32_t n);

    std::int32_t gridHalf() const { return n_; }
    // Points are numbered column by column: index (i + n) * (2n + 1) + (j + n).
    std::size_t pointCount() const { return points_.size(); }
    std::int32_t restX(std::size_t p) const { return points_[p].px; }
    std::int32_t restY(std::size_t p) const { return points_[p].py; }
    bool onSource(std::size_t p) const { return points_[p].onSource; }
    // The finite bound; the true bound is +infinity when offsets() returns false.
    double bound(std::size_t p) const { return points_[p].bound; }

    // Offsets of point p into out (entries of sources that take no part are 0); false when some source's
    // scale is not finite. Not for points on a source.
    bool offsets(std::size_t p, ParticleDisplacement& out) const;
    // Everything displaceParticle would return for point p.
    ParticleDisplacement displace(std::size_t p) const;

    // How many times the time-independent terms were rebuilt; for tests of the cache.
    int rebuildCount() const { return rebuilds_; }

  private:
    struct Key {
        std::int32_t n = 0;
        AttenuationLaw law = AttenuationLaw::noAttenuation;
        bool twoSourceMode = false;
        std::int32_t x[kSourceCount + 1]{}, y[kSourceCount + 1]{}, amp[kSourceCount + 1]{},
            omega[kSourceCount + 1]{};
        std::uint64_t speedBits[kSourceCount + 1]{};
        bool operator==(const Key&) const = default;
    };
    struct Point {
        std::int32_t px;
        std::int32_t py;
        bool onSource;
        double bound;
    };
    // One source at one point. margin0 is +infinity where the double path cannot be trusted.
    struct Pair {
        double ax, ay; // unit vector times envelope: the offset per unit of sine
        double sinLag; // sine and cosine of the distance-dependent phase lag
        double cosLag;
        double envelope; // |envelope|
        double margin0;  // the part of the error margin fixed by the geometry
    };
    struct FrameTerms {
        double sinA, cosA; // sine and cosine of the clock and phase terms
        double marginPerEnvelope;
    };

    static Pair makePair(const WaveSource& src, std::int32_t px, std::int32_t py, AttenuationLaw law);
    static Key keyOf(const Scene& scene, AttenuationLaw law, bool twoSourceMode, std::int32_t n);
    void rebuild(const Scene& scene);

    Key key_{};
    bool built_ = false;
    int rebuilds_ = 0;
    std::int32_t n_ = 0;
    Scene scene_{};         // sources and clock of the current frame, for the fallback
    std::vector<int> live_; // sources taking part with a non-zero amplitude, in index order
    std::vector<Point> points_;
    std::vector<Pair> pairs_; // points_.size() * live_.size(), point-major
    FrameTerms frame_[kSourceCount + 1]{};
};

} // namespace rs
