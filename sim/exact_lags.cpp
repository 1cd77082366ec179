// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/exact_lags.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define RIPPLESCOPE_LAG_VECTORS 1
#endif

namespace rs {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

#if defined(RIPPLESCOPE_LAG_VECTORS)
// 64 x 64 -> 128-bit products of four lanes from 32-bit halves, which AVX2 multiplies exactly; b is given
// as its halves.
struct Halves {
    __m256i low, high;
};
__attribute__((target("avx2"))) inline void multiply(__m256i a, const Halves& b, __m256i& high,
                                                     __m256i& low) {
    const __m256i mask = _mm256_set1_epi64x(0xFFFFFFFF);
    const __m256i aHigh = _mm256_srli_epi64(a, 32);
    const __m256i p00 = _mm256_mul_epu32(a, b.low), p01 = _mm256_mul_epu32(a, b.high);
    const __m256i p10 = _mm256_mul_epu32(aHigh, b.low), p11 = _mm256_mul_epu32(aHigh, b.high);
    const __m256i mid =
        _mm256_add_epi64(_mm256_srli_epi64(p00, 32),
                         _mm256_add_epi64(_mm256_and_si256(p01, mask), _mm256_and_si256(p10, mask)));
    low = _mm256_or_si256(_mm256_slli_epi64(mid, 32), _mm256_and_si256(p00, mask));
    high = _mm256_add_epi64(_mm256_add_epi64(p11, _mm256_srli_epi64(mid, 32)),
                            _mm256_add_epi64(_mm256_srli_epi64(p01, 32), _mm256_srli_epi64(p10, 32)));
}

__attribute__((target("avx2"))) inline Halves halvesOf(std::uint64_t b) {
    return {_mm256_set1_epi64x(static_cast<std::int64_t>(b & 0xFFFFFFFF)),
            _mm256_set1_epi64x(static_cast<std::int64_t>(b >> 32))};
}

// a > b for unsigned lanes, as all ones: signed compare with the top bits flipped.
__attribute__((target("avx2"))) inline __m256i above(__m256i a, __m256i b) {
    const __m256i top = _mm256_set1_epi64x(std::numeric_limits<std::int64_t>::min());
    return _mm256_cmpgt_epi64(_mm256_xor_si256(a, top), _mm256_xor_si256(b, top));
}

// Exact doubles of signed lanes that have at most 53 significant bits, from their 32-bit halves.
__attribute__((target("avx2"))) inline __m256d exactDoubles(__m256i v) {
    const __m256i odd = _mm256_setr_epi32(1, 3, 5, 7, 0, 0, 0, 0);
    const __m256d high = _mm256_cvtepi32_pd(_mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v, odd)));
    const __m256i magic = _mm256_set1_epi64x(0x4330000000000000); // 2^52: its low word holds the integer
    const __m256d low = _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_or_si256(_mm256_and_si256(v, _mm256_set1_epi64x(0xFFFFFFFF)), magic)),
        _mm256_castsi256_pd(magic));
    return _mm256_add_pd(_mm256_mul_pd(high, _mm256_set1_pd(0x1p32)), low);
}

