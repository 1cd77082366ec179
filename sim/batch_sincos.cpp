// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/batch_sincos.h"

#include <cmath>

#if defined(RIPPLESCOPE_HAVE_MVEC)
#include <immintrin.h>

// The vector functions of glibc's libmvec under the x86-64 vector ABI names: 'b' two lanes on any
// x86-64 (glibc picks the code for the processor), 'd' four lanes with AVX2.
extern "C" __m128d _ZGVbN2v_sin(__m128d);
extern "C" __m128d _ZGVbN2v_cos(__m128d);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_sin(__m256d);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_cos(__m256d);
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
__attribute__((target("avx2"))) std::size_t wideRun(const double* a, double* s, double* c, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d v = _mm256_loadu_pd(a + i);
        _mm256_storeu_pd(s + i, _ZGVdN4v_sin(v));
        _mm256_storeu_pd(c + i, _ZGVdN4v_cos(v));
    }
    return i;
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
        return __builtin_cpu_supports("avx2") ? wideRun : narrowRun;
    }();
    done = run(angles, sines, cosines, count);
#endif
    scalarRun(angles + done, sines + done, cosines + done, count - done);
}

} // namespace rs
