// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/phase_turns.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace rs {

namespace {

__extension__ using Wide = unsigned __int128;

// 1 / (2 pi) to 192 bits after the binary point, most significant word first. Cutting it there costs
// at most x * 2^-192 turns, below 2^-64 for every |x| < 2^128.
constexpr std::uint64_t kInverseTurn[3] = {0x28BE60DB9391054A, 0x7F09D5F47D4D3770, 0x36D8A5664F10E410};

// |x| = mantissa * 2^(e - 64) exactly, with the 64-bit mantissa as an integer; false for infinities
// and NaNs. The x87 format is read directly (frexp and ldexp cost most of a reduction otherwise).
bool split(long double x, std::uint64_t& mantissa, int& e) {
    if constexpr (std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384) {
        unsigned char bytes[sizeof(long double)];
        std::memcpy(bytes, &x, sizeof bytes);
        std::uint16_t top = 0;
        std::memcpy(&mantissa, bytes, sizeof mantissa);
        std::memcpy(&top, bytes + 8, sizeof top);
        const int biased = top & 0x7FFF;
        if (biased == 0x7FFF) return false;
        if (biased == 0) { // zero or subnormal: far below a unit of turn
            mantissa = 0;
            e = 0;
            return true;
        }
        e = biased - 16382;
        return true;
    } else {
        if (!std::isfinite(x)) return false;
        const long double m = std::frexp(std::fabs(x), &e); // |x| = m * 2^e, m in [0.5, 1) or 0
        mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
        return true;
    }
}

} // namespace

bool turnsOf(long double x, Turns& turns) {
    std::uint64_t mantissa = 0;
    int e = 0;
    if (!split(x, mantissa, e) || e > 128) return false;
    // mantissa * kInverseTurn is a 256-bit number with 256 bits after the point, in two halves;
    // |x| / (2 pi) * 2^64 is it shifted right by 192 - e bits.
    const Wide low = Wide{mantissa} * kInverseTurn[2];
    const Wide mid = Wide{mantissa} * kInverseTurn[1];
    const Wide high = Wide{mantissa} * kInverseTurn[0];
    const Wide carry = (low >> 64) + static_cast<std::uint64_t>(mid);
    const Wide lowHalf = (carry << 64) | static_cast<std::uint64_t>(low);
    const Wide highHalf = high + (mid >> 64) + (carry >> 64);
    const int shift = 192 - e; // >= 64
    std::uint64_t t = 0;       // shifted out entirely for |x| < 2^-64: less than one unit
    if (shift >= 128) {
        if (shift < 256) t = static_cast<std::uint64_t>(highHalf >> (shift - 128));
    } else {
        t = static_cast<std::uint64_t>((highHalf << (128 - shift)) | (lowHalf >> shift));
    }
    turns = x < 0 ? Turns{0} - t : t;
    return true;
}

namespace {

// The binade of every value between a and b when both lie well inside one binade, with one sign (the
// exact values they were rounded from then do too): |v| in [2^(e-1), 2^e), as frexp gives e.
bool oneBinade(long double a, long double b, int& e) {
    int eb = 0;
    const long double ma = std::frexp(a, &e), mb = std::frexp(b, &eb);
    constexpr long double kEdge = 0x1p-58L; // far above the half unit a rounding moves by
    const auto inside = [](long double m) {
        return std::fabs(m) > 0.5L + kEdge && std::fabs(m) < 1.0L - kEdge;
    };
    return e == eb && (ma < 0) == (mb < 0) && inside(ma) && inside(mb);
}

// x - round(x / unit) * unit for a power of two unit: exact. False for a tie, whose direction the other
// operand's last bit would decide.
bool roundingRest(long double x, long double unit, long double& rest) {
    const long double q = x / unit;
    // Nearest whole number, ties to even: next to 2^63 the last bit is a unit. nearbyint would save and
    // restore the floating-point environment, the slowest part of a frame of such phases.
    constexpr long double kUnitBit = 0x1p63L;
    long double r = q;
    if (q >= 0 && q < kUnitBit) r = (q + kUnitBit) - kUnitBit;
    if (q < 0 && q > -kUnitBit) r = (q - kUnitBit) + kUnitBit;
    if (std::fabs(q - r) == 0.5L) return false;
    rest = x - r * unit;
    return true;
}

} // namespace

bool uniformRoundings(long double clock, long double phase, long double lo, long double hi, double& eps) {
    if constexpr (std::numeric_limits<long double>::digits != 64) return false;
    int eLag = 0, eBehind = 0, eTheta = 0;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !oneBinade(lo, hi, eLag)) return false;
    // clock - lag rounds to units of 2^(eBehind - 64); the lags are whole multiples of such units when
    // eBehind <= eLag, so the rounding moves only the clock's part, the same at every lag.
    if (!oneBinade(clock - lo, clock - hi, eBehind) || eBehind > eLag) return false;
    const long double behindUnit = std::ldexp(1.0L, eBehind - 64);
    long double e1 = 0, e2 = 0;
    if (!roundingRest(clock, behindUnit, e1)) return false;
    // Likewise the sum with phase, whose rounded differences are whole multiples of their unit.
    const long double clockPart = clock - e1;
    if (!oneBinade((clockPart - lo) + phase, (clockPart - hi) + phase, eTheta) || eTheta > eBehind)
        return false;
    if (!roundingRest(phase, std::ldexp(1.0L, eTheta - 64), e2)) return false;
    eps = static_cast<double>(e1 + e2);
    return true;
}

double angleOf(Turns turns) {
    // Signed, so that the angle lies in [-pi, pi). In doubles, without the x87 unit: the turns split
    // into a high part of 53 bits and the low 11 bits, both exact, and 2 pi / 2^64 into two doubles.
    // The high product rounds once, the small terms add far below it and the sum rounds once: within
    // an ulp of the angle, 2^-51 radians.
    constexpr double kHigh = 0x1.921fb54442d18p-62; // 2 pi / 2^64, to double
    constexpr double kLow = 0x1.1a62633145c07p-116; // the rest of it
    const auto t = static_cast<std::int64_t>(turns);
    const std::int64_t low = t & 0x7FF;
    const auto high = static_cast<double>(t - low);
    return high * kHigh + (high * kLow + static_cast<double>(low) * kHigh);
}

} // namespace rs
