#include <immintrin.h>

#include "brush/dab_normal_row.h"

namespace plr::dab {
namespace {

inline __m256i div65535x8(__m256i x) noexcept {
    const __m256i one = _mm256_set1_epi32(1);
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, _mm256_srli_epi32(x, 16)), one), 16);
}

}  // namespace

void normalRowAvx2(const NormalRow& n, std::uint16_t* px, const std::uint32_t* cov, std::int32_t count) noexcept {
    const __m256i full = _mm256_set1_epi32(65535);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i src = _mm256_setr_epi32(static_cast<int>(n.s[0]), static_cast<int>(n.s[1]), static_cast<int>(n.s[2]),
                                          static_cast<int>(n.s[3]), static_cast<int>(n.s[0]), static_cast<int>(n.s[1]),
                                          static_cast<int>(n.s[2]), static_cast<int>(n.s[3]));
    const __m256i srcAlpha = _mm256_set1_epi32(static_cast<int>(n.s[3]));
    const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    // Alpha lanes take the composed alpha, or keep the target's.
    const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
    std::int32_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128i c2 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cov + i));
        if (_mm_testz_si128(c2, c2)) continue;
        std::uint16_t* p = px + static_cast<std::size_t>(i) * 4;
        const __m256i y = _mm256_permutevar8x32_epi32(_mm256_castsi128_si256(c2), spread);
        const __m256i d = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        const __m256i da = _mm256_shuffle_epi32(d, 0xFF);

        const __m256i sc = div65535x8(_mm256_mullo_epi32(y, srcAlpha));
        const __m256i ra = _mm256_add_epi32(div65535x8(_mm256_mullo_epi32(_mm256_sub_epi32(full, da), sc)), da);
        const __m256i dd = _mm256_srli_epi32(_mm256_mullo_epi32(d, da), 16);
        const __m256i mixed = _mm256_add_epi32(div65535x8(_mm256_mullo_epi32(dd, _mm256_sub_epi32(full, sc))),
                                               _mm256_srli_epi32(_mm256_mullo_epi32(sc, src), 16));
        const __m256i daZero = _mm256_cmpeq_epi32(da, zero);
        const __m256i yZero = _mm256_cmpeq_epi32(y, zero);
        // Pixels over partly transparent targets whose result alpha is not
        // full need the division by it: those pairs go the scalar way.
        const __m256i plain = _mm256_or_si256(_mm256_or_si256(daZero, yZero), _mm256_cmpeq_epi32(ra, full));
        if (_mm256_movemask_epi8(plain) != -1) {
            if (cov[i] != 0) normalPixel(n, p, cov[i]);
            if (cov[i + 1] != 0) normalPixel(n, p + 4, cov[i + 1]);
            continue;
        }
        const __m256i overClear = _mm256_srli_epi32(_mm256_mullo_epi32(y, srcAlpha), 16);
        const __m256i colour = _mm256_blendv_epi8(mixed, src, daZero);
        const __m256i alpha = n.alphaWritable ? _mm256_blendv_epi8(ra, overClear, daZero) : d;
        __m256i out = _mm256_blendv_epi8(colour, alpha, alphaLanes);
        out = _mm256_blendv_epi8(out, d, yZero);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(out, out), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
    }
    for (; i < count; ++i)
        if (cov[i] != 0) normalPixel(n, px + static_cast<std::size_t>(i) * 4, cov[i]);
}

}  // namespace plr::dab
