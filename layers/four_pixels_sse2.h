#pragma once
// Four layer-plane pixels in SSE2 registers: loading them as channel lanes,
// the Layer Mask's scale of their alphas and packing lanes back to pixels.
// Shared by the blend's four-pixel paths (blend_fast.cpp, blend_alpha.cpp);
// never include from an AVX2 file.
#include <emmintrin.h>

#include <cstdint>

namespace plr::four {

// Four pixels as two registers: R0..R3 G0..G3 and B0..B3 A0..A3.
inline void split(const std::uint16_t* p, __m128i& rg, __m128i& ba) noexcept {
    const __m128i p01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i p23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    const __m128i t0 = _mm_unpacklo_epi16(p01, p23), t1 = _mm_unpackhi_epi16(p01, p23);
    rg = _mm_unpacklo_epi16(t0, t1);
    ba = _mm_unpackhi_epi16(t0, t1);
}

// (R + G + B) / 3 of 32-bit lanes holding sums below 2^18: x * float(1/3)
// truncates to x / 3 exactly, since float(1/3) exceeds 1/3 by less than
// 2^-26, too little to reach the next whole number.
inline __m128i third(__m128i sum) noexcept {
    return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(1.0f / 3.0f)));
}

// The Layer Mask's scale of four source alphas (32-bit lanes): where the mask
// pixel is not transparent, a becomes ((R + G + B) / 3) * a >> 16.
inline __m128i maskedAlpha(const std::uint16_t* mk, __m128i sa) noexcept {
    const __m128i zero = _mm_setzero_si128();
    __m128i rg, ba;
    split(mk, rg, ba);
    const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_unpacklo_epi16(rg, zero), _mm_unpackhi_epi16(rg, zero)),
                                      _mm_unpacklo_epi16(ba, zero));
    const __m128i mean = third(sum);
    // Both operands have zero upper halves in every 32-bit lane: the 16-bit
    // high products are (mean * a) >> 16 in the low halves and 0 above.
    const __m128i scaledA = _mm_mulhi_epu16(mean, sa);
    const __m128i clear = _mm_cmpeq_epi32(_mm_unpackhi_epi16(ba, zero), zero);
    return _mm_or_si128(_mm_and_si128(clear, sa), _mm_andnot_si128(clear, scaledA));
}

// Opacity below 255: a * (opacity + 1) >> 8 of 32-bit lanes holding 16-bit
// values, as the high half of a * ((opacity + 1) << 8) (zero upper halves
// keep the lanes apart).
inline __m128i withOpacity(__m128i a, std::uint32_t opacityPlusOne) noexcept {
    return _mm_mulhi_epu16(a, _mm_set1_epi16(static_cast<short>(opacityPlusOne << 8)));
}

// 32-bit lanes (0..0xFFFF) to 16 bits: packs is signed, so shift by 0x8000 around it.
inline __m128i pack16(__m128i lo, __m128i hi) noexcept {
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    return _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(lo, bias32), _mm_sub_epi32(hi, bias32)), bias16);
}

// Stores four pixels from 32-bit channel lanes holding 0..0xFFFF.
inline void store(std::uint16_t* d, __m128i r, __m128i g, __m128i b, __m128i a) noexcept {
    const __m128i rg = pack16(r, g), ba = pack16(b, a);
    const __m128i t0 = _mm_unpacklo_epi16(rg, ba), t1 = _mm_unpackhi_epi16(rg, ba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi16(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8), _mm_unpackhi_epi16(t0, t1));
}

}  // namespace plr::four
