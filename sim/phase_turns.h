// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Angles of any size as a fraction of a full turn, reduced exactly from their extended-precision value.
// Phases of 10^12 radians and more keep their sine to about 2^-50 this way, with no extended-precision
// sine; fractions add and subtract exactly, wrapping modulo one turn.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace rs {

// Turns are units of 2^-64 of a full turn, modulo 2^64.
using Turns = std::uint64_t;

namespace detail {

__extension__ using WideTurns = unsigned __int128;

// 1 / (2 pi) to 192 bits after the binary point, most significant word first. Cutting it there costs
// at most x * 2^-192 turns, below 2^-64 for every |x| < 2^128.
inline constexpr std::uint64_t kInverseTurn[3] = {0x28BE60DB9391054A, 0x7F09D5F47D4D3770, 0x36D8A5664F10E410};

// 2 pi / 2^64, the angle of a unit of Turns, to double, and the rest of it: angleOf's terms, which the
// vector lanes take too.
inline constexpr double kTurnUnit = 0x1.921fb54442d18p-62;
inline constexpr double kTurnUnitRest = 0x1.1a62633145c07p-116;

// Whether long double is the x87 extended format, whose bytes split and powerOfTwo read and write.
inline constexpr bool kX87Extended =
    std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384;

// |x| = mantissa * 2^(e - 64) exactly, with the 64-bit mantissa as an integer, and x's sign; false for
// infinities and NaNs. The x87 format is read directly (frexp and ldexp cost most of a reduction
// otherwise), from where x is stored: a copy made through the x87 unit would be read back before its
// store completed.
struct Parts {
    std::uint64_t mantissa = 0;
    int e = 0;
    bool negative = false;
};
inline bool split(const long double& x, Parts& parts) {
    if constexpr (kX87Extended) {
        unsigned char bytes[sizeof(long double)];
        std::memcpy(bytes, &x, sizeof bytes);
        std::uint16_t top = 0;
        std::memcpy(&parts.mantissa, bytes, sizeof parts.mantissa);
        std::memcpy(&top, bytes + 8, sizeof top);
        parts.negative = (top & 0x8000) != 0;
        const int biased = top & 0x7FFF;
        if (biased == 0x7FFF) return false;
        if (biased == 0) { // zero or subnormal: far below a unit of turn
            parts.mantissa = 0;
            parts.e = 0;
            return true;
        }
        parts.e = biased - 16382;
        return true;
    } else {
        if (!std::isfinite(x)) return false;
        parts.negative = std::signbit(x);
        const long double m = std::frexp(std::fabs(x), &parts.e); // |x| = m * 2^e, m in [0.5, 1) or 0
        parts.mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
        return true;
    }
}

// The number of parts whose mantissa has its top bit set and whose e lies in the format's range (as split
// gives them for a normal number), written where x is stored; for the x87 format only (kX87Extended).
inline void join(const Parts& parts, long double& x) {
    // Two stores into x itself: a whole copy from a buffer would wait for its parts' stores to complete.
    const auto top = static_cast<std::uint16_t>((parts.negative ? 0x8000 : 0) | (parts.e + 16382));
    auto* bytes = reinterpret_cast<unsigned char*>(&x);
    std::memcpy(bytes, &parts.mantissa, sizeof parts.mantissa);
    std::memcpy(bytes + 8, &top, sizeof top);
}

// parts.mantissa * 2^(parts.e - 64) / (2 pi) modulo 1, signed, to within 2^-63 of a turn; false when the
// value is 2^128 or more.
inline bool turnsOfParts(const Parts& parts, Turns& turns) {
    if (parts.e > 128) return false;
    const std::uint64_t mantissa = parts.mantissa;
    if (parts.e >= 1 && parts.e <= 62) {
        // Below 2^62 (the lags of any wave speed the window offers) the third word of 1 / (2 pi) and the
        // low word of the second product add less than two units before the shift right by 64 - e >= 2,
        // so less than one after it: two products serve.
        const detail::WideTurns sum = detail::WideTurns{mantissa} * detail::kInverseTurn[0] +
                                      ((detail::WideTurns{mantissa} * detail::kInverseTurn[1]) >> 64);
        const auto low = static_cast<std::uint64_t>(sum);
        const auto high = static_cast<std::uint64_t>(sum >> 64);
        const int shift = 64 - parts.e; // 2 to 63
        const std::uint64_t t = (low >> shift) | ((high << 1) << (63 - shift));
        turns = parts.negative ? Turns{0} - t : t;
        return true;
    }
    // mantissa * kInverseTurn is a 256-bit number with 256 bits after the point, in two halves;
    // |x| / (2 pi) * 2^64 is it shifted right by 192 - e bits.
    const detail::WideTurns low = detail::WideTurns{mantissa} * detail::kInverseTurn[2];
    const detail::WideTurns mid = detail::WideTurns{mantissa} * detail::kInverseTurn[1];
    const detail::WideTurns high = detail::WideTurns{mantissa} * detail::kInverseTurn[0];
    const detail::WideTurns carry = (low >> 64) + static_cast<std::uint64_t>(mid);
    const detail::WideTurns lowHalf = (carry << 64) | static_cast<std::uint64_t>(low);
    const detail::WideTurns highHalf = high + (mid >> 64) + (carry >> 64);
    const int shift = 192 - parts.e; // >= 64
    std::uint64_t t = 0;             // shifted out entirely for |x| < 2^-64: less than one unit
    if (shift >= 128) {
        if (shift < 256) t = static_cast<std::uint64_t>(highHalf >> (shift - 128));
    } else {
        t = static_cast<std::uint64_t>((highHalf << (128 - shift)) | (lowHalf >> shift));
    }
    turns = parts.negative ? Turns{0} - t : t;
    return true;
}

} // namespace detail

// x / (2 pi) modulo 1 to within 2^-63 of a turn; false when x is not finite or |x| >= 2^128. Inline, as
// angleOf: the exact lags of a column take both at every point.
inline bool turnsOf(const long double& x, Turns& turns) {
    detail::Parts parts;
    return detail::split(x, parts) && detail::turnsOfParts(parts, turns);
}

// The angle of a fraction of a turn in radians, in [-pi, pi], to within 2^-51 radians.
inline double angleOf(Turns turns) {
    // Signed, so that the angle lies in [-pi, pi). In doubles, without the x87 unit: the turns split
    // into a high part of 53 bits and the low 11 bits, both exact, and 2 pi / 2^64 into two doubles.
    // The high product rounds once, the small terms add far below it and the sum rounds once: within
    // an ulp of the angle, 2^-51 radians.
    const auto t = static_cast<std::int64_t>(turns);
    const std::int64_t low = t & 0x7FF;
    const auto high = static_cast<double>(t - low);
    return high * detail::kTurnUnit +
           (high * detail::kTurnUnitRest + static_cast<double>(low) * detail::kTurnUnit);
}

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
