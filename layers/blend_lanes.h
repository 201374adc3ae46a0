#pragma once
// The float composition of four pixels in SSE2 registers, for formulas 0..18.
// Every operation is the one composeReference() performs, in the same
// order, so the results are bit-identical: IEEE division and square root are
// exact in both, contraction is off project-wide, and the minps/maxps
// semantics match the scalar comparisons written there.
// Internal to the blend fast path (blend_batch.cpp, blend_fast.cpp).
#include <emmintrin.h>

#include <cstdint>

namespace plr::lanes {

// Four floats; operators map one to one onto SSE2 instructions.
struct F4 {
    __m128 v;
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
inline F4 sqrt4(F4 x) { return {_mm_sqrt_ps(x.v)}; }
// x > 0 ? min(x, 1) : 0; maxps yields its second operand for NaN, as the scalar clamp yields 0.
inline F4 clamp4(F4 x) { return {_mm_min_ps(_mm_max_ps(x.v, _mm_setzero_ps()), _mm_set1_ps(1.0f))}; }
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

// The float composition of four pixels with formula F: the operations of
// composeReference() in the same order.
template <int F>
inline LanesOut composeLanes(const Lanes& in) {
    const F4 one = splat(1.0f), two = splat(2.0f), colourScale = splat(65280.0f), alphaScale = splat(65535.0f);
    const F4 as = scaled(in.srcAlpha, kPerAlpha);
    const F4 ad = scaled(in.dstAlpha, kPerAlpha);
    F4 S[3], D[3];
    for (int c = 0; c < 3; ++c) {
        S[c] = scaled(in.src[c], kPerColour) * as;
        D[c] = scaled(in.dst[c], kPerColour) * ad;
    }
    F4 ao = as * (one - ad) + ad;
    if constexpr (F == 15 || F == 16) ao = as + ad;
    if constexpr (F == 17 || F == 18 || F == 19) ao = ad;
    F4 u[3] = {splat(0), splat(0), splat(0)};
    if constexpr (F == 17 || F == 18)
        for (int c = 0; c < 3; ++c) u[c] = D[c] / ad;
    const F4 lum = scaled(in.lum, kPerLum);
    const F4 M = (u[0] + u[1] + u[2]) / splat(3.0f) - (splat(0.5f) - lum) * as;

    F4 r[3];
    for (int c = 0; c < 3; ++c) {
        const F4 Sc = S[c], Dc = D[c];
        const F4 E = Sc * (one - ad) + Dc * (one - as);
        const F4 over = Sc + Dc * (one - as);
        if constexpr (F == 1) r[c] = Sc * (one - ad) + Dc * (one - as) + Sc * Dc;
        else if constexpr (F == 2) r[c] = Sc + Dc - Sc * Dc;
        else if constexpr (F == 3) r[c] = select(Dc * as <= Sc * ad, Dc + Sc * (one - ad), over);
        else if constexpr (F == 4) r[c] = select(Dc * as >= Sc * ad, Dc + Sc * (one - ad), over);
        else if constexpr (F == 5) r[c] = Sc + Dc - two * lesser(Sc * ad, Dc * as);
        else if constexpr (F == 6 || F == 7) r[c] = Sc + Dc - two * Sc * Dc;
        else if constexpr (F == 8 || F == 9) {
            const F4 test = F == 8 ? two * Dc < ad : two * Sc < as;
            r[c] = select(test, two * Sc * Dc + E, as * ad - two * (ad - Dc) * (as - Sc) + E);
        } else if constexpr (F == 10) {
            const F4 k = Dc / ad;
            const F4 low = Dc * (as + (two * Sc - as) * (one - k)) + E;
            const F4 dark = Dc * (as + (two * Sc - as) * (one - k) * (splat(3.0f) - splat(8.0f) * k)) + E;
            const F4 high = Dc * as + (two * Sc - as) * (sqrt4(k) * ad - Dc) + E;
            r[c] = select(two * Sc < as, low, select(splat(8.0f) * Dc <= ad, dark, high));
        } else if constexpr (F == 11) {
            r[c] = select(Sc * ad + Dc * as >= as * ad, as * ad + E, Dc * as / (one - Sc / as) + E);
        } else if constexpr (F == 12) {
            r[c] = select(Sc * ad + Dc * as <= as * ad, E, as * (Sc * ad + Dc * as - as * ad) / Sc + E);
        } else if constexpr (F == 15) r[c] = Sc + Dc;
        else if constexpr (F == 16) r[c] = Sc + Dc - as * ad;
        else if constexpr (F == 17) r[c] = u[c] + splat(1.75f) * as * (M - splat(0.5f));
        else if constexpr (F == 18) r[c] = u[c] + splat(1.75f) * as * (lum - splat(0.5f));
        else if constexpr (F == 19) r[c] = Dc;
        else r[c] = over;
    }
    ao = clamp4(ao);
    // Over an opaque destination ao is exactly 1 and r / ao is r.
    const bool unit = _mm_movemask_ps(_mm_cmpeq_ps(ao.v, one.v)) == 0xF;
    LanesOut out;
    for (int c = 0; c < 3; ++c) out.c[c] = _mm_cvttps_epi32((clamp4(unit ? r[c] : r[c] / ao) * colourScale).v);
    out.a = _mm_cvttps_epi32((ao * alphaScale).v);
    return out;
}

}  // namespace plr::lanes
