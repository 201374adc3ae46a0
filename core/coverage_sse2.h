#pragma once
// The coverage blend (core/coverage.h) on eight 16-bit lanes at once, for the
// SSE2 page loops. Its 32-bit products are taken apart into 16-bit halves:
//   A = s * 256 * f,  B = d * (0xFFFF - f)   (high half by mulhi, low by mullo)
//   ((A >> 8) + (B >> 8)) >> 8 = Ahi + Bhi + (((Alo >> 8) + (Blo >> 8)) >> 8)
// Include only where SSE2 is available (x86-64).
#include <emmintrin.h>

namespace plr::sse2 {

struct CoverageLanes {
    __m128i blend;  // coverageBlend(s, d, f)
    __m128i aHi;    // s * 256 * f >> 16
    __m128i bHi;    // d * (0xFFFF - f) >> 16
};

// sFull = s * 256, d and f per lane.
inline CoverageLanes coverageLanes(__m128i sFull, __m128i d, __m128i f) noexcept {
    const __m128i g = _mm_xor_si128(f, _mm_set1_epi16(-1));  // 0xFFFF - f
    const __m128i aHi = _mm_mulhi_epu16(sFull, f);
    const __m128i aLo = _mm_mullo_epi16(sFull, f);
    const __m128i bHi = _mm_mulhi_epu16(d, g);
    const __m128i bLo = _mm_mullo_epi16(d, g);
    const __m128i carry = _mm_srli_epi16(_mm_add_epi16(_mm_srli_epi16(aLo, 8), _mm_srli_epi16(bLo, 8)), 8);
    return {_mm_add_epi16(_mm_add_epi16(aHi, bHi), carry), aHi, bHi};
}

inline __m128i select(__m128i mask, __m128i yes, __m128i no) noexcept {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// coverageApply per lane: f = 0 keeps d, f = 0xFFFF takes s * 256.
inline __m128i coverageApplyLanes(__m128i sFull, __m128i d, __m128i f) noexcept {
    const __m128i blended = coverageLanes(sFull, d, f).blend;
    const __m128i none = _mm_cmpeq_epi16(f, _mm_setzero_si128());
    const __m128i full = _mm_cmpeq_epi16(f, _mm_set1_epi16(-1));
    return select(none, d, select(full, sFull, blended));
}

// Coverage values 0..0xFFFF of pixels k, k + 1 (32-bit words 0, 1 of
// `cov4`) over the four lanes of each; `high` takes words 2, 3.
inline __m128i coverageOfTwo(__m128i cov4, bool high) noexcept {
    if (high) {
        const __m128i f23 = _mm_shufflehi_epi16(cov4, 0xA0);  // words 4..7: f2 f2 f3 f3
        return _mm_unpackhi_epi16(f23, f23);
    }
    const __m128i f01 = _mm_shufflelo_epi16(cov4, 0xA0);  // words f0 f0 f1 f1
    return _mm_unpacklo_epi16(f01, f01);
}

inline __m128i alphaOverLanes(__m128i x) noexcept { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }

}  // namespace plr::sse2
