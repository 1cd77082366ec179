// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The double-precision terms of one source at the points of one grid column: several points at a time
// where the processor has vector instructions. Every lane rounds exactly as the one-point formulas
// round, so the results do not depend on the path taken.

#include "sim/displacement.h"

#include <cstddef>

namespace rs {

struct PairSource {
    AttenuationLaw law;
    double ampTerm;     // amp, amp / 10 or amp / 200, as the law scales it
    double lagPerPixel; // the double path's lag per pixel of distance
};

// How many points at a time: the widest the processor has, or at most two or one (to test each path).
enum class PairLanes { one, two, widest };

// For the points at (dx, dy[j]) from the source, j < count (dx and dy exact):
// r = sqrt(dx * dx + dy * dy), envelope = amp / r, (amp / 10) / sqrt(r) or amp / 200,
// ax = (dx * (1 / r)) * envelope, ay likewise, lag = r * lagPerPixel.
void pairTermsOfColumn(const PairSource& src, double dx, const double* dy, std::size_t count, double* ax,
                       double* ay, double* envelope, double* lag, PairLanes lanes = PairLanes::widest);

} // namespace rs
