// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The model's lag (r * radiansPerFrame) / speed from the parts of r, in integers: the product of two 64-bit
// mantissas rounded to 64 bits ties to even, as the x87 unit rounds it, then for a speed that is a power of
// two (the usual 2.0) scaled exactly, for any other divided in vector lanes, the quotient rounded likewise.
// The same values as SourceLags without its extended-precision loads, stores and divisions, which made
// most of the cost of a grid's lags. One point at a time an integer division measured slower than the
// x87 unit's, which serves there.

#include "sim/displacement.h"
#include "sim/phase_turns.h"

#include <cstddef>
#include <cstdint>

namespace rs {

// How many points at a time: the widest the processor has, at most four, or one.
enum class LagLanes { one, four, widest };

class ExactLags {
  public:
    ExactLags() = default; // usable by no source
    explicit ExactLags(const WaveSource& src);
    // False where the integers do not serve: no x87 format, an angular frequency of 0, or a speed of 0,
    // subnormal or not finite.
    bool usable() const { return usable_; }
    // The model's lag in its two roundings, a column of points at a time: the products of the distances
    // and the radians per frame, which stay while only the speed changes, then from them the lags, with
    // their reductions and angleOf those in angles (NaN where a lag cannot be reduced, and at points on
    // a source, which get nothing else). As many points at a time as the processor's lanes hold, or as
    // lanes says (for tests): the same bits. Where the integers do not serve, the model's own operations
    // make them.
    void products(const long double* distance, const std::uint8_t* onSource, std::size_t count,
                  long double* products, LagLanes lanes = LagLanes::widest) const;
    void column(const long double* products, const std::uint8_t* onSource, std::size_t count,
                long double* lags, Turns* turns, double* angles, LagLanes lanes = LagLanes::widest) const;

  private:
    SourceLags model_;
    detail::Parts perFrame_;
    std::uint64_t divisor_ = 0;    // the speed's mantissa, top bit set
    std::uint64_t reciprocal_ = 0; // floor((2^128 - 1) / divisor) - 2^64, for a speed not a power of two
    double inverse_ = 0, inverseRest_ = 0; // and 1 / (divisor / 2^11) as a sum of two doubles
    int scale_ = 0; // the exponent of perFrame / speed, less one where it is not a power of two
    bool powerOfTwo_ = false;
    bool negative_ = false;
    bool usable_ = false;
};

// The reductions of a column's lags and angleOf them in angles (NaN where a lag cannot be reduced, and at
// points on a source, which get nothing else), in lanes as ExactLags::column.
void turnsOfColumn(const long double* lags, const std::uint8_t* onSource, std::size_t count, Turns* turns,
                   double* angles, LagLanes lanes = LagLanes::widest);

} // namespace rs
