// The smudge row with AVX2: two pixels a step, one 32-bit lane per channel,
// the steps of smudgePixel() lane for lane (the unsigned 32-bit products,
// sums and shifts map one to one onto mullo, add and srli).
#include <immintrin.h>

#include "brush/dab_smudge_row.h"

namespace plr::dab {
namespace {

inline __m256i loadPair(const std::uint16_t* p) noexcept {
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}
// Keeps the low 16 bits of each lane (the scalar stores truncate), then packs.
inline void storePair(std::uint16_t* p, __m256i v) noexcept {
    const __m256i low = _mm256_and_si256(v, _mm256_set1_epi32(0xFFFF));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, low), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
}
inline __m256i mul(__m256i a, __m256i b) noexcept { return _mm256_mullo_epi32(a, b); }
inline __m256i shr(__m256i a, int n) noexcept { return _mm256_srl_epi32(a, _mm_cvtsi32_si128(n)); }

}  // namespace

void smudgeRowAvx2(const SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                   std::int32_t count) noexcept {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
    const __m256i whole = _mm256_set1_epi32(65536), top = _mm256_set1_epi32(65535), one = _mm256_set1_epi32(1);
    const __m256i pinv = _mm256_set1_epi32(static_cast<int>(k.primaryInverse));
    const __m256i prim = _mm256_setr_epi32(
        static_cast<int>(k.primary[0]), static_cast<int>(k.primary[1]), static_cast<int>(k.primary[2]),
        static_cast<int>(k.primary[3]), static_cast<int>(k.primary[0]), static_cast<int>(k.primary[1]),
        static_cast<int>(k.primary[2]), static_cast<int>(k.primary[3]));
    const __m256i bs = _mm256_set1_epi32(static_cast<int>(k.blendStrength));
    const __m256i bi = _mm256_set1_epi32(static_cast<int>(k.blendStrengthInverse));
    std::int32_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128i c2 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cov + i));
        if (_mm_testz_si128(c2, c2)) continue;
        std::uint16_t* p = px + static_cast<std::size_t>(i) * 4;
        std::uint16_t* m = mix + static_cast<std::size_t>(i) * 4;
        const __m256i y = _mm256_permutevar8x32_epi32(_mm256_castsi128_si256(c2), spread);
        const __m256i yZero = _mm256_cmpeq_epi32(y, zero);
        const __m256i d = loadPair(p), buffered = loadPair(m);
        const __m256i s = k.primaryOn ? shr(_mm256_add_epi32(mul(pinv, buffered), prim), 8) : buffered;
        const __m256i daZero = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(d, 0xFF), zero);
        const __m256i saZero = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(s, 0xFF), zero);

        // Over a target with alpha: every lane mixes by coverage, except that
        // colour lanes keep the target where the source alpha is 0.
        const __m256i mixed =
            shr(_mm256_add_epi32(shr(mul(_mm256_sub_epi32(whole, y), d), 8), shr(mul(y, s), 8)), 8);
        const __m256i over = _mm256_blendv_epi8(mixed, d, _mm256_andnot_si256(alphaLanes, saZero));
        // Over a transparent target: the source colour, alpha (y * sa) >> 16.
        const __m256i onClear = _mm256_blendv_epi8(s, shr(mul(y, s), 16), alphaLanes);
        __m256i out = _mm256_blendv_epi8(over, onClear, daZero);
        if (!k.alphaWritable) out = _mm256_blendv_epi8(out, d, alphaLanes);
        storePair(p, _mm256_blendv_epi8(out, d, yZero));

        if (k.remix) {
            const __m256i sum = shr(_mm256_add_epi32(mul(bi, d), mul(bs, s)), 8);
            __m256i back = _mm256_blendv_epi8(_mm256_min_epu32(_mm256_add_epi32(sum, one), top), sum, alphaLanes);
            back = _mm256_blendv_epi8(back, _mm256_blendv_epi8(s, shr(mul(bs, s), 8), alphaLanes), daZero);
            back = _mm256_blendv_epi8(back, _mm256_blendv_epi8(d, shr(mul(bi, d), 8), alphaLanes), saZero);
            storePair(m, _mm256_blendv_epi8(back, buffered, yZero));
        }
    }
    for (; i < count; ++i)
        if (cov[i] != 0)
            smudgePixel(k, px + static_cast<std::size_t>(i) * 4, mix + static_cast<std::size_t>(i) * 4, cov[i]);
}

}  // namespace plr::dab
