// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/batch_sincos.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#if defined(RIPPLESCOPE_HAVE_MVEC)
#include "sim/vector_intrinsics.h"

// The vector functions of glibc's libmvec under the x86-64 vector ABI names: 'b' two lanes on any
// x86-64 (glibc picks the code for the processor), 'd' four lanes with AVX2, 'e' eight with AVX-512.
extern "C" __m128d _ZGVbN2v_sin(__m128d);
extern "C" __m128d _ZGVbN2v_cos(__m128d);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_sin(__m256d);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_cos(__m256d);
extern "C" __attribute__((target("avx512f"))) __m512d _ZGVeN8v_sin(__m512d);
extern "C" __attribute__((target("avx512f"))) __m512d _ZGVeN8v_cos(__m512d);
#endif

namespace rs {

namespace {

void scalarRun(const double* a, double* s, double* c, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = std::sin(a[i]);
        c[i] = std::cos(a[i]);
    }
}

#if defined(RIPPLESCOPE_HAVE_MVEC)
constexpr double kInverseTurn = 0x1.45f306dc9c883p-3; // 1 / (2 pi)
constexpr double kTurn1 = 0x1.921fb54442d18p+2;       // 2 pi as kTurn1 + kTurn2
constexpr double kTurn2 = 0x1.1a62633145c07p-52;
constexpr double kReducible = 0x1p50;

// Angles of 2^26 and more send libmvec to its scalar fallback, a thousand times slower; lags reach 2^40.
// So each angle up to 2^50 first loses k full turns, 2 pi as C1 + C2 (to 2^-107): each fused
// multiply-add rounds once, to within 2^-51 of the remainder below 4. Angles below pi keep k = 0 and
// stay as they are.
__attribute__((target("avx2,fma"))) std::size_t wideRun(const double* a, double* s, double* c,
                                                        std::size_t n) {
    const __m256d inverseTurn = _mm256_set1_pd(kInverseTurn), turn1 = _mm256_set1_pd(kTurn1);
    const __m256d turn2 = _mm256_set1_pd(kTurn2), reducible = _mm256_set1_pd(kReducible);
    const __m256d noSign = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d v = _mm256_loadu_pd(a + i);
        const __m256d k =
            _mm256_round_pd(_mm256_mul_pd(v, inverseTurn), _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        __m256d r = _mm256_fnmadd_pd(k, turn1, v);
        r = _mm256_fnmadd_pd(k, turn2, r);
        // Larger angles, infinities and NaNs go to libmvec as they are.
        const __m256d inReach = _mm256_cmp_pd(_mm256_and_pd(v, noSign), reducible, _CMP_LE_OQ);
        const __m256d angle = _mm256_blendv_pd(v, r, inReach);
        _mm256_storeu_pd(s + i, _ZGVdN4v_sin(angle));
        _mm256_storeu_pd(c + i, _ZGVdN4v_cos(angle));
    }
    return i;
}

// sin and cos of eight angles of at most 2^50 in size (or NaN) in one step, with no call: the angle less q
// quarter turns, q its nearest whole number of them (pi / 2 as P1 + P2: q P1 is exact in the first fused
// step and the difference near it, so each step rounds once, 2^-54, and P2 misses 2^-107 per quarter),
// then sin r = r + r^3 S(r^2) and cos r = 1 + r^2 C(r^2) from their Taylor series to r^17, whose first
// omitted terms are below 2^-57 for |r| <= 0.83. With the roundings of z, r^3 and the last step, each
// result is within 2^-52 of the angle's sine and cosine: a few 2^-53, as libmvec's.
__attribute__((target("avx512f,avx512dq"))) inline void quarterTurnSinCos(__m512d a, __m512d& sine,
                                                                          __m512d& cosine) {
    constexpr double kQuarters = 0x1.45f306dc9c883p-1; // 2 / pi
    constexpr double kP1 = 0x1.921fb54442d18p+0;
    constexpr double kP2 = 0x1.1a62633145c07p-54;
    constexpr double kS[] = {1.0 / 355687428096000, -1.0 / 1307674368000, 1.0 / 6227020800, -1.0 / 39916800,
                             1.0 / 362880,          -1.0 / 5040,          1.0 / 120,        -1.0 / 6};
    constexpr double kC[] = {1.0 / 20922789888000, -1.0 / 87178291200, 1.0 / 479001600, -1.0 / 3628800,
                             1.0 / 40320,          -1.0 / 720,         1.0 / 24,        -1.0 / 2};
    const __m512d q = _mm512_roundscale_pd(_mm512_mul_pd(a, _mm512_set1_pd(kQuarters)),
                                           _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    __m512d r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kP1), a);
    r = _mm512_fnmadd_pd(q, _mm512_set1_pd(kP2), r);
    const __m512d z = _mm512_mul_pd(r, r);
    __m512d s = _mm512_set1_pd(kS[0]), c = _mm512_set1_pd(kC[0]);
    for (std::size_t k = 1; k < std::size(kS); ++k) {
        s = _mm512_fmadd_pd(s, z, _mm512_set1_pd(kS[k]));
        c = _mm512_fmadd_pd(c, z, _mm512_set1_pd(kC[k]));
    }
    s = _mm512_fmadd_pd(_mm512_mul_pd(r, z), s, r);
    c = _mm512_fmadd_pd(z, c, _mm512_set1_pd(1.0));
    // sin a is sin r, cos r, -sin r, -cos r for q = 0, 1, 2, 3 (mod 4), and cos a the one after.
    const __m512i n = _mm512_cvtpd_epi64(q); // exact; NaN gives a lane whose results are NaN anyway
    const __m512i one = _mm512_set1_epi64(1), two = _mm512_set1_epi64(2);
    const __m512i signBit = _mm512_set1_epi64(std::numeric_limits<std::int64_t>::min());
    const __mmask8 odd = _mm512_test_epi64_mask(n, one);
    const __m512i sinBits = _mm512_castpd_si512(_mm512_mask_blend_pd(odd, s, c));
    const __m512i cosBits = _mm512_castpd_si512(_mm512_mask_blend_pd(odd, c, s));
    sine =
        _mm512_castsi512_pd(_mm512_mask_xor_epi64(sinBits, _mm512_test_epi64_mask(n, two), sinBits, signBit));
    cosine = _mm512_castsi512_pd(_mm512_mask_xor_epi64(
        cosBits, _mm512_test_epi64_mask(_mm512_add_epi64(n, one), two), cosBits, signBit));
}

