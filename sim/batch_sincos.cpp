// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/batch_sincos.h"

#include <cmath>

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

// The same reduction in eight lanes.
__attribute__((target("avx512f"))) std::size_t widestRun(const double* a, double* s, double* c,
                                                         std::size_t n) {
    const __m512d inverseTurn = _mm512_set1_pd(kInverseTurn), turn1 = _mm512_set1_pd(kTurn1);
    const __m512d turn2 = _mm512_set1_pd(kTurn2), reducible = _mm512_set1_pd(kReducible);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m512d v = _mm512_loadu_pd(a + i);
        const __m512d k = _mm512_roundscale_pd(_mm512_mul_pd(v, inverseTurn),
                                               _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        __m512d r = _mm512_fnmadd_pd(k, turn1, v);
        r = _mm512_fnmadd_pd(k, turn2, r);
        const __mmask8 inReach = _mm512_cmp_pd_mask(_mm512_abs_pd(v), reducible, _CMP_LE_OQ);
        const __m512d angle = _mm512_mask_blend_pd(inReach, v, r);
        _mm512_storeu_pd(s + i, _ZGVeN8v_sin(angle));
        _mm512_storeu_pd(c + i, _ZGVeN8v_cos(angle));
    }
    return i + wideRun(a + i, s + i, c + i, n - i); // the last four
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
        return avx2 && __builtin_cpu_supports("avx512f") ? widestRun : avx2 ? wideRun : narrowRun;
    }();
    done = run(angles, sines, cosines, count);
#endif
    scalarRun(angles + done, sines + done, cosines + done, count - done);
}

} // namespace rs
