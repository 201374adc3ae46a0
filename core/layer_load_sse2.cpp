// One channel per 16-bit lane, two pixels per vector (core/coverage_sse2.h).
#include "core/layer_load_sse2.h"

#if defined(__SSE2__)
#include "core/coverage_sse2.h"
#endif

namespace plr::sse2 {

#if defined(__SSE2__)
namespace {

template <bool Locked>
inline __m128i blendTwo(__m128i s, __m128i d, __m128i f, __m128i alphaLanes) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(-1);
    const __m128i sFull = _mm_slli_epi16(s, 8);
    const auto [blend, aHi, bHi] = coverageLanes(sFull, d, f);

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
        const __m128i lo = blendTwo<Locked>(_mm_unpacklo_epi8(src, zero), _mm_loadu_si128(out),
                                            coverageOfTwo(f4, false), alphaLanes);
        const __m128i hi = blendTwo<Locked>(_mm_unpackhi_epi8(src, zero), _mm_loadu_si128(out + 1),
                                            coverageOfTwo(f4, true), alphaLanes);
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
