// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Sines and cosines of many angles at once, for building the cached terms of a scene. Uses glibc's
// vector math library where it is there (a few ulp, as glibc documents for it, against one for the
// scalar functions; the callers' error budgets allow 2^-46); otherwise the scalar functions.

#include <cstddef>

namespace rs {

void sinCosBatch(const double* angles, double* sines, double* cosines, std::size_t count);

} // namespace rs
