// One channel per 16-bit lane, two pixels per vector; the 32-bit products of
// the covered load are taken apart into 16-bit halves (see
// core/layer_load_avx2.cpp for the derivation):
//   blend = Ahi + Bhi + (((Alo >> 8) + (Blo >> 8)) >> 8)
// with A = s * 256 * f and B = d * (0xFFFF - f).
#include "core/layer_load_sse2.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plr::sse2 {

#if defined(__SSE2__)
namespace {

inline __m128i select(__m128i mask, __m128i yes, __m128i no) noexcept {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

inline __m128i alphaOverLanes(__m128i x) noexcept { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }

// Two pixels: source channels `s` (0..255), destination `d`, the coverage of
// each pixel over its four lanes `f`.
template <bool Locked>
inline __m128i blendTwo(__m128i s, __m128i d, __m128i f, __m128i alphaLanes) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(-1);
    const __m128i sFull = _mm_slli_epi16(s, 8);
    const __m128i g = _mm_xor_si128(f, ones);  // 0xFFFF - f
    const __m128i aHi = _mm_mulhi_epu16(sFull, f);
    const __m128i aLo = _mm_mullo_epi16(sFull, f);
    const __m128i bHi = _mm_mulhi_epu16(d, g);
    const __m128i bLo = _mm_mullo_epi16(d, g);
    const __m128i carry = _mm_srli_epi16(_mm_add_epi16(_mm_srli_epi16(aLo, 8), _mm_srli_epi16(bLo, 8)), 8);
    const __m128i blend = _mm_add_epi16(_mm_add_epi16(aHi, bHi), carry);

    const __m128i none = _mm_cmpeq_epi16(f, zero);
    const __m128i isFull = _mm_cmpeq_epi16(f, ones);
    const __m128i daZero = _mm_cmpeq_epi16(alphaOverLanes(d), zero);
    const __m128i saZero = _mm_cmpeq_epi16(alphaOverLanes(s), zero);
    const __m128i take = _mm_or_si128(isFull, _mm_andnot_si128(none, daZero));
    const __m128i keep = _mm_or_si128(none, _mm_andnot_si128(take, saZero));

    __m128i colour = select(keep, d, blend);
    colour = select(take, sFull, colour);
    if constexpr (Locked) return select(alphaLanes, d, colour);

    __m128i alpha = select(saZero, bHi, blend);
    alpha = select(daZero, aHi, alpha);
    alpha = select(isFull, sFull, alpha);
    alpha = select(none, d, alpha);
    return select(alphaLanes, alpha, colour);
}

template <bool Locked>
std::size_t blendRun(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaLanes = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
    const std::size_t groups = n / 4;
    for (std::size_t k = 0; k < groups; ++k) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * k));
        auto* out = reinterpret_cast<__m128i*>(d + 16 * k);
        const __m128i f4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cov + 4 * k));
        // The low 16 bits of coverage 0, 1 (then 2, 3) over the lanes of their pixels.
        const __m128i f01 = _mm_shufflelo_epi16(f4, 0xA0);  // words f0 f0 f1 f1
        const __m128i f23 = _mm_shufflehi_epi16(f4, 0xA0);  // words 4..7: f2 f2 f3 f3
        const __m128i lo = blendTwo<Locked>(_mm_unpacklo_epi8(src, zero), _mm_loadu_si128(out),
                                            _mm_unpacklo_epi16(f01, f01), alphaLanes);
        const __m128i hi = blendTwo<Locked>(_mm_unpackhi_epi8(src, zero), _mm_loadu_si128(out + 1),
                                            _mm_unpackhi_epi16(f23, f23), alphaLanes);
        _mm_storeu_si128(out, lo);
        _mm_storeu_si128(out + 1, hi);
    }
    return groups * 4;
}

}  // namespace

std::size_t blendCovered(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov, std::size_t n,
                         bool alphaLocked) noexcept {
    return alphaLocked ? blendRun<true>(s, d, cov, n) : blendRun<false>(s, d, cov, n);
}
#else
std::size_t blendCovered(const std::uint8_t*, std::uint16_t*, const std::uint32_t*, std::size_t, bool) noexcept {
    return 0;
}
#endif

}  // namespace plr::sse2
