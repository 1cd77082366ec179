// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// One source's offsets at a run of points of a frame, from its cached terms: several points at a time
// where the processor has vector instructions. Every lane computes and rounds exactly as one point does,
// so the results do not depend on the path taken.

#include "sim/pair_terms.h"

#include <cstddef>
#include <cstdint>

namespace rs {

// What a frame knows of one source: the sine and cosine of its clock-and-phase term, and how far the
// offsets formed below may lie from the model's (in pixels).
struct FrameSource {
    double sinA, cosA;
    double margin;
};

// For the points i < count, with sine = sinA * cosLag[i] - cosA * sinLag[i] (the sine of the phase
// less the travel lag): x[i] and y[i] are sine * ax[i] and sine * ay[i] rounded to nearest, ties to
// even, and settled[i] is 1 when both lie farther than the margin from a half-way point, so that the
// model rounds them alike; otherwise 0 (not finite, or too near a tie), and the model must decide.
// |sine * ax| stays below 2^32 for every scene (|amp| <= 2^31, distances >= 1).
void offsetsOfRun(const FrameSource& src, const double* ax, const double* ay, const double* sinLag,
                  const double* cosLag, std::size_t count, std::int64_t* x, std::int64_t* y,
                  std::uint8_t* settled, PairLanes lanes = PairLanes::widest);

} // namespace rs
