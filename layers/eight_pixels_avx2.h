#pragma once
// Eight layer-plane pixels in AVX2 registers: one vector of 32-bit lanes per
// channel, the Layer Mask's scale of their alphas and the way back. Include
// only from files compiled with -mavx2 (*_avx2.cpp).
#include <immintrin.h>

#include <cstdint>

#include "layers/float8_avx2.h"

namespace plr::eight {

// Eight pixels as one vector of 32-bit lanes per channel, in pixel order.
struct Eight {
    __m256i c[4];
};
inline Eight load8(const std::uint16_t* p) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));       // pixels 0..3
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16));  // pixels 4..7
    // Each 128-bit half then holds four pixels (0..3 | 4..7) as two pairs.
    const __m256i lo = _mm256_permute2x128_si256(a, b, 0x20), hi = _mm256_permute2x128_si256(a, b, 0x31);
    const __m256i t0 = _mm256_unpacklo_epi16(lo, hi), t1 = _mm256_unpackhi_epi16(lo, hi);
    const __m256i rg = _mm256_unpacklo_epi16(t0, t1), ba = _mm256_unpackhi_epi16(t0, t1);
    const __m256i zero = _mm256_setzero_si256();
    return {{_mm256_unpacklo_epi16(rg, zero), _mm256_unpackhi_epi16(rg, zero), _mm256_unpacklo_epi16(ba, zero),
             _mm256_unpackhi_epi16(ba, zero)}};
}
// The reverse for lanes holding 0..0xFFFF.
inline void store8(std::uint16_t* p, const __m256i c[4]) {
    const __m256i rg = _mm256_packus_epi32(c[0], c[1]), ba = _mm256_packus_epi32(c[2], c[3]);
    const __m256i t0 = _mm256_unpacklo_epi16(rg, ba), t1 = _mm256_unpackhi_epi16(rg, ba);
    const __m256i p01 = _mm256_unpacklo_epi16(t0, t1), p23 = _mm256_unpackhi_epi16(t0, t1);  // pixels 0,1|4,5 and 2,3|6,7
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_permute2x128_si256(p01, p23, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 16), _mm256_permute2x128_si256(p01, p23, 0x31));
}

// The Layer Mask's scale of eight source alphas: where the mask pixel is not
// transparent, a becomes ((R + G + B) / 3) * a >> 16 (the product is below
// 2^32, so the low half of the 32-bit multiply is exact as unsigned).
inline __m256i masked(const std::uint16_t* mk, __m256i sa) {
    const Eight m = load8(mk);
    const __m256i mean = simd::third(_mm256_add_epi32(_mm256_add_epi32(m.c[0], m.c[1]), m.c[2]));
    const __m256i scaledA = _mm256_srli_epi32(_mm256_mullo_epi32(mean, sa), 16);
    return _mm256_blendv_epi8(scaledA, sa, _mm256_cmpeq_epi32(m.c[3], _mm256_setzero_si256()));
}

// a * (opacity + 1) >> 8 is below 2^24: exact in 32-bit lanes.
inline __m256i withOpacity(__m256i a, std::uint32_t opacityPlusOne) {
    return _mm256_srli_epi32(_mm256_mullo_epi32(a, _mm256_set1_epi32(static_cast<int>(opacityPlusOne))), 8);
}

}  // namespace plr::eight
