// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The displacement of every grid point, fast. Everything that does not depend on the clock or the
// phases (distances, unit vectors, envelopes, the travel lag of the phase, the bound) is kept until the
// scene's geometry or the settings change; a frame then costs a few multiplications per point and source.
// Offsets are computed in double with a proven error margin; whenever a result lies within that margin of
// a rounding tie, the point falls back to the long-double model, so the results are exactly those of
// displaceParticle. Phases too large for a double (huge angular frequencies, far sources) take an exact
// path: the model's own extended-precision phase, reduced exactly to a fraction of a turn.

#include "sim/displacement.h"
#include "sim/phase_turns.h"

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
    // The finite bound as displaceParticle computes it; the true bound is +infinity when offsets()
    // returns false.
    double bound(std::size_t p) const;
    // limit > bound(p), mostly decided from a double bound with a proven margin.
    bool boundBelow(std::size_t p, double limit) {
        const Point& pt = points_[p];
        if (limit > pt.above) return true;
        if (limit < pt.below) return false;
        return boundBelowByModel(p, limit);
    }

    // Offsets of point p into out (entries of sources that take no part are 0); false when some source's
    // scale is not finite. Not for points on a source.
    bool offsets(std::size_t p, ParticleDisplacement& out);
    // Everything displaceParticle would return for point p.
    ParticleDisplacement displace(std::size_t p);

    // How many times the time-independent terms were rebuilt, wholly or in part; for tests of the cache.
    int rebuildCount() const { return rebuilds_; }
    // How many source offsets and bound decisions needed the long-double model so far; for tests.
    std::int64_t modelCalls() const { return modelCalls_; }

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
        std::uint32_t column; // p / (2n + 1), kept to spare a division per point and frame
        bool onSource;
        // The model's bound lies in [below, above]; once the model was asked, both are that bound.
        double below;
        double above;
        double exactBound; // the model's bound once it was needed, else NaN
    };
    // One source at one point. margin0 is +infinity where the double phase cannot be trusted.
    struct Pair {
        double ax, ay; // unit vector times envelope: the offset per unit of sine
        double sinLag; // sine and cosine of the distance-dependent phase lag
        double cosLag;
        double envelope; // |envelope|
        double margin0;  // the part of the error margin fixed by the geometry
    };
    // The model's own lag of one source at one point, for the exact path, made when a frame first needs
    // it.
    struct ExactLag {
        long double lag = 0;
        ReducedAngle angle; // NaN sine where the lag cannot be reduced
    };
    struct FrameTerms {
        bool exact;        // this frame takes the exact path for the source
        bool reduced;      // on the exact path, the rounding of the model's two additions fits the margin
        double sinA, cosA; // sine and cosine of the clock and phase terms, for the double path
        double marginPerEnvelope;
        long double clock, phase;   // the model's terms, for the exact path (clock NaN: not reducible)
        ReducedAngle clockAndPhase; // clock + phase, reduced
    };

    static Key keyOf(const Scene& scene, AttenuationLaw law, bool twoSourceMode, std::int32_t n);
    // Makes the time-independent terms again: all of them, or after old only those of the sources that
    // changed when nothing else did.
    void rebuild(const Scene& scene, const Key* old);
    bool sourcesToRebuild(const Scene& scene, const Key* old, bool dirty[]) const;
    bool boundBelowByModel(std::size_t p, double limit);
    // Inline: it is asked for at every point and source of every frame on the exact path.
    const ExactLag& exactLag(std::size_t p, std::size_t s) {
        const std::size_t column = points_[p].column;
        if (!exactColumns_[s][column]) buildExactColumn(column, s);
        return exactLags_[s][p];
    }
    void buildExactColumn(std::size_t column, std::size_t s);
    void prepareFrame(const Scene& scene, std::size_t s);

    Key key_{};
    bool built_ = false;
    int rebuilds_ = 0;
    std::int64_t modelCalls_ = 0;
    std::int32_t n_ = 0;
    Scene scene_{};         // sources and clock of the current frame, for the fallback
    std::vector<int> live_; // sources taking part with a non-zero amplitude, in index order
    std::vector<Point> points_;
    std::vector<Pair> pairs_; // points_.size() * live_.size(), point-major
    // Per live source: some lag is too large for the double path, or its margin too wide; the largest
    // envelope; the exact lags at every point, and which columns of them are made.
    bool exactOnly_[kSourceCount]{};
    double largestEnvelope_[kSourceCount]{};
    double largestLag_[kSourceCount]{}; // above every point's lag, +infinity when unknown
    std::vector<ExactLag> exactLags_[kSourceCount];
    std::vector<bool> exactColumns_[kSourceCount];
    FrameTerms frame_[kSourceCount]{};
    std::vector<double> angles_, sines_, cosines_; // scratch for the batched sines, kept for its capacity
    std::vector<double> scratch_;                  // the rebuild's column terms, likewise
};

} // namespace rs
