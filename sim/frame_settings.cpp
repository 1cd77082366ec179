// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/frame_settings.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rs {

AttenuationLaw attenuationLaw(const FrameSettings& settings) {
    if (settings.gens1) return AttenuationLaw::inverseDistance;
    if (settings.gens2) return AttenuationLaw::inverseSqrtDistance;
    return AttenuationLaw::noAttenuation;
}

std::int32_t gridHalf(const FrameSettings& settings) {
    return std::clamp(settings.numpoints, kMinGridHalf, kMaxGridHalf);
}

std::int32_t gridCoordinate(std::int32_t i, std::int32_t n) {
    const long double q = static_cast<long double>(std::int64_t{i} * 300) / n;
    return static_cast<std::int32_t>(std::nearbyint(q));
}

double drawLimit(std::int32_t numzoom, std::int32_t n) {
    return static_cast<double>((static_cast<long double>(std::int64_t{numzoom} * 300) / 10.0L) / n);
}

Colour sourceColour(int k) {
    static constexpr std::array<Colour, kSourceCount + 1> colours{0, 0x0000FF00, 0x00FF00FF, 0x0000FFFF,
                                                                  0x00FFFF00};
    return colours[static_cast<std::size_t>(k)];
}

} // namespace rs
