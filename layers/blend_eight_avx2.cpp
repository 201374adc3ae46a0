// The eight-pixel composition with AVX2 (this file is compiled with -mavx2
// and only entered after the processor check in blend_eight.cpp). It uses
// the formula template of blend_formula.h with an eight-float vector type;
// every helper here is local to this file so that no AVX2-compiled inline
// function can stand in for the SSE2 one elsewhere.
#include <immintrin.h>

#include <array>
#include <cstdint>
#include <utility>

#include "layers/blend_eight.h"
#include "layers/blend_formula.h"
#include "layers/blend_prefetch.h"
#include "layers/eight_pixels_avx2.h"
#include "layers/float8_avx2.h"

namespace plr {
namespace {

using simd::F8;

using eight::Eight;
using eight::load8;
using eight::masked;
using eight::store8;

// The composition of eight pixels that all need it, to 16-bit lanes. With
// kOpaqueBelow every destination alpha is 0xFFFF, whose quotient is exactly
// 1: the constant takes its place, so its quotient and the products with it
// (x * 1 is x in IEEE arithmetic) fold away at compile time.
template <int F, bool kOpaqueBelow>
inline void composeEight(const Eight& sp, __m256i A, const Eight& dq, bool alphaLock, __m256i out[4]) noexcept {
    const __m256i lum = _mm256_add_epi32(_mm256_add_epi32(sp.c[0], sp.c[1]), sp.c[2]);
    F8 sv[3], dv[3];
    for (int c = 0; c < 3; ++c) {
        sv[c] = quotient(sp.c[c], simd::kPerColour8);
        dv[c] = quotient(dq.c[c], simd::kPerColour8);
    }
    const F8 ad = kOpaqueBelow ? F8::splat(1.0f) : quotient(dq.c[3], simd::kPerAlpha8);
    const Straight<F8> r =
        composeStraightT<F>(sv, quotient(A, simd::kPerAlpha8), quotient(lum, simd::kPerLum8), dv, ad);
    for (int c = 0; c < 3; ++c) out[c] = _mm256_cvttps_epi32((r.c[c] * F8::splat(65280.0f)).v);
    out[3] = alphaLock ? dq.c[3] : _mm256_cvttps_epi32((r.a * F8::splat(65535.0f)).v);
}

inline void prefetchAhead(const std::uint16_t* s, const std::uint16_t* d) noexcept {
    _mm_prefetch(reinterpret_cast<const char*>(s) + kBlendPrefetchBytes, _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(d) + kBlendPrefetchBytes, _MM_HINT_T0);
}

template <int F>
std::int32_t blendEight(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, std::int32_t n,
                        const EightParams& p) noexcept {
    const __m256i zero = _mm256_setzero_si256(), opaque = _mm256_set1_epi32(0xFFFF);
    std::int32_t done = 0;
    for (; done + 8 <= n; done += 8) {
        std::uint16_t* dp = d + 4 * done;
        // Eight pixels are 64 bytes of each plane: one line a group.
        prefetchAhead(s + 4 * done, dp);
        const Eight sp = load8(s + 4 * done), dq = load8(dp);
        const __m256i sa = sp.c[3], da = dq.c[3];
        const __m256i am = mk ? masked(mk + 4 * done, sa) : sa;
        // a * (opacity + 1) >> 8 is below 2^24: exact in 32-bit lanes.
        const __m256i A = p.opacityPlusOne < 256 ? eight::withOpacity(am, p.opacityPlusOne) : am;
        __m256i off = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi32(sa, zero), _mm256_cmpeq_epi32(A, zero)),
                                      _mm256_cmpeq_epi32(da, zero));
        if (p.copyOpaque) off = _mm256_or_si256(off, _mm256_cmpgt_epi32(A, _mm256_set1_epi32(0xFEFF)));
        if (_mm256_movemask_epi8(off) != 0) break;

        __m256i out[4];
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(da, opaque)) == -1)
            composeEight<F, true>(sp, A, dq, p.alphaLock, out);
        else
            composeEight<F, false>(sp, A, dq, p.alphaLock, out);
        store8(dp, out);
    }
    return done;
}

template <int... F>
constexpr std::array<EightFn, sizeof...(F)> makeTable(std::integer_sequence<int, F...>) {
    return {&blendEight<F>...};
}

}  // namespace

EightFn eightPixelFunctionAvx2(std::int32_t formula) noexcept {
    static constexpr auto table = makeTable(std::make_integer_sequence<int, 19>{});
    return formula >= 0 && formula < 19 ? table[static_cast<std::size_t>(formula)] : nullptr;
}

void quotientsAvx2(const std::int32_t* x, float* out, std::int32_t n, std::int32_t scale) noexcept {
    const simd::Scale s = scale == 0xFFFF ? simd::kPerAlpha8 : scale == 3 * 0xFF00 ? simd::kPerLum8 : simd::kPerColour8;
    for (std::int32_t i = 0; i + 8 <= n; i += 8)
        _mm256_storeu_ps(out + i, quotient(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i)), s).v);
}

}  // namespace plr
