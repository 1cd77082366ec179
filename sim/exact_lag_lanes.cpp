// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "sim/exact_lag_lanes.h"

#include <cstring>
#include <limits>

#if defined(__x86_64__) && defined(__GNUC__)
#include "sim/vector_intrinsics.h"
#define RIPPLESCOPE_LAG_VECTORS 1
#endif

namespace rs {

namespace {

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

// With product, ExactLags' products or lags (see lagLanes); without, turnsOfParts' two-product way and
// angleOf from lags. Four lanes at a time with the same operations; a group of four with a point on a source
// or a lag outside [2^0, 2^62) is left to the caller. Returns how many points it did (whole groups from the
// start, up to the first one left).
template <bool product>
__attribute__((target("avx2"))) std::size_t fourLanes(const LagTerms& terms, const long double* distance,
                                                      const std::uint8_t* onSource, std::size_t count,
                                                      long double* lags, Turns* turns, double* angles) {
    const bool negative = terms.negative, divide = !terms.powerOfTwo,
               byFactor = terms.perFrame != LagTerms::kOne;
    const Halves w = halvesOf(terms.perFrame), dHalves = halvesOf(terms.divisor),
                 v = halvesOf(terms.reciprocal);
    const __m256i d = _mm256_set1_epi64x(static_cast<std::int64_t>(terms.divisor));
    const __m256i half = _mm256_set1_epi64x(static_cast<std::int64_t>(terms.divisor >> 1));
    const Halves k0 = halvesOf(detail::kInverseTurn[0]), k1 = halvesOf(detail::kInverseTurn[1]);
    const __m256i one = _mm256_set1_epi64x(1),
                  top = _mm256_set1_epi64x(std::numeric_limits<std::int64_t>::min());
    const __m256i exponentBits = _mm256_set1_epi64x(0x7FFF), zero = _mm256_setzero_si256();
    const __m256i scaleLanes = _mm256_set1_epi64x(terms.scale), sixtyFour = _mm256_set1_epi64x(64);
    const __m256i sign = _mm256_set1_epi64x(negative ? 0x8000 : 0), signBit = _mm256_set1_epi64x(0x8000);
    const __m256d kHigh = _mm256_set1_pd(detail::kTurnUnit), kLow = _mm256_set1_pd(detail::kTurnUnitRest);
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        std::uint32_t sources = 0;
        std::memcpy(&sources, onSource + j, sizeof sources);
        if (sources != 0) break;
        // Four distances of 16 bytes: mantissas and sign-and-exponent words into lanes of their own.
        const __m256i d01 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + j));
        const __m256i d23 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(distance + j + 2));
        const __m256i m = _mm256_permute4x64_epi64(_mm256_unpacklo_epi64(d01, d23), 0xD8);
        const __m256i words = _mm256_permute4x64_epi64(_mm256_unpackhi_epi64(d01, d23), 0xD8);
        const __m256i e = _mm256_and_si256(words, exponentBits);
        __m256i high = m, biased = e;
        if constexpr (product) {
            if (byFactor) {
                // The product, normalised, rounded ties to even.
                __m256i low;
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
                // The lag's biased exponent is the distance's plus scale, less shift, plus one for a carry.
                biased = _mm256_sub_epi64(_mm256_add_epi64(e, _mm256_and_si256(carried, one)),
                                          _mm256_sub_epi64(shift, scaleLanes));
            } else {
                // By a factor of one (2^63 at an exponent of one) the value stays as it is: a shift of one
                // and nothing to round.
                biased = _mm256_add_epi64(e, _mm256_sub_epi64(scaleLanes, one));
            }
            if (divide) {
                // high / d, rounded to nearest: the dividend high * 2^63 or * 2^64, whichever gives a
                // quotient of 64 bits, by the reciprocal (Moeller and Granlund's division by invariant
                // integers), its rest recovered exactly and the quotient mended by one at most twice.
                const __m256i big = _mm256_xor_si256(above(d, high), _mm256_set1_epi64x(-1)); // high >= d
                const __m256i u1 = _mm256_blendv_epi8(high, _mm256_srli_epi64(high, 1), big);
                const __m256i u0 = _mm256_and_si256(_mm256_slli_epi64(high, 63), big);
                __m256i ph, pl;
                multiply(u1, v, ph, pl);
                const __m256i q0 = _mm256_add_epi64(pl, u0);
                __m256i q = _mm256_sub_epi64(_mm256_add_epi64(_mm256_add_epi64(ph, u1), one), above(pl, q0));
                const __m256i cross =
                    _mm256_add_epi64(_mm256_mul_epu32(q, dHalves.high),
                                     _mm256_mul_epu32(_mm256_srli_epi64(q, 32), dHalves.low));
                __m256i rest = _mm256_sub_epi64(
                    u0, _mm256_add_epi64(_mm256_mul_epu32(q, dHalves.low), _mm256_slli_epi64(cross, 32)));
                const __m256i over = above(rest, q0);
                q = _mm256_add_epi64(q, over); // less one
                rest = _mm256_add_epi64(rest, _mm256_and_si256(over, d));
                const __m256i notBelow = _mm256_xor_si256(above(d, rest), _mm256_set1_epi64x(-1));
                q = _mm256_sub_epi64(q, notBelow);
                rest = _mm256_sub_epi64(rest, _mm256_and_si256(notBelow, d));
                // Up where the rest is above half the divisor. Never exactly half: that would make
                // high * 2^(s + 1) = d * (2q + 1), s = 63 or 64, whose right side has the divisor's odd
                // part (the speed is no power of two) times an odd number of 64 bits, too large a multiple.
                q = _mm256_add_epi64(q, _mm256_and_si256(above(rest, half), one));
                const __m256i carriedQ = _mm256_cmpeq_epi64(q, zero);
                high = _mm256_or_si256(q, _mm256_and_si256(carriedQ, top));
                biased = _mm256_sub_epi64(biased, _mm256_add_epi64(big, carriedQ)); // plus one for each
            }
        }
        // The exponent as split gives it, from 1 to 62 only, as the scalar two-product way.
        const __m256i lagE = _mm256_sub_epi64(biased, _mm256_set1_epi64x(16382));
        const __m256i outside =
            _mm256_or_si256(_mm256_cmpgt_epi64(one, lagE), _mm256_cmpgt_epi64(lagE, _mm256_set1_epi64x(62)));
        if (!_mm256_testz_si256(outside, outside)) break;
        if constexpr (product) { // the lags, sixteen bytes each: mantissa, then sign and exponent
            const __m256i word = _mm256_or_si256(biased, sign);
            const __m256i lo = _mm256_unpacklo_epi64(high, word), hi = _mm256_unpackhi_epi64(high, word);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(lags + j),
                                _mm256_permute2x128_si256(lo, hi, 0x20));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(lags + j + 2),
                                _mm256_permute2x128_si256(lo, hi, 0x31));
            continue; // their reductions come in a pass of their own
        }
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
        const __m256i negate =
            _mm256_cmpeq_epi64(_mm256_and_si256(words, signBit), signBit); // the lag's sign
        t = _mm256_sub_epi64(_mm256_xor_si256(t, negate), negate);         // -t where negate is all ones
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

