#pragma once
// The float composition of four pixels in SSE2 registers, for formulas 0..18.
// Every operation is the one composeReference() performs, in the same
// order, so the results are bit-identical: IEEE division and square root are
// exact in both, contraction is off project-wide, and the minps/maxps
// semantics match the scalar comparisons written there.
// Used by the blend fast path (blend_batch.cpp, blend_fast.cpp); the render
// can call composeStraight() on its float running result.
#include <emmintrin.h>

#include <cstdint>

#include "layers/blend_formula.h"

namespace plr::lanes {

// Four floats; operators map one to one onto SSE2 instructions.
struct F4 {
    __m128 v;
    static F4 splat(float x) { return {_mm_set1_ps(x)}; }
};
inline F4 operator+(F4 a, F4 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, F4 b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F4 operator/(F4 a, F4 b) { return {_mm_div_ps(a.v, b.v)}; }
inline F4 operator<(F4 a, F4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline F4 operator<=(F4 a, F4 b) { return {_mm_cmple_ps(a.v, b.v)}; }
inline F4 operator>=(F4 a, F4 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline F4 splat(float x) { return {_mm_set1_ps(x)}; }
// mask ? a : b
inline F4 select(F4 mask, F4 a, F4 b) { return {_mm_or_ps(_mm_and_ps(mask.v, a.v), _mm_andnot_ps(mask.v, b.v))}; }
// x < y ? x : y, as minps defines it
inline F4 lesser(F4 x, F4 y) { return {_mm_min_ps(x.v, y.v)}; }
inline F4 root(F4 x) { return {_mm_sqrt_ps(x.v)}; }
// x > 0 ? min(x, 1) : 0; maxps yields its second operand for NaN, as the scalar clamp yields 0.
inline F4 clamp01v(F4 x) { return {_mm_min_ps(_mm_max_ps(x.v, _mm_setzero_ps()), _mm_set1_ps(1.0f))}; }
inline bool allOne(F4 x) { return _mm_movemask_ps(_mm_cmpeq_ps(x.v, _mm_set1_ps(1.0f))) == 0xF; }
// x / scale for integers x: the product with the double reciprocal, rounded
// to float, equals the float quotient for every 16-bit value (and every sum
// of three), so two cheap multiplies replace a division. The exhaustive
// check is a unit test (BlendBatch.ScaledLoadsEqualDivision).
inline F4 scaled(__m128i v, double reciprocal) {
    const __m128d r = _mm_set1_pd(reciprocal);
    const __m128d lo = _mm_mul_pd(_mm_cvtepi32_pd(v), r);
    const __m128d hi = _mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(v, 0xEE)), r);
    return {_mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi))};
}
constexpr double kPerColour = 1.0 / 65280.0, kPerAlpha = 1.0 / 65535.0, kPerLum = 1.0 / 195840.0;

// Four pixels as 32-bit lanes: source colour, effective alpha A, R + G + B,
// destination colour and alpha (16-bit values); out: the 16-bit results.
struct Lanes {
    __m128i src[3], srcAlpha, lum, dst[3], dstAlpha;
};
struct LanesOut {
    __m128i c[3], a;
};

// The float composition of four pixels with formula F on normalised
// straight values. The render, which keeps its running result in float,
// calls this with its destination lanes directly.
template <int F>
inline Straight<F4> composeStraight(const F4 s[3], F4 as, F4 lum, const F4 d[3], F4 ad) {
    return composeStraightT<F>(s, as, lum, d, ad);
}

// The same on 16-bit values in 32-bit lanes, truncated back to 16-bit values.
template <int F>
inline LanesOut composeLanes(const Lanes& in) {
    F4 s[3], d[3];
    for (int c = 0; c < 3; ++c) {
        s[c] = scaled(in.src[c], kPerColour);
        d[c] = scaled(in.dst[c], kPerColour);
    }
    const Straight<F4> r = composeStraight<F>(s, scaled(in.srcAlpha, kPerAlpha), scaled(in.lum, kPerLum), d,
                                          scaled(in.dstAlpha, kPerAlpha));
    LanesOut out;
    for (int c = 0; c < 3; ++c) out.c[c] = _mm_cvttps_epi32((r.c[c] * splat(65280.0f)).v);
    out.a = _mm_cvttps_epi32((r.a * splat(65535.0f)).v);
    return out;
}

}  // namespace plr::lanes
