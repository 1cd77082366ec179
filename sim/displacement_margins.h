// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The error bookkeeping of the cached displacement terms: how far a double result may lie from the
// long-double model's, so that a rounding is trusted only outside that margin of a half-way point.

namespace rs::margins {

// Every double operation is within 2^-53 relative of its exact value, the long-double model within 2^-64,
// and the sines and cosines within a few ulp; the per-phase budget of 2^-48 and the per-result budget of
// 2^-46 cover all of that several times over, and the margin is then doubled. Clock terms beyond 2^30
// radians are reduced exactly.
inline constexpr double kPhaseError = 0x1p-48;
inline constexpr double kResultError = 0x1p-46;
inline constexpr double kMaxPhase = 0x1p30;
// Margins wider than this send too many points to the model (a point in 500 and more); the exact path,
// whose margin does not grow with the phase, is then the cheaper one.
inline constexpr double kWidestMargin = 0x1p-10;
// The exact path's sine is within 2^-49 (sineOfModelPhase), budgeted at 2^-47; doubled like the other.
inline constexpr double kExactSineError = 0x1p-47;
inline constexpr double kExactMargin = 2.0 * (kExactSineError + kResultError);
// Both of the model's additions round to nearest in extended precision: each error is within 2^-64 of
// the sum's size, which is less than clock + lag + phase.
inline constexpr double kAdditionError = 0x1p-63;

} // namespace rs::margins