// The same in eight lanes, where unsigned compares, 64-bit conversions and two-source shuffles are single
// instructions.
__attribute__((target("avx512f,avx512dq"))) inline void multiply(__m512i a, __m512i bLow, __m512i bHigh,
                                                                 __m512i& high, __m512i& low) {
    const __m512i mask = _mm512_set1_epi64(0xFFFFFFFF);
    const __m512i aHigh = _mm512_srli_epi64(a, 32);
    const __m512i p00 = _mm512_mul_epu32(a, bLow), p01 = _mm512_mul_epu32(a, bHigh);
    const __m512i p10 = _mm512_mul_epu32(aHigh, bLow), p11 = _mm512_mul_epu32(aHigh, bHigh);
    const __m512i mid =
        _mm512_add_epi64(_mm512_srli_epi64(p00, 32),
                         _mm512_add_epi64(_mm512_and_si512(p01, mask), _mm512_and_si512(p10, mask)));
    low = _mm512_or_si512(_mm512_slli_epi64(mid, 32), _mm512_and_si512(p00, mask));
    high = _mm512_add_epi64(_mm512_add_epi64(p11, _mm512_srli_epi64(mid, 32)),
                            _mm512_add_epi64(_mm512_srli_epi64(p01, 32), _mm512_srli_epi64(p10, 32)));
}