// Eight lanes, the last group masked; a group with an angle beyond 2^50 or infinite goes to libmvec.
__attribute__((target("avx512f,avx512dq"))) std::size_t widestRun(const double* a, double* s, double* c,
                                                                  std::size_t n) {
    const __m512d reducible = _mm512_set1_pd(kReducible);
    for (std::size_t i = 0; i < n; i += 8) {
        const __mmask8 lanes = n - i >= 8 ? 0xFF : static_cast<__mmask8>((1u << (n - i)) - 1);
        const __m512d v = _mm512_maskz_loadu_pd(lanes, a + i);
        __m512d sine, cosine;
        if (_mm512_cmp_pd_mask(_mm512_abs_pd(v), reducible, _CMP_GT_OQ) == 0) {
            quarterTurnSinCos(v, sine, cosine);
        } else {
            sine = _ZGVeN8v_sin(v);
            cosine = _ZGVeN8v_cos(v);
        }
        _mm512_mask_storeu_pd(s + i, lanes, sine);
        _mm512_mask_storeu_pd(c + i, lanes, cosine);
    }
    return n;
}

std::size_t narrowRun(const double* a, double* s, double* c, std::size_t n) {
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const __m128d v = _mm_loadu_pd(a + i);
        _mm_storeu_pd(s + i, _ZGVbN2v_sin(v));
        _mm_storeu_pd(c + i, _ZGVbN2v_cos(v));
    }
    return i;
}
#endif

} // namespace

void sinCosBatch(const double* angles, double* sines, double* cosines, std::size_t count) {
    std::size_t done = 0;
#if defined(RIPPLESCOPE_HAVE_MVEC)
    static const auto run = [] {
        __builtin_cpu_init();
        const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        return avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") ? widestRun
               : avx2                                                                          ? wideRun
                                                                                               : narrowRun;
    }();
    done = run(angles, sines, cosines, count);
#endif
    scalarRun(angles + done, sines + done, cosines + done, count - done);
}

} // namespace rs
