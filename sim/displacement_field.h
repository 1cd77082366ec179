// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The displacement of every grid point, fast. Everything that does not depend on the clock or the
// phases (distances, unit vectors, envelopes, the travel lag of the phase, the bound) is kept until the
// scene's geometry or the settings change; a frame then costs a few multiplications per point and source,
// a grid column at a time. Offsets are computed in double with a proven error margin; whenever a result
// lies within that margin of a rounding tie, the point falls back to the long-double model, so the
// results are exactly those of displaceParticle. Phases too large for a double (huge angular
// frequencies, far sources) take an exact path: the model's own extended-precision terms, reduced
// exactly to fractions of a turn.

#include "sim/displacement.h"
#include "sim/exact_lags.h"
#include "sim/offset_lanes.h"
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
    // Points are numbered column by column: index (i + n) * side() + (j + n), i the column.
    std::size_t side() const { return rest_.size(); }
    std::size_t pointCount() const { return onSource_.size(); }
    // Rest coordinate of grid index i + n, in either direction.
    std::int32_t rest(std::size_t index) const { return rest_[index]; }
    bool onSource(std::size_t p) const { return onSource_[p] != 0; }
    // The finite bound as displaceParticle computes it; the true bound is +infinity where the offsets
    // are not finite.
    double bound(std::size_t p) const;
    // limit > bound(p), mostly decided from a double bound with a proven margin.
    bool boundBelow(std::size_t p, double limit) {
        const double approx = approxBound_[p], slack = approx * kBoundSlack;
        if (limit > approx + slack) return true;
        if (limit < approx - slack) return false;
        return boundBelowByModel(p, limit);
    }

    // Offsets of the points of column c whose wanted[j] is set (none on a source) into out[j], entries
    // of sources that take no part 0 (wanted holds 0 or 1); finite[j] is 0 where some source's scale is not
    // finite (the point's true bound is then +infinity). What the other rows receive means nothing.
    void offsetsOfColumn(std::size_t c, const std::uint8_t* wanted, ParticleDisplacement* out,
                         std::uint8_t* finite);

    // How many times the time-independent terms were rebuilt, wholly or in part; for tests of the cache.
    int rebuildCount() const { return rebuilds_; }
    // How many source offsets and bound decisions needed the long-double model so far; for tests.
    std::int64_t modelCalls() const { return modelCalls_; }
    // How many columns of some source's exact lags were made so far; for tests.
    std::int64_t exactColumns() const { return exactColumns_; }

  private:
    // The double bound adds about twenty roundings of 2^-53 to the model's; it is trusted to 2^-44.
    static constexpr double kBoundSlack = 0x1p-44;

    struct Key {
        std::int32_t n = 0;
        AttenuationLaw law = AttenuationLaw::noAttenuation;
        bool twoSourceMode = false;
        std::int32_t x[kSourceCount + 1]{}, y[kSourceCount + 1]{}, amp[kSourceCount + 1]{},
            omega[kSourceCount + 1]{};
        std::uint64_t speedBits[kSourceCount + 1]{};
        bool operator==(const Key&) const = default;
    };
    // How a frame forms one source's sines.
    enum class Path {
        doubleLag,  // the double lag's sine and cosine, a double clock-and-phase term
        exactClock, // the double lag's sine and cosine, the exact clock and phase: no exact lags needed
        exactLag,   // the exact lag's reduction, the exact clock and phase; their roundings fit the margin
        modelPhase, // the model's phase rounded as it rounds it, per point
        model,      // no term can be reduced: every offset from the model
    };
    struct FrameTerms {
        Path path;
        FrameSource lanes;          // for doubleLag, exactClock and exactLag
        long double clock, phase;   // for modelPhase
        ReducedAngle clockAndPhase; // clock + phase, reduced
        double angle;               // of clockAndPhase
        double eps = 0;             // the roundings behind shifted, for modelPhase
        FrameSource shifted;        // for modelPhase where the roundings are the same in a whole column
    };
    // The cached terms of one live source at every point, one array each, column by column.
    struct SourceTerms {
        std::vector<double> ax, ay;   // unit vector times envelope: the offset per unit of sine
        std::vector<double> distance; // from the source, in doubles: the double lag per unit of lag per pixel
        // Sine and cosine of the travel lag: of the double lag, or where exactColumn is set, of the
        // model's own lag reduced exactly.
        std::vector<double> sinLag, cosLag;
        std::vector<long double> exactDistance; // the model's distance, where distanceColumn is set
        std::vector<std::uint8_t> distanceColumn;
        // The model's distance times the radians per frame, where productColumn is set: a new speed, the
        // slider's change, finds them made.
        std::vector<long double> exactProduct;
        std::vector<std::uint8_t> productColumn;
        std::vector<std::size_t> nearest, farthest; // a column's rows nearest and farthest from the source
        ExactLags exactLags;                        // how the model's lags are made
        std::vector<long double> exactLag;          // the model's lag, where exactColumn is set
        std::vector<Turns> exactTurns;              // and its reduction
        std::vector<std::uint8_t> exactColumn;
        std::vector<long double> columnLeast, columnMost; // of the finite exact lags of a column
        bool lagSines = false;      // the double lags' sines are there: their error fits the margin
        double largestEnvelope = 0; // over the points not on a source
        double largestLag = 0;      // above every point's lag, +infinity when unknown
    };

    static Key keyOf(const Scene& scene, AttenuationLaw law, bool twoSourceMode, std::int32_t n);
    // What a source's change makes again: nothing, its lags from the kept products (a new speed), its
    // lags alone (a new angular frequency: the geometry and the bounds stay), or all its terms.
    enum class Rebuild : std::uint8_t { none, speed, lags, all };
    // Makes the time-independent terms again: all of them, or after old only those of the sources that
    // changed when nothing else did (displacement_field_build.cpp).
    void rebuild(const Scene& scene, const Key* old);
    bool sourcesToRebuild(const Scene& scene, const Key* old, Rebuild dirty[]) const;
    void buildSourceTerms(const Scene& scene, std::size_t s, Rebuild what);
    void buildBounds();
    // The exact lags of one source, when a frame first needs them: a scene whose points are all grey
    // crosses never does.
    void buildExactColumns(std::size_t s);
    void buildDistanceColumn(std::size_t c, std::size_t s);
    void columnExtremes(std::size_t c, std::size_t s, std::size_t nearest, std::size_t farthest);
    void prepareFrame(const Scene& scene, std::size_t s);
    bool boundBelowByModel(std::size_t p, double limit);
    bool shiftByUniformRoundings(std::size_t c, std::size_t s);
    void modelPhaseOffsets(std::size_t c, std::size_t s, const std::uint8_t* wanted);
    void settleByExactLags(std::size_t c, std::size_t s, const std::uint8_t* wanted);
    void settle(std::size_t j, std::size_t p, const SourceTerms& t, double sine, double margin);

    Key key_{};
    bool built_ = false;
    int rebuilds_ = 0;
    std::int64_t modelCalls_ = 0;
    std::int64_t exactColumns_ = 0;
    std::int32_t n_ = 0;
    Scene scene_{};         // sources and clock of the current frame, for the fallback
    std::vector<int> live_; // sources taking part with a non-zero amplitude, in index order
    std::vector<std::int32_t> rest_;
    std::vector<std::uint8_t> onSource_;
    std::vector<double> approxBound_; // the model's bound lies within kBoundSlack of it
    std::vector<double> exactBound_;  // the model's bound once it was needed, else NaN
    SourceTerms terms_[kSourceCount];
    FrameTerms frame_[kSourceCount]{};
    // Scratch, kept for its capacity: a column's offsets per source and which of them the margin settled;
    // the rebuild's envelopes and double lags; the exact lags' angles.
    std::vector<std::int64_t> columnX_, columnY_;
    std::vector<std::uint8_t> settled_;
    std::vector<double> envelope_, lag_;
    std::vector<double> angles_;
};

} // namespace rs
