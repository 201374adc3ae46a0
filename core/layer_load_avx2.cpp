// Compiled with -mavx2. Uses intrinsics only (no shared inline helpers, whose
// out-of-line copies could otherwise be taken from this file by baseline code).
//
// Two pixels per 256-bit vector, one channel per 32-bit lane, so every rule of
// the covered load is the same lane-wise arithmetic as the scalar loop:
//   in = s * f                      (s * 256 * f >> 8, exact)
//   blend = (in + (d * (0xFFFF - f) >> 8)) >> 8
//   alpha from a transparent destination: s * 256 * f >> 16 = in >> 8
//   alpha toward a transparent source:    d * (0xFFFF - f) >> 16
#include "core/layer_load_avx2.h"

#include <immintrin.h>

namespace plr::avx2 {
namespace {

// Channels of two pixels (8 lanes) from their source bytes, destination
// values and the coverage of each pixel repeated over its four lanes.
inline __m256i blendTwo(__m256i s, __m256i d, __m256i f, __m256i alphaLanes, bool locked) noexcept {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi32(0xFFFF);
    const __m256i g = _mm256_sub_epi32(full, f);
    const __m256i in = _mm256_mullo_epi32(s, f);
    const __m256i dg = _mm256_mullo_epi32(d, g);
    const __m256i blend = _mm256_srli_epi32(_mm256_add_epi32(in, _mm256_srli_epi32(dg, 8)), 8);
    const __m256i sFull = _mm256_slli_epi32(s, 8);
    const __m256i sa = _mm256_shuffle_epi32(s, 0xFF);  // each pixel's alpha over its lanes
    const __m256i da = _mm256_shuffle_epi32(d, 0xFF);

    const __m256i none = _mm256_cmpeq_epi32(f, zero);
    const __m256i isFull = _mm256_cmpeq_epi32(f, full);
    const __m256i daZero = _mm256_cmpeq_epi32(da, zero);
    const __m256i saZero = _mm256_cmpeq_epi32(sa, zero);
    const __m256i take = _mm256_or_si256(isFull, _mm256_andnot_si256(none, daZero));
    const __m256i keep = _mm256_or_si256(none, _mm256_andnot_si256(take, saZero));

    __m256i colour = _mm256_blendv_epi8(blend, d, keep);
    colour = _mm256_blendv_epi8(colour, sFull, take);
    if (locked) return _mm256_blendv_epi8(colour, d, alphaLanes);

    __m256i alpha = _mm256_blendv_epi8(blend, _mm256_srli_epi32(dg, 16), saZero);
    alpha = _mm256_blendv_epi8(alpha, _mm256_srli_epi32(in, 8), daZero);
    alpha = _mm256_blendv_epi8(alpha, sFull, isFull);
    alpha = _mm256_blendv_epi8(alpha, d, none);
    return _mm256_blendv_epi8(colour, alpha, alphaLanes);
}

}  // namespace

std::size_t blendCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                         bool alphaLocked) noexcept {
    const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
    const __m256i first = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    const __m256i second = _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3);
    const std::size_t groups = n / 4;
    for (std::size_t k = 0; k < groups; ++k) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * k));
        const __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 16 * k));
        const __m256i f4 = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + 4 * k)));
        const __m256i lo = blendTwo(_mm256_cvtepu8_epi32(src), _mm256_cvtepu16_epi32(_mm256_castsi256_si128(dst)),
                                    _mm256_permutevar8x32_epi32(f4, first), alphaLanes, alphaLocked);
        const __m256i hi = blendTwo(_mm256_cvtepu8_epi32(_mm_srli_si128(src, 8)),
                                    _mm256_cvtepu16_epi32(_mm256_extracti128_si256(dst, 1)),
                                    _mm256_permutevar8x32_epi32(f4, second), alphaLanes, alphaLocked);
        // packus gives pixels 0, 2 | 1, 3 (per 128-bit half); put them back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 16 * k), packed);
    }
    return groups * 4;
}

}  // namespace plr::avx2
