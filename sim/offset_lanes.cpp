// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/offset_lanes.h"

#include <bit>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define RIPPLESCOPE_OFFSET_VECTORS 1
#endif

namespace rs {

namespace {

// Adding and taking away 1.5 * 2^52 rounds |v| < 2^51 to an integer, to nearest with ties to even, and
// the sum's low bits are that integer: no conversion instruction is needed, in any lane width.
constexpr double kShift = 0x1.8p52;
const std::int64_t kShiftBits = std::bit_cast<std::int64_t>(kShift);

void scalarRun(const FrameSource& src, const double* ax, const double* ay, const double* sinLag,
               const double* cosLag, std::size_t from, std::size_t count, std::int64_t* x, std::int64_t* y,
               std::uint8_t* settled) {
    for (std::size_t i = from; i < count; ++i) {
        const double sine = src.sinA * cosLag[i] - src.cosA * sinLag[i];
        const double vx = sine * ax[i], vy = sine * ay[i];
        const double sx = vx + kShift, sy = vy + kShift;
        const double rx = sx - kShift, ry = sy - kShift;
        x[i] = std::bit_cast<std::int64_t>(sx) - kShiftBits;
        y[i] = std::bit_cast<std::int64_t>(sy) - kShiftBits;
        settled[i] = 0.5 - std::fabs(vx - rx) > src.margin && 0.5 - std::fabs(vy - ry) > src.margin;
    }
}

#if defined(RIPPLESCOPE_OFFSET_VECTORS)
__attribute__((target("avx2"))) std::size_t wideRun(const FrameSource& src, const double* ax,
                                                    const double* ay, const double* sinLag,
                                                    const double* cosLag, std::size_t count, std::int64_t* x,
                                                    std::int64_t* y, std::uint8_t* settled) {
    const __m256d sinA = _mm256_set1_pd(src.sinA), cosA = _mm256_set1_pd(src.cosA);
    const __m256d shift = _mm256_set1_pd(kShift), half = _mm256_set1_pd(0.5);
    const __m256d margin = _mm256_set1_pd(src.margin);
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m256i shiftBits = _mm256_set1_epi64x(kShiftBits);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d sine = _mm256_sub_pd(_mm256_mul_pd(sinA, _mm256_loadu_pd(cosLag + i)),
                                           _mm256_mul_pd(cosA, _mm256_loadu_pd(sinLag + i)));
        const __m256d vx = _mm256_mul_pd(sine, _mm256_loadu_pd(ax + i));
        const __m256d vy = _mm256_mul_pd(sine, _mm256_loadu_pd(ay + i));
        const __m256d sx = _mm256_add_pd(vx, shift), sy = _mm256_add_pd(vy, shift);
        const __m256d dx = _mm256_and_pd(_mm256_sub_pd(vx, _mm256_sub_pd(sx, shift)), magnitude);
        const __m256d dy = _mm256_and_pd(_mm256_sub_pd(vy, _mm256_sub_pd(sy, shift)), magnitude);
        // Ordered comparisons: a NaN anywhere leaves the lane unsettled.
        const __m256d ok = _mm256_and_pd(_mm256_cmp_pd(_mm256_sub_pd(half, dx), margin, _CMP_GT_OQ),
                                         _mm256_cmp_pd(_mm256_sub_pd(half, dy), margin, _CMP_GT_OQ));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(x + i),
                            _mm256_sub_epi64(_mm256_castpd_si256(sx), shiftBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(y + i),
                            _mm256_sub_epi64(_mm256_castpd_si256(sy), shiftBits));
        // One byte per lane, 0 or 1, in one store: the lanes' sign bits spread into the bytes.
        const auto mask = static_cast<std::uint32_t>(_mm256_movemask_pd(ok));
        const std::uint32_t bytes = (mask | mask << 7 | mask << 14 | mask << 21) & 0x01010101u;
        std::memcpy(settled + i, &bytes, sizeof bytes);
    }
    return i;
}

std::size_t narrowRun(const FrameSource& src, const double* ax, const double* ay, const double* sinLag,
                      const double* cosLag, std::size_t count, std::int64_t* x, std::int64_t* y,
                      std::uint8_t* settled) {
    const __m128d sinA = _mm_set1_pd(src.sinA), cosA = _mm_set1_pd(src.cosA);
    const __m128d shift = _mm_set1_pd(kShift), half = _mm_set1_pd(0.5), margin = _mm_set1_pd(src.margin);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m128i shiftBits = _mm_set1_epi64x(kShiftBits);
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128d sine = _mm_sub_pd(_mm_mul_pd(sinA, _mm_loadu_pd(cosLag + i)),
                                        _mm_mul_pd(cosA, _mm_loadu_pd(sinLag + i)));
        const __m128d vx = _mm_mul_pd(sine, _mm_loadu_pd(ax + i));
        const __m128d vy = _mm_mul_pd(sine, _mm_loadu_pd(ay + i));
        const __m128d sx = _mm_add_pd(vx, shift), sy = _mm_add_pd(vy, shift);
        const __m128d dx = _mm_and_pd(_mm_sub_pd(vx, _mm_sub_pd(sx, shift)), magnitude);
        const __m128d dy = _mm_and_pd(_mm_sub_pd(vy, _mm_sub_pd(sy, shift)), magnitude);
        const __m128d ok = _mm_and_pd(_mm_cmpgt_pd(_mm_sub_pd(half, dx), margin),
                                      _mm_cmpgt_pd(_mm_sub_pd(half, dy), margin));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(x + i), _mm_sub_epi64(_mm_castpd_si128(sx), shiftBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(y + i), _mm_sub_epi64(_mm_castpd_si128(sy), shiftBits));
        const int mask = _mm_movemask_pd(ok);
        settled[i] = static_cast<std::uint8_t>(mask & 1);
        settled[i + 1] = static_cast<std::uint8_t>((mask >> 1) & 1);
    }
    return i;
}

bool haveWideLanes() {
    static const bool wide = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    }();
    return wide;
}
#endif

} // namespace

void offsetsOfRun(const FrameSource& src, const double* ax, const double* ay, const double* sinLag,
                  const double* cosLag, std::size_t count, std::int64_t* x, std::int64_t* y,
                  std::uint8_t* settled, PairLanes lanes) {
    std::size_t done = 0;
#if defined(RIPPLESCOPE_OFFSET_VECTORS)
    if (lanes == PairLanes::widest && haveWideLanes())
        done = wideRun(src, ax, ay, sinLag, cosLag, count, x, y, settled);
    else if (lanes != PairLanes::one)
        done = narrowRun(src, ax, ay, sinLag, cosLag, count, x, y, settled);
#else
    (void)lanes;
#endif
    scalarRun(src, ax, ay, sinLag, cosLag, done, count, x, y, settled);
}

} // namespace rs