template <bool product>
__attribute__((target("avx512f,avx512dq"))) std::size_t
eightLanes(const LagTerms& terms, const long double* distance, const std::uint8_t* onSource,
           std::size_t count, long double* lags, Turns* turns, double* angles) {
    const auto low32 = [](std::uint64_t b) { return static_cast<std::int64_t>(b & 0xFFFFFFFF); };
    const auto high32 = [](std::uint64_t b) { return static_cast<std::int64_t>(b >> 32); };
    const bool negative = terms.negative, divide = !terms.powerOfTwo,
               byFactor = terms.perFrame != LagTerms::kOne;
    const __m512i w0 = _mm512_set1_epi64(low32(terms.perFrame)),
                  w1 = _mm512_set1_epi64(high32(terms.perFrame));
    const __m512d inverse = _mm512_set1_pd(terms.inverse), inverseRest = _mm512_set1_pd(terms.inverseRest);
    const __m512i d = _mm512_set1_epi64(static_cast<std::int64_t>(terms.divisor));
    const __m512i k00 = _mm512_set1_epi64(low32(detail::kInverseTurn[0])),
                  k01 = _mm512_set1_epi64(high32(detail::kInverseTurn[0]));
    const __m512i k10 = _mm512_set1_epi64(low32(detail::kInverseTurn[1])),
                  k11 = _mm512_set1_epi64(high32(detail::kInverseTurn[1]));
    const __m512i one = _mm512_set1_epi64(1),
                  top = _mm512_set1_epi64(std::numeric_limits<std::int64_t>::min());
    const __m512i even = _mm512_setr_epi64(0, 2, 4, 6, 8, 10, 12, 14),
                  odd = _mm512_setr_epi64(1, 3, 5, 7, 9, 11, 13, 15);
    const __m512i first = _mm512_setr_epi64(0, 8, 1, 9, 2, 10, 3, 11),
                  second = _mm512_setr_epi64(4, 12, 5, 13, 6, 14, 7, 15);
    const __m512i scaleLanes = _mm512_set1_epi64(terms.scale),
                  sign = _mm512_set1_epi64(negative ? 0x8000 : 0);
    const __m512d kHigh = _mm512_set1_pd(detail::kTurnUnit), kLow = _mm512_set1_pd(detail::kTurnUnitRest);
    std::size_t j = 0;
    for (; j + 8 <= count; j += 8) {
        std::uint64_t sources = 0;
        std::memcpy(&sources, onSource + j, sizeof sources);
        if (sources != 0) break;
        const __m512i d0 = _mm512_loadu_si512(distance + j), d1 = _mm512_loadu_si512(distance + j + 4);
        const __m512i m = _mm512_permutex2var_epi64(d0, even, d1);
        const __m512i words = _mm512_permutex2var_epi64(d0, odd, d1);
        const __m512i e = _mm512_and_si512(words, _mm512_set1_epi64(0x7FFF));
        __m512i high = m, biased = e;
        if constexpr (product) {
            if (byFactor) {
                __m512i low;
                multiply(m, w0, w1, high, low);
                const __m512i shift = _mm512_xor_si512(_mm512_srli_epi64(high, 63), one);
                high = _mm512_or_si512(_mm512_sllv_epi64(high, shift),
                                       _mm512_and_si512(_mm512_srli_epi64(low, 63), shift));
                low = _mm512_sllv_epi64(low, shift);
                const __mmask8 up = _mm512_cmpgt_epu64_mask(low, top) |
                                    (_mm512_cmpeq_epi64_mask(low, top) & _mm512_test_epi64_mask(high, one));
                high = _mm512_mask_add_epi64(high, up, high, one);
                const __mmask8 carried = _mm512_cmpeq_epi64_mask(high, _mm512_setzero_si512());
                high = _mm512_mask_or_epi64(high, carried, high, top);
                biased = _mm512_sub_epi64(_mm512_mask_add_epi64(e, carried, e, one),
                                          _mm512_sub_epi64(shift, scaleLanes));
            } else { // as in four lanes
                biased = _mm512_add_epi64(e, _mm512_sub_epi64(scaleLanes, one));
            }
            if (divide) {
                // The same quotient from doubles: high / m (m = d / 2^11, 53 bits) as qh + tail, the
                // product of high's top 53 bits and its last 11 with the inverse's two parts, to within
                // 2^-91 of itself: 2^-38 of a unit once scaled to 64 bits. So the rounding is known
                // wherever the fraction is more than 2^-20 from a half; elsewhere, and where the quotient
                // reaches 2^64 before rounding, the group goes to the one-point way.
                const __mmask8 big = _mm512_cmpge_epu64_mask(high, d);
                const __m512i last = _mm512_set1_epi64(0x7FF);
                const __m512d xh = _mm512_cvtepu64_pd(_mm512_andnot_si512(last, high)); // exact
                const __m512d xl = _mm512_cvtepu64_pd(_mm512_and_si512(high, last));
                const __m512d qh = _mm512_mul_pd(xh, inverse);
                const __m512d tail = _mm512_fmadd_pd(
                    xl, inverse, _mm512_fmadd_pd(xh, inverseRest, _mm512_fmsub_pd(xh, inverse, qh)));
                // Scaled to a quotient of 64 bits: by 2^53, or 2^52 where high >= d. Both exact.
                const __m512d scale =
                    _mm512_mask_blend_pd(big, _mm512_set1_pd(0x1p53), _mm512_set1_pd(0x1p52));
                const __m512d whole = _mm512_mul_pd(qh, scale), rest = _mm512_mul_pd(tail, scale);
                const __m512d restFloor =
                    _mm512_roundscale_pd(rest, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
                const __m512d fraction = _mm512_sub_pd(rest, restFloor); // exact, in [0, 1)
                const __m512d half = _mm512_set1_pd(0.5);
                if (_mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(fraction, half)), _mm512_set1_pd(0x1p-20),
                                       _CMP_LE_OQ) |
                    _mm512_cmp_pd_mask(whole, _mm512_set1_pd(0x1p64), _CMP_GE_OQ))
                    break;
                __m512i q = _mm512_add_epi64(_mm512_cvtpd_epu64(whole), _mm512_cvtpd_epi64(restFloor));
                q = _mm512_mask_add_epi64(q, _mm512_cmp_pd_mask(fraction, half, _CMP_GT_OQ), q, one);
                const __mmask8 carriedQ = _mm512_cmpeq_epi64_mask(q, _mm512_setzero_si512());
                high = _mm512_mask_or_epi64(q, carriedQ, q, top);
                biased = _mm512_mask_add_epi64(biased, big, biased, one);
                biased = _mm512_mask_add_epi64(biased, carriedQ, biased, one);
            }
        }
        const __m512i lagE = _mm512_sub_epi64(biased, _mm512_set1_epi64(16382));
        if ((_mm512_cmplt_epi64_mask(lagE, one) | _mm512_cmpgt_epi64_mask(lagE, _mm512_set1_epi64(62))) != 0)
            break;
        if constexpr (product) {
            const __m512i word = _mm512_or_si512(biased, sign);
            _mm512_storeu_si512(lags + j, _mm512_permutex2var_epi64(high, first, word));
            _mm512_storeu_si512(lags + j + 4, _mm512_permutex2var_epi64(high, second, word));
            continue;
        }
        __m512i h1, h0, m1, m0;
        multiply(high, k00, k01, h1, h0);
        multiply(high, k10, k11, m1, m0);
        const __m512i sumLow = _mm512_add_epi64(h0, m1);
        const __m512i sumHigh = _mm512_mask_add_epi64(h1, _mm512_cmplt_epu64_mask(sumLow, h0), h1, one);
        const __m512i right = _mm512_sub_epi64(_mm512_set1_epi64(64), lagE);
        __m512i t = _mm512_or_si512(
            _mm512_srlv_epi64(sumLow, right),
            _mm512_sllv_epi64(_mm512_slli_epi64(sumHigh, 1), _mm512_sub_epi64(_mm512_set1_epi64(63), right)));
        const __mmask8 negate = _mm512_test_epi64_mask(words, _mm512_set1_epi64(0x8000)); // the lag's sign
        t = _mm512_mask_sub_epi64(t, negate, _mm512_setzero_si512(), t);
        _mm512_storeu_si512(turns + j, t);
        const __m512i lowBits = _mm512_and_si512(t, _mm512_set1_epi64(0x7FF));
        const __m512d highPart = _mm512_cvtepi64_pd(_mm512_sub_epi64(t, lowBits)); // exact: 53 bits
        const __m512d lowPart = _mm512_cvtepi64_pd(lowBits);
        // Rounded one operation at a time, as angleOf rounds: a plain multiply and add could be fused here.
        constexpr int kNearest = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
        const __m512d small = _mm512_add_round_pd(_mm512_mul_round_pd(highPart, kLow, kNearest),
                                                  _mm512_mul_round_pd(lowPart, kHigh, kNearest), kNearest);
        _mm512_storeu_pd(
            angles + j, _mm512_add_round_pd(_mm512_mul_round_pd(highPart, kHigh, kNearest), small, kNearest));
    }
    return j;
}
#endif

} // namespace

