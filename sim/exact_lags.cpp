// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/exact_lags.h"

#include "sim/exact_lag_lanes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace rs {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

ExactLags::ExactLags(const WaveSource& src) : model_(src) {
    if constexpr (!detail::kX87Extended) return;
    if (!std::isnormal(src.speed)) return;
    if (!detail::split(radiansPerFrame(src), perFrame_) || perFrame_.mantissa == 0) return;
    // The speed's parts as split would give them for its extended-precision value, from the double.
    const auto bits = std::bit_cast<std::uint64_t>(src.speed);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const int speedE = static_cast<int>((bits >> 52) & 0x7FF) - 1022;
    divisor_ = (fraction | std::uint64_t{1} << 52) << 11;
    powerOfTwo_ = fraction == 0;
    __extension__ using Wide = unsigned __int128;
    if (!powerOfTwo_) {
        reciprocal_ = static_cast<std::uint64_t>(~Wide{0} / divisor_);
        // 1 - m * inverse is exact for the rounded reciprocal of any m; its quotient by m is the rest,
        // rounded once: within 2^-53 of a number below 2^-105.
        const double m = static_cast<double>(divisor_ >> 11);
        inverse_ = 1.0 / m;
        inverseRest_ = std::fma(-m, inverse_, 1.0) / m;
    }
    scale_ = perFrame_.e - speedE + (powerOfTwo_ ? 1 : 0);
    negative_ = perFrame_.negative != std::signbit(src.speed);
    usable_ = true;
}

namespace {

// The integers' way in lanes where they serve, one point at a time in between: one group at most, then
// the lanes again.
template <class OnePoint>
void inLanes(const LagTerms* terms, const long double* from, const std::uint8_t* onSource, std::size_t count,
             long double* to, LagLanes lanes, OnePoint onePoint) {
    std::size_t j = 0;
    while (j < count) {
        if (lanes != LagLanes::one)
            j += lagLanes(lanes, terms, from + j, onSource + j, count - j, to + j, nullptr, nullptr);
        for (const std::size_t end = std::min(count, j + 4); j < end; ++j) {
            if (!onSource[j]) to[j] = onePoint(from[j]);
        }
    }
}

} // namespace

void ExactLags::products(const long double* distance, const std::uint8_t* onSource, std::size_t count,
                         long double* products, LagLanes lanes) const {
    const auto onePoint = [this](long double r) { return model_.product(r); };
    if (!usable_) return inLanes(nullptr, distance, onSource, count, products, LagLanes::one, onePoint);
    // Scaled by a power of two that changes nothing: the product alone, as the model rounds it.
    const LagTerms terms{perFrame_.mantissa, 0, 0, perFrame_.e, true, perFrame_.negative};
    inLanes(&terms, distance, onSource, count, products, lanes, onePoint);
}

void ExactLags::column(const long double* products, const std::uint8_t* onSource, std::size_t count,
                       long double* lags, Turns* turns, double* angles, LagLanes lanes) const {
    const auto onePoint = [this](long double p) { return model_.fromProduct(p); };
    // The lags first, then their reductions in a pass of their own: shorter chains overlap better.
    if (!usable_) {
        inLanes(nullptr, products, onSource, count, lags, LagLanes::one, onePoint);
    } else {
        // A factor of one (2^63 with its exponent) leaves each product as it is for the division or scaling.
        const LagTerms terms{LagTerms::kOne, divisor_,  reciprocal_, scale_ - perFrame_.e + 1,
                             powerOfTwo_,    negative_, inverse_,    inverseRest_};
        inLanes(&terms, products, onSource, count, lags, lanes, onePoint);
    }
    turnsOfColumn(lags, onSource, count, turns, angles, lanes);
}

void turnsOfColumn(const long double* lags, const std::uint8_t* onSource, std::size_t count, Turns* turns,
                   double* angles, LagLanes lanes) {
    std::size_t j = 0;
    while (j < count) {
        if (lanes != LagLanes::one)
            j += lagLanes(lanes, nullptr, lags + j, onSource + j, count - j, nullptr, turns + j, angles + j);
        for (const std::size_t end = std::min(count, j + 4); j < end; ++j) {
            angles[j] = kNaN; // a lag too large to reduce, or no lag at all, leaves the point to the model
            if (!onSource[j] && turnsOf(lags[j], turns[j])) angles[j] = angleOf(turns[j]);
        }
    }
}

} // namespace rs