// ExactLags::operator(), turnsOfParts' two-product way and angleOf, four lanes at a time with the same
// operations; a group of four with a point on a source or a lag outside [2^0, 2^62) is left to the caller.
// Returns how many points it did (whole groups from the start, up to the first one left).
__attribute__((target("avx2"))) std::size_t wideColumn(std::uint64_t perFrame, int scale, bool negative,
                                                       const long double* distance,
                                                       const std::uint8_t* onSource, std::size_t count,
                                                       long double* lags, Turns* turns, double* angles) {
    const Halves w = halvesOf(perFrame), k0 = halvesOf(detail::kInverseTurn[0]),
                 k1 = halvesOf(detail::kInverseTurn[1]);
    const __m256i one = _mm256_set1_epi64x(1),
                  top = _mm256_set1_epi64x(std::numeric_limits<std::int64_t>::min());
    const __m256i exponentBits = _mm256_set1_epi64x(0x7FFF), zero = _mm256_setzero_si256();
    const __m256i scaleLanes = _mm256_set1_epi64x(scale), sixtyFour = _mm256_set1_epi64x(64);
    const __m256i sign = _mm256_set1_epi64x(negative ? 0x8000 : 0);
    const __m256d kHigh = _mm256_set1_pd(0x1.921fb54442d18p-62),
                  kLow = _mm256_set1_pd(0x1.1a62633145c07p-116);
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        std::uint32_t sources = 0;
        __builtin_memcpy(&sources, onSource + j, sizeof sources);
        if (sources != 0) break;
        // Four distances of 16 bytes: mantissas and sign-and-exponent words into lanes of their own.
        const __m256i d01 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + j));
        const __m256i d23 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + j + 2));
        const __m256i m = _mm256_permute4x64_epi64(_mm256_unpacklo_epi64(d01, d23), 0xD8);
        const __m256i e =
            _mm256_and_si256(_mm256_permute4x64_epi64(_mm256_unpackhi_epi64(d01, d23), 0xD8), exponentBits);
        // The product, normalised, rounded ties to even.
        __m256i high, low;
        multiply(m, w, high, low);
        const __m256i shift = _mm256_xor_si256(_mm256_srli_epi64(high, 63), one);
        high = _mm256_or_si256(_mm256_sllv_epi64(high, shift),
                               _mm256_and_si256(_mm256_srli_epi64(low, 63), shift));
        low = _mm256_sllv_epi64(low, shift);
        const __m256i up =
            _mm256_or_si256(above(low, top), _mm256_and_si256(_mm256_cmpeq_epi64(low, top), high));
        high = _mm256_add_epi64(high, _mm256_and_si256(up, one));
        const __m256i carried = _mm256_cmpeq_epi64(high, zero);
        high = _mm256_or_si256(high, _mm256_and_si256(carried, top));
        // The lag's biased exponent is the distance's plus scale, less shift, plus one for a carry; lagE is
        // the exponent as split gives it.
        const __m256i biased = _mm256_sub_epi64(_mm256_add_epi64(e, _mm256_and_si256(carried, one)),
                                                _mm256_sub_epi64(shift, scaleLanes));
        const __m256i lagE = _mm256_sub_epi64(biased, _mm256_set1_epi64x(16382));
        // e from 1 to 62 only, as the scalar two-product way.
        const __m256i outside =
            _mm256_or_si256(_mm256_cmpgt_epi64(one, lagE), _mm256_cmpgt_epi64(lagE, _mm256_set1_epi64x(62)));
        if (!_mm256_testz_si256(outside, outside)) break;
        // The lags, sixteen bytes each: mantissa, then sign and exponent.
        const __m256i word = _mm256_or_si256(biased, sign);
        const __m256i lo = _mm256_unpacklo_epi64(high, word), hi = _mm256_unpackhi_epi64(high, word);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lags + j), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lags + j + 2),
                            _mm256_permute2x128_si256(lo, hi, 0x31));
        // Turns: the top two words of high * (1 / (2 pi)), shifted right by 64 - e.
        __m256i h1, h0, m1, m0;
        multiply(high, k0, h1, h0);
        multiply(high, k1, m1, m0);
        const __m256i sumLow = _mm256_add_epi64(h0, m1);
        const __m256i sumHigh = _mm256_sub_epi64(h1, above(h0, sumLow)); // plus the carry
        const __m256i right = _mm256_sub_epi64(sixtyFour, lagE);
        __m256i t = _mm256_or_si256(_mm256_srlv_epi64(sumLow, right),
                                    _mm256_sllv_epi64(_mm256_slli_epi64(sumHigh, 1),
                                                      _mm256_sub_epi64(_mm256_set1_epi64x(63), right)));
        if (negative) t = _mm256_sub_epi64(zero, t);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(turns + j), t);
        // angleOf, operation for operation.
        const __m256i lowBits = _mm256_and_si256(t, _mm256_set1_epi64x(0x7FF));
        const __m256d highPart = exactDoubles(_mm256_sub_epi64(t, lowBits));
        const __m256d lowPart = exactDoubles(lowBits);
        _mm256_storeu_pd(angles + j, _mm256_add_pd(_mm256_mul_pd(highPart, kHigh),
                                                   _mm256_add_pd(_mm256_mul_pd(highPart, kLow),
                                                                 _mm256_mul_pd(lowPart, kHigh))));
    }
    return j;
}

bool haveWideLanes() {
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return avx2;
}
#endif

} // namespace

ExactLags::ExactLags(const WaveSource& src) {
    if constexpr (!detail::kX87Extended) return;
    int exponent = 0; // speed = m * 2^exponent, |m| = 1/2 for a power of two
    if (!std::isnormal(src.speed) || std::fabs(std::frexp(src.speed, &exponent)) != 0.5) return;
    if (!detail::split(radiansPerFrame(src), perFrame_) || perFrame_.mantissa == 0) return;
    scale_ = perFrame_.e - (exponent - 1);
    negative_ = perFrame_.negative != std::signbit(src.speed);
    usable_ = true;
}

void ExactLags::column(const long double* distance, const std::uint8_t* onSource, std::size_t count,
                       long double* lags, Turns* turns, double* angles, bool wide) const {
    std::size_t j = 0;
    while (j < count) {
#if defined(RIPPLESCOPE_LAG_VECTORS)
        if (wide && haveWideLanes())
            j += wideColumn(perFrame_.mantissa, scale_, negative_, distance + j, onSource + j, count - j,
                            lags + j, turns + j, angles + j);
#endif
        // One point, or the rest of a group the lanes left: one group at most, then the lanes again.
        for (const std::size_t end = std::min(count, j + 4); j < end; ++j) {
            angles[j] = kNaN; // a lag too large to reduce leaves the point to the model
            if (onSource[j]) continue;
            detail::Parts parts;
            detail::split(distance[j], parts);
            parts = (*this)(parts);
            detail::join(parts, lags[j]);
            if (detail::turnsOfParts(parts, turns[j])) angles[j] = angleOf(turns[j]);
        }
    }
}

} // namespace rs
