// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// ExactLags::column in vector lanes: the same integer operations and the same double roundings as one
// point at a time, on four or eight points.

#include "sim/exact_lags.h"

#include <cstddef>
#include <cstdint>

namespace rs {

struct LagTerms {
    // A perFrame of one (2^63) multiplies nothing: the lanes then take their values as they are.
    static constexpr std::uint64_t kOne = std::uint64_t{1} << 63;
    std::uint64_t perFrame;   // the mantissa of the radians per frame, or of one
    std::uint64_t divisor;    // the speed's mantissa
    std::uint64_t reciprocal; // floor((2^128 - 1) / divisor) - 2^64, unless a power of two
    int scale;                // as ExactLags keeps it
    bool powerOfTwo;
    bool negative;
    // 1 / (divisor / 2^11), an integer of 53 bits, as a sum of two doubles to within 2^-104 of itself
    double inverse = 0, inverseRest = 0;
};

// With terms, ExactLags' products from distances or lags from products (lags alone); without, those of
// turnsOfColumn (from lags: turns and angles alone), in lanes: whole groups of points from the start, up to
// the first group that has a point on a source or a lag outside [2^0, 2^62) (the one-point way takes that
// group); returns how many points were done, 0 where the processor has no lanes of the kind asked for.
std::size_t lagLanes(LagLanes lanes, const LagTerms* terms, const long double* from,
                     const std::uint8_t* onSource, std::size_t count, long double* lags, Turns* turns,
                     double* angles);

} // namespace rs
