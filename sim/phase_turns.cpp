// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/phase_turns.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace rs {

namespace {

// The binade of every value between a and b when both lie well inside one binade, with one sign (the
// exact values they were rounded from then do too): |v| in [2^(e-1), 2^e), as frexp gives e. Read from
// the format as turnsOf reads it: frexp and ldexp, library calls, took most of a column's check.
bool oneBinade(long double a, long double b, int& e) {
    detail::Parts pa, pb;
    if (!detail::split(a, pa) || !detail::split(b, pb)) return false;
    // 2^-58 of the binade from either end, far above the half unit a rounding moves by; zeros and
    // subnormals (mantissa 0) are never inside.
    constexpr std::uint64_t kEdge = std::uint64_t{1} << 6;
    const auto inside = [](std::uint64_t m) { return m > (std::uint64_t{1} << 63) + kEdge && m < 0 - kEdge; };
    e = pa.e;
    return pa.e == pb.e && pa.negative == pb.negative && inside(pa.mantissa) && inside(pb.mantissa);
}

// 2^k, built directly where it is a normal extended-precision number.
long double powerOfTwo(int k) {
    if constexpr (detail::kX87Extended) {
        if (k >= -16382 && k <= 16383) {
            long double x = 0;
            detail::join({std::uint64_t{1} << 63, k + 1, false}, x);
            return x;
        }
    }
    return std::ldexp(1.0L, k);
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
    const long double behindUnit = powerOfTwo(eBehind - 64);
    long double e1 = 0, e2 = 0;
    if (!roundingRest(clock, behindUnit, e1)) return false;
    // Likewise the sum with phase, whose rounded differences are whole multiples of their unit.
    const long double clockPart = clock - e1;
    if (!oneBinade((clockPart - lo) + phase, (clockPart - hi) + phase, eTheta) || eTheta > eBehind)
        return false;
    if (!roundingRest(phase, powerOfTwo(eTheta - 64), e2)) return false;
    eps = static_cast<double>(e1 + e2);
    return true;
}

} // namespace rs
