// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/pair_terms.h"

#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#define RIPPLESCOPE_PAIR_VECTORS 1
#endif

namespace rs {

namespace {

// The rebuild is bound by the divider and the square root, so lanes are what makes it fast; no fused
// multiply-add anywhere, which would round differently from the one-point formulas.
template <AttenuationLaw law>
void scalarRun(const PairSource& src, double dx, const double* dy, std::size_t from, std::size_t count,
               double* ax, double* ay, double* envelope, double* lag) {
    const double dx2 = dx * dx;
    for (std::size_t j = from; j < count; ++j) {
        const double r = std::sqrt(dx2 + dy[j] * dy[j]);
        double e = src.ampTerm;
        if constexpr (law == AttenuationLaw::inverseDistance) e = src.ampTerm / r;
        if constexpr (law == AttenuationLaw::inverseSqrtDistance) e = src.ampTerm / std::sqrt(r);
        const double inverse = 1.0 / r;
        ax[j] = (dx * inverse) * e;
        ay[j] = (dy[j] * inverse) * e;
        envelope[j] = e;
        lag[j] = r * src.lagPerPixel;
    }
}

#if defined(RIPPLESCOPE_PAIR_VECTORS)
template <AttenuationLaw law>
__attribute__((target("avx"))) std::size_t wideRun(const PairSource& src, double dx, const double* dy,
                                                   std::size_t count, double* ax, double* ay,
                                                   double* envelope, double* lag) {
    const __m256d vdx = _mm256_set1_pd(dx), dx2 = _mm256_set1_pd(dx * dx), one = _mm256_set1_pd(1.0);
    const __m256d amp = _mm256_set1_pd(src.ampTerm), perPixel = _mm256_set1_pd(src.lagPerPixel);
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        const __m256d vdy = _mm256_loadu_pd(dy + j);
        const __m256d r = _mm256_sqrt_pd(_mm256_add_pd(dx2, _mm256_mul_pd(vdy, vdy)));
        __m256d e = amp;
        if constexpr (law == AttenuationLaw::inverseDistance) e = _mm256_div_pd(amp, r);
        if constexpr (law == AttenuationLaw::inverseSqrtDistance) e = _mm256_div_pd(amp, _mm256_sqrt_pd(r));
        const __m256d inverse = _mm256_div_pd(one, r);
        _mm256_storeu_pd(ax + j, _mm256_mul_pd(_mm256_mul_pd(vdx, inverse), e));
        _mm256_storeu_pd(ay + j, _mm256_mul_pd(_mm256_mul_pd(vdy, inverse), e));
        _mm256_storeu_pd(envelope + j, e);
        _mm256_storeu_pd(lag + j, _mm256_mul_pd(r, perPixel));
    }
    return j;
}

template <AttenuationLaw law>
std::size_t narrowRun(const PairSource& src, double dx, const double* dy, std::size_t count, double* ax,
                      double* ay, double* envelope, double* lag) {
    const __m128d vdx = _mm_set1_pd(dx), dx2 = _mm_set1_pd(dx * dx), one = _mm_set1_pd(1.0);
    const __m128d amp = _mm_set1_pd(src.ampTerm), perPixel = _mm_set1_pd(src.lagPerPixel);
    std::size_t j = 0;
    for (; j + 2 <= count; j += 2) {
        const __m128d vdy = _mm_loadu_pd(dy + j);
        const __m128d r = _mm_sqrt_pd(_mm_add_pd(dx2, _mm_mul_pd(vdy, vdy)));
        __m128d e = amp;
        if constexpr (law == AttenuationLaw::inverseDistance) e = _mm_div_pd(amp, r);
        if constexpr (law == AttenuationLaw::inverseSqrtDistance) e = _mm_div_pd(amp, _mm_sqrt_pd(r));
        const __m128d inverse = _mm_div_pd(one, r);
        _mm_storeu_pd(ax + j, _mm_mul_pd(_mm_mul_pd(vdx, inverse), e));
        _mm_storeu_pd(ay + j, _mm_mul_pd(_mm_mul_pd(vdy, inverse), e));
        _mm_storeu_pd(envelope + j, e);
        _mm_storeu_pd(lag + j, _mm_mul_pd(r, perPixel));
    }
    return j;
}

bool haveWideLanes() {
    static const bool wide = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx");
    }();
    return wide;
}
#endif

template <AttenuationLaw law>
void run(const PairSource& src, double dx, const double* dy, std::size_t count, double* ax, double* ay,
         double* envelope, double* lag, PairLanes lanes) {
    std::size_t done = 0;
#if defined(RIPPLESCOPE_PAIR_VECTORS)
    if (lanes == PairLanes::widest && haveWideLanes())
        done = wideRun<law>(src, dx, dy, count, ax, ay, envelope, lag);
    else if (lanes != PairLanes::one)
        done = narrowRun<law>(src, dx, dy, count, ax, ay, envelope, lag);
#else
    (void)lanes;
#endif
    scalarRun<law>(src, dx, dy, done, count, ax, ay, envelope, lag);
}

} // namespace

void pairTermsOfColumn(const PairSource& src, double dx, const double* dy, std::size_t count, double* ax,
                       double* ay, double* envelope, double* lag, PairLanes lanes) {
    switch (src.law) {
    case AttenuationLaw::inverseDistance:
        return run<AttenuationLaw::inverseDistance>(src, dx, dy, count, ax, ay, envelope, lag, lanes);
    case AttenuationLaw::inverseSqrtDistance:
        return run<AttenuationLaw::inverseSqrtDistance>(src, dx, dy, count, ax, ay, envelope, lag, lanes);
    case AttenuationLaw::noAttenuation:
        return run<AttenuationLaw::noAttenuation>(src, dx, dy, count, ax, ay, envelope, lag, lanes);
    }
}

} // namespace rs
