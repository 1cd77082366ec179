// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Angles of any size as a fraction of a full turn, reduced exactly from their extended-precision value.
// Phases of 10^12 radians and more keep their sine to about 2^-50 this way, with no extended-precision
// sine; fractions add and subtract exactly, wrapping modulo one turn.

#include <cstdint>
#include <limits>

namespace rs {

// Turns are units of 2^-64 of a full turn, modulo 2^64.
using Turns = std::uint64_t;

// x / (2 pi) modulo 1 to within 2^-63 of a turn; false when x is not finite or |x| >= 2^128.
bool turnsOf(long double x, Turns& turns);

// The angle of a fraction of a turn in radians, in [-pi, pi], to within 2^-51 radians.
double angleOf(Turns turns);

// An angle reduced to a fraction of a turn, with the sine and cosine of angleOf(turns) to within an ulp
// or a few (NaN when the angle could not be reduced).
struct ReducedAngle {
    Turns turns = 0;
    double sine = std::numeric_limits<double>::quiet_NaN();
    double cosine = std::numeric_limits<double>::quiet_NaN();
};

// The sine of the extended-precision phase (clock - lag) + phase, rounded after each addition exactly
// as the long-double model rounds it, to within 2^-49 of that phase's true sine. clockAndPhase is the
// reduction of clock + phase (the sum of the two reductions), lagAngle that of lag. False where the
// additions round too coarsely to follow (phases near 2^63 and beyond) or a reduction is missing.
bool sineOfModelPhase(long double clock, long double phase, const ReducedAngle& clockAndPhase,
                      long double lag, const ReducedAngle& lagAngle, double& sine);

} // namespace rs
