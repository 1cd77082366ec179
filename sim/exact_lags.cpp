// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/exact_lags.h"

#include "sim/exact_lag_lanes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rs {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

ExactLags::ExactLags(const WaveSource& src) {
    if constexpr (!detail::kX87Extended) return;
    int exponent = 0; // speed = m * 2^exponent, |m| = 1/2 for a power of two
    if (!std::isnormal(src.speed) || std::fabs(std::frexp(src.speed, &exponent)) != 0.5) return;
    if (!detail::split(radiansPerFrame(src), perFrame_) || perFrame_.mantissa == 0) return;
    scale_ = perFrame_.e - (exponent - 1);
    negative_ = perFrame_.negative != std::signbit(src.speed);
    usable_ = true;
}

void ExactLags::column(const long double* distance, const std::uint8_t* onSource, std::size_t count,
                       long double* lags, Turns* turns, double* angles, LagLanes lanes) const {
    const LagTerms terms{perFrame_.mantissa, scale_, negative_};
    std::size_t j = 0;
    while (j < count) {
        if (lanes != LagLanes::one)
            j += lagLanes(lanes, &terms, distance + j, onSource + j, count - j, lags + j, turns + j,
                          angles + j);
        // One point, or the rest of a group the lanes left: one group at most, then the lanes again.
        for (const std::size_t end = std::min(count, j + 4); j < end; ++j) {
            angles[j] = kNaN; // a lag too large to reduce leaves the point to the model
            if (onSource[j]) continue;
            detail::Parts parts;
            detail::split(distance[j], parts);
            parts = (*this)(parts);
            detail::join(parts, lags[j]);
            if (detail::turnsOfParts(parts, turns[j])) angles[j] = angleOf(turns[j]);
        }
    }
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
