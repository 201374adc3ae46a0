// Compiled with -mavx2. Uses intrinsics only (no shared inline helpers, whose
// out-of-line copies could otherwise be taken from this file by baseline code).
//
// Four pixels per 256-bit vector, one channel per 16-bit lane. The covered
// load's 32-bit products are taken apart into 16-bit halves, which keeps the
// lane count of the 16-bit layer and needs no 32-bit multiply:
//   A = s * 256 * f,  B = d * (0xFFFF - f)   (high half by mulhi, low by mullo)
//   blend = ((A >> 8) + (B >> 8)) >> 8
//         = Ahi + Bhi + (((Alo >> 8) + (Blo >> 8)) >> 8)
//   alpha from a transparent destination: A >> 16 = Ahi
//   alpha toward a transparent source:    B >> 16 = Bhi
#include "core/layer_load_avx2.h"

#include <immintrin.h>

namespace plr::avx2 {
namespace {

inline __m256i alphaOverLanes(__m256i x) noexcept {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(x, 0xFF), 0xFF);
}

// Four pixels: source channels `s` (0..255), destination `d`, the coverage
// of each pixel over its four lanes `f`.
inline __m256i blendFour(__m256i s, __m256i d, __m256i f, __m256i alphaLanes, bool locked) noexcept {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi16(-1);
    const __m256i sFull = _mm256_slli_epi16(s, 8);
    const __m256i g = _mm256_xor_si256(f, ones);  // 0xFFFF - f
    const __m256i aHi = _mm256_mulhi_epu16(sFull, f);
    const __m256i aLo = _mm256_mullo_epi16(sFull, f);
    const __m256i bHi = _mm256_mulhi_epu16(d, g);
    const __m256i bLo = _mm256_mullo_epi16(d, g);
    const __m256i carry =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_srli_epi16(aLo, 8), _mm256_srli_epi16(bLo, 8)), 8);
    const __m256i blend = _mm256_add_epi16(_mm256_add_epi16(aHi, bHi), carry);

    const __m256i none = _mm256_cmpeq_epi16(f, zero);
    const __m256i isFull = _mm256_cmpeq_epi16(f, ones);
    const __m256i daZero = _mm256_cmpeq_epi16(alphaOverLanes(d), zero);
    const __m256i saZero = _mm256_cmpeq_epi16(alphaOverLanes(s), zero);
    const __m256i take = _mm256_or_si256(isFull, _mm256_andnot_si256(none, daZero));
    const __m256i keep = _mm256_or_si256(none, _mm256_andnot_si256(take, saZero));

    __m256i colour = _mm256_blendv_epi8(blend, d, keep);
    colour = _mm256_blendv_epi8(colour, sFull, take);
    if (locked) return _mm256_blendv_epi8(colour, d, alphaLanes);

    __m256i alpha = _mm256_blendv_epi8(blend, bHi, saZero);
    alpha = _mm256_blendv_epi8(alpha, aHi, daZero);
    alpha = _mm256_blendv_epi8(alpha, sFull, isFull);
    alpha = _mm256_blendv_epi8(alpha, d, none);
    return _mm256_blendv_epi8(colour, alpha, alphaLanes);
}

template <bool Locked>
std::size_t blendRun(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n) noexcept {
    const __m256i alphaLanes = _mm256_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1);
    // Bytes 0-1 of coverage k over the four lanes of pixel k (k = 0, 1 in
    // the low half, 2, 3 in the high half).
    const __m256i spread = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5,  //
                                            8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
    const std::size_t groups = n / 4;
    for (std::size_t k = 0; k < groups; ++k) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * k));
        const __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 16 * k));
        const __m128i f4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + 4 * k));
        const __m256i f = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(f4), spread);
        const __m256i out = blendFour(_mm256_cvtepu8_epi16(src), dst, f, alphaLanes, Locked);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 16 * k), out);
    }
    return groups * 4;
}

}  // namespace

std::size_t blendCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                         bool alphaLocked) noexcept {
    return alphaLocked ? blendRun<true>(s, d, cov, n) : blendRun<false>(s, d, cov, n);
}

}  // namespace plr::avx2
