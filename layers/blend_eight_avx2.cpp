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
#include "layers/float8_avx2.h"

namespace plr {
namespace {

using simd::F8;

// x * (1 / scale) in double, rounded to float: equal to x / scale in float
// for the integers that occur (see the SSE2 lanes).
inline F8 scaled(__m256i v, double reciprocal) {
    const __m256d r = _mm256_set1_pd(reciprocal);
    const __m128 lo = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(v)), r));
    const __m128 hi = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1)), r));
    return {_mm256_set_m128(hi, lo)};
}

// Four pixels as 32-bit lanes per channel.
struct Quad {
    __m128i c[4];
};
inline Quad split(const std::uint16_t* p) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i p01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i p23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    const __m128i t0 = _mm_unpacklo_epi16(p01, p23), t1 = _mm_unpackhi_epi16(p01, p23);
    const __m128i rg = _mm_unpacklo_epi16(t0, t1), ba = _mm_unpackhi_epi16(t0, t1);
    return {{_mm_unpacklo_epi16(rg, zero), _mm_unpackhi_epi16(rg, zero), _mm_unpacklo_epi16(ba, zero),
             _mm_unpackhi_epi16(ba, zero)}};
}
inline void join(std::uint16_t* p, __m128i r, __m128i g, __m128i b, __m128i a) {
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    auto pack = [&](__m128i lo, __m128i hi) {
        return _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(lo, bias32), _mm_sub_epi32(hi, bias32)), bias16);
    };
    const __m128i rg = pack(r, g), ba = pack(b, a);
    const __m128i t0 = _mm_unpacklo_epi16(rg, ba), t1 = _mm_unpackhi_epi16(rg, ba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi16(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 8), _mm_unpackhi_epi16(t0, t1));
}
inline __m256i both(__m128i lo, __m128i hi) { return _mm256_set_m128i(hi, lo); }
inline __m128i low(__m256i v) { return _mm256_castsi256_si128(v); }
inline __m128i high(__m256i v) { return _mm256_extracti128_si256(v, 1); }

template <int F>
std::int32_t blendEight(const std::uint16_t* s, std::uint16_t* d, std::int32_t n, const EightParams& p) noexcept {
    constexpr double kPerColour = 1.0 / 65280.0, kPerAlpha = 1.0 / 65535.0, kPerLum = 1.0 / 195840.0;
    const __m256i zero = _mm256_setzero_si256();
    std::int32_t done = 0;
    for (; done + 8 <= n; done += 8) {
        const std::uint16_t* sp = s + 4 * done;
        std::uint16_t* dp = d + 4 * done;
        const Quad s0 = split(sp), s1 = split(sp + 16), d0 = split(dp), d1 = split(dp + 16);
        const __m256i sa = both(s0.c[3], s1.c[3]), da = both(d0.c[3], d1.c[3]);
        // a * (opacity + 1) >> 8 is below 2^24: exact in 32-bit lanes.
        const __m256i A = p.opacityPlusOne < 256
                              ? _mm256_srli_epi32(_mm256_mullo_epi32(sa, _mm256_set1_epi32(static_cast<int>(p.opacityPlusOne))), 8)
                              : sa;
        __m256i off = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi32(sa, zero), _mm256_cmpeq_epi32(A, zero)),
                                      _mm256_cmpeq_epi32(da, zero));
        if (p.copyOpaque) off = _mm256_or_si256(off, _mm256_cmpgt_epi32(A, _mm256_set1_epi32(0xFEFF)));
        if (_mm256_movemask_epi8(off) != 0) break;

        __m256i src[3], dst[3];
        for (int c = 0; c < 3; ++c) {
            src[c] = both(s0.c[c], s1.c[c]);
            dst[c] = both(d0.c[c], d1.c[c]);
        }
        const __m256i lum = _mm256_add_epi32(_mm256_add_epi32(src[0], src[1]), src[2]);
        F8 sv[3], dv[3];
        for (int c = 0; c < 3; ++c) {
            sv[c] = scaled(src[c], kPerColour);
            dv[c] = scaled(dst[c], kPerColour);
        }
        const Straight<F8> r =
            composeStraightT<F>(sv, scaled(A, kPerAlpha), scaled(lum, kPerLum), dv, scaled(da, kPerAlpha));
        __m256i out[4];
        for (int c = 0; c < 3; ++c) out[c] = _mm256_cvttps_epi32((r.c[c] * F8::splat(65280.0f)).v);
        out[3] = p.alphaLock ? da : _mm256_cvttps_epi32((r.a * F8::splat(65535.0f)).v);
        join(dp, low(out[0]), low(out[1]), low(out[2]), low(out[3]));
        join(dp + 16, high(out[0]), high(out[1]), high(out[2]), high(out[3]));
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

}  // namespace plr
