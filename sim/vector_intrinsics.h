// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The x86-64 vector intrinsics, for code that picks its lanes when it runs. GCC 12's AVX-512 intrinsics
// start from an undefined vector that its flow analysis takes for an uninitialised one (fixed in GCC 13);
// the warning points into the header, so it is silenced there and nowhere else.

#if defined(__x86_64__) && defined(__GNUC__)
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif
