// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Angles of any size as a fraction of a full turn, reduced exactly from their extended-precision value.
// Phases of 10^12 radians and more keep their sine to about 2^-50 this way, with no extended-precision
// sine; fractions add and subtract exactly, wrapping modulo one turn.

#include <cmath>
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

// sin(minuend - subtrahend) from their reductions: the sine of the model's phase (clock - lag) + phase
// for minuend clock + phase and subtrahend lag, but for the rounding errors of the model's two
// additions; those are within 2^-63 of |clock| + |lag| + |phase| together. NaN when either is missing.
inline double sineOfDifference(const ReducedAngle& minuend, const ReducedAngle& subtrahend) {
    return minuend.sine * subtrahend.cosine - minuend.cosine * subtrahend.sine;
}

namespace detail {
// (a + b) - s exactly, where s is a + b rounded to extended precision.
inline long double roundingError(long double a, long double b, long double s) {
    const long double bb = s - a;
    return (a - (s - bb)) + (b - bb);
}

} // namespace detail

// Whether the model's two roundings in (clock - lag) + phase are the same for every lag from lo to hi
// (both finite, of one sign): then eps is their sum, and the model's phase is clock - lag + phase - eps
// exactly at each of those lags. So it is where the lags are all in one binade, every difference
// clock - lag in one binade no higher, and every sum with phase in one binade no higher again, with no
// rounding an exact tie (which the last bit of each lag would break).
bool uniformRoundings(long double clock, long double phase, long double lo, long double hi, double& eps);

// The sine of the extended-precision phase (clock - lag) + phase, rounded after each addition exactly
// as the long-double model rounds it, to within 2^-49 of that phase's true sine. clockAndPhase is the
// reduction of clock + phase (the sum of the two reductions), lagAngle that of lag. False where the
// additions round too coarsely to follow (phases near 2^63 and beyond) or a reduction is missing.
//
// Both additions round; their errors are recovered exactly, so the model's phase is
// clock + phase - lag - eps, where the first three are exact fractions of a turn and eps is small. The
// error: reductions 2^-61, the two angles 2^-51 each, their sines and cosines and the angle sum a few
// 2^-53, the series below 2^-56; under 2^-49 in all.
inline bool sineOfModelPhase(long double clock, long double phase, const ReducedAngle& clockAndPhase,
                             long double lag, const ReducedAngle& lagAngle, double& sine) {
    const long double behind = clock - lag;
    const long double theta = behind + phase;
    const double eps = static_cast<double>(detail::roundingError(clock, -lag, behind) +
                                           detail::roundingError(behind, phase, theta));
    if (std::fabs(eps) <= 0x1p-4) {
        // sin(alpha - lambda - eps) with the angle sum twice; the short series serve phases below about
        // 2^50 and are exact to 2^-56 there, the long ones to 2^-61.
        const double s = sineOfDifference(clockAndPhase, lagAngle);
        const double c = clockAndPhase.cosine * lagAngle.cosine + clockAndPhase.sine * lagAngle.sine;
        const double e2 = eps * eps;
        if (std::fabs(eps) <= 0x1p-13) {
            sine = s * (1.0 - 0.5 * e2) - c * (eps - eps * e2 * (1.0 / 6));
        } else {
            const double cosEps =
                1.0 - e2 * (1.0 / 2 - e2 * (1.0 / 24 - e2 * (1.0 / 720 - e2 * (1.0 / 40320))));
            const double sinEps =
                eps * (1.0 - e2 * (1.0 / 6 - e2 * (1.0 / 120 - e2 * (1.0 / 5040 - e2 * (1.0 / 362880)))));
            sine = s * cosEps - c * sinEps;
        }
        return std::isfinite(sine);
    }
    if (std::fabs(eps) <= 1.0 && !std::isnan(clockAndPhase.sine) && !std::isnan(lagAngle.sine)) {
        sine = std::sin(angleOf(clockAndPhase.turns - lagAngle.turns) - eps);
        return true;
    }
    return false;
}

} // namespace rs
