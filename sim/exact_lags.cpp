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
    if (!powerOfTwo_) reciprocal_ = static_cast<std::uint64_t>(~Wide{0} / divisor_);
    scale_ = perFrame_.e - speedE + (powerOfTwo_ ? 1 : 0);
    negative_ = perFrame_.negative != std::signbit(src.speed);
    usable_ = true;
}

void ExactLags::column(const long double* distance, const std::uint8_t* onSource, std::size_t count,
                       long double* lags, Turns* turns, double* angles, LagLanes lanes) const {
    if (!usable_) { // in a loop of their own: the model's operations then overlap
        for (std::size_t j = 0; j < count; ++j)
            lags[j] = model_(distance[j]);
        turnsOfColumn(lags, onSource, count, turns, angles, lanes);
        return;
    }
    const LagTerms terms{perFrame_.mantissa, divisor_, reciprocal_, scale_, powerOfTwo_, negative_};
    // The lags first, then their reductions in a pass of their own: shorter chains overlap better.
    std::size_t j = 0;
    while (j < count) {
        if (lanes != LagLanes::one)
            j += lagLanes(lanes, &terms, distance + j, onSource + j, count - j, lags + j, nullptr, nullptr);
        // One point, or the rest of a group the lanes left: one group at most, then the lanes again.
        for (const std::size_t end = std::min(count, j + 4); j < end; ++j) {
            if (onSource[j]) continue;
            if (powerOfTwo_) {
                detail::Parts parts;
                detail::split(distance[j], parts);
                detail::join((*this)(parts), lags[j]);
            } else {
                lags[j] = model_(distance[j]);
            }
        }
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