std::size_t lagLanes(LagLanes lanes, const LagTerms* terms, const long double* from,
                     const std::uint8_t* onSource, std::size_t count, long double* lags, Turns* turns,
                     double* angles) {
#if defined(RIPPLESCOPE_LAG_VECTORS)
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
    const LagTerms none{0, 0, 0, 0, true, false};
    const LagTerms& t = terms != nullptr ? *terms : none;
    const auto run = [&](auto kernel, std::size_t at) {
        const auto offset = [at](auto* p) { return p == nullptr ? nullptr : p + at; };
        return kernel(t, from + at, onSource + at, count - at, offset(lags), offset(turns), offset(angles));
    };
    std::size_t done = 0;
    if (lanes == LagLanes::widest && avx512) {
        done = terms != nullptr ? run(eightLanes<true>, 0) : run(eightLanes<false>, 0);
        if (count - done >= 8) return done; // stopped at a group the one-point way takes
    }
    // Four lanes, or a last four points after the eight lanes: a column of 101 points would otherwise
    // leave five to the one-point way.
    if (avx2) done += terms != nullptr ? run(fourLanes<true>, done) : run(fourLanes<false>, done);
    return done;
#else
    (void)lanes, (void)terms, (void)from, (void)onSource, (void)count, (void)lags, (void)turns, (void)angles;
    return 0;
#endif
}

} // namespace rs
