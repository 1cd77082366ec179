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
