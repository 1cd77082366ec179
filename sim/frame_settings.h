// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// What one frame reads from the window's controls, the grid geometry and the picture's colours.

#include "sim/displacement.h"
#include "sim/drawing_surface.h"

#include <cstdint>

namespace rs {

// Read from the window's controls at the start of every frame; defaults are the window's start-up state.
struct FrameSettings {
    bool ch_guruguru = false;    // red background
    bool ch_2cut = false;        // only sources 1 and 2 take part
    bool gens1 = false;          // 1/r
    bool gens2 = true;           // 1/sqrt(r)
    bool ch_seibun = true;       // per-source component lines
    bool ch_bashi = true;        // foot line from rest to displaced position
    bool ch_baishitsu = true;    // the particle
    bool ch_rect = false;        // square particles
    bool ch_suihei = true;       // grey x for undrawable points
    std::int32_t numpoints = 20; // N, the grid runs from -N to N
    std::int32_t numzoom = 15;   // overtaking limit in tenths of a grid spacing
};

// gens1 wins over gens2; neither checked means no attenuation (gens0 itself is never consulted).
AttenuationLaw attenuationLaw(const FrameSettings& settings);

inline constexpr std::int32_t kMinGridHalf = 5;
inline constexpr std::int32_t kMaxGridHalf = 50;
// The track bar holds 5..50; anything else is brought into that range so the grid stays finite.
std::int32_t gridHalf(const FrameSettings& settings);

// Rest position of grid index i in -n..n: round(i * 300 / n), ties to even.
std::int32_t gridCoordinate(std::int32_t i, std::int32_t n);

// A point whose bound reaches this many pixels is drawn as a grey x.
double drawLimit(std::int32_t numzoom, std::int32_t n);

inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kRed = 0x000000FF;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kGrey = 0x007F7F7F;

// Ring and component-line colour of source k (1..4).
Colour sourceColour(int k);

// Field coordinate 0 is picture pixel 300.
inline constexpr std::int64_t kOrigin = 300;

} // namespace rs
