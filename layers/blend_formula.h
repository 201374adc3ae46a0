#pragma once
// The float composition formulas for a vector type: one text behind the SSE2
// four-pixel lanes (blend_lanes.h) and the AVX2 eight-pixel path
// (blend_eight_avx2.cpp). Templates only, so the AVX2 file can include it
// without sharing any non-template inline function with SSE2 code.
namespace plr {

// Straight colour (1.0 = 0xFF00) and alpha (1.0 = 0xFFFF), clamped to [0, 1].
template <class V>
struct Straight {
    V c[3];
    V a;
};

// The float composition of a vector of pixels with formula F on normalised
// straight values: the operations of composeReference() in the same order.
// V supplies + - * / < <= >= and, found by argument-dependent lookup,
// select(mask, a, b), lesser(x, y) (minps), root(x), clamp01v(x) (maxps
// then minps) and allOne(x); V::splat(x) broadcasts.
template <int F, class V>
inline Straight<V> composeStraightT(const V s[3], V as, V lum, const V d[3], V ad) {
    const V one = V::splat(1.0f), two = V::splat(2.0f);
    V S[3], D[3];
    for (int c = 0; c < 3; ++c) {
        S[c] = s[c] * as;
        D[c] = d[c] * ad;
    }
    V ao = as * (one - ad) + ad;
    if constexpr (F == 15 || F == 16) ao = as + ad;
    if constexpr (F == 17 || F == 18 || F == 19) ao = ad;
    V u[3] = {V::splat(0), V::splat(0), V::splat(0)};
    if constexpr (F == 17 || F == 18)
        for (int c = 0; c < 3; ++c) u[c] = D[c] / ad;
    const V M = (u[0] + u[1] + u[2]) / V::splat(3.0f) - (V::splat(0.5f) - lum) * as;

    V r[3];
    for (int c = 0; c < 3; ++c) {
        const V Sc = S[c], Dc = D[c];
        const V E = Sc * (one - ad) + Dc * (one - as);
        const V over = Sc + Dc * (one - as);
        if constexpr (F == 1) r[c] = Sc * (one - ad) + Dc * (one - as) + Sc * Dc;
        else if constexpr (F == 2) r[c] = Sc + Dc - Sc * Dc;
        else if constexpr (F == 3) r[c] = select(Dc * as <= Sc * ad, Dc + Sc * (one - ad), over);
        else if constexpr (F == 4) r[c] = select(Dc * as >= Sc * ad, Dc + Sc * (one - ad), over);
        else if constexpr (F == 5) r[c] = Sc + Dc - two * lesser(Sc * ad, Dc * as);
        else if constexpr (F == 6 || F == 7) r[c] = Sc + Dc - two * Sc * Dc;
        else if constexpr (F == 8 || F == 9) {
            const V test = F == 8 ? two * Dc < ad : two * Sc < as;
            r[c] = select(test, two * Sc * Dc + E, as * ad - two * (ad - Dc) * (as - Sc) + E);
        } else if constexpr (F == 10) {
            const V k = Dc / ad;
            const V low = Dc * (as + (two * Sc - as) * (one - k)) + E;
            const V dark = Dc * (as + (two * Sc - as) * (one - k) * (V::splat(3.0f) - V::splat(8.0f) * k)) + E;
            const V high = Dc * as + (two * Sc - as) * (root(k) * ad - Dc) + E;
            r[c] = select(two * Sc < as, low, select(V::splat(8.0f) * Dc <= ad, dark, high));
        } else if constexpr (F == 11) {
            r[c] = select(Sc * ad + Dc * as >= as * ad, as * ad + E, Dc * as / (one - Sc / as) + E);
        } else if constexpr (F == 12) {
            r[c] = select(Sc * ad + Dc * as <= as * ad, E, as * (Sc * ad + Dc * as - as * ad) / Sc + E);
        } else if constexpr (F == 15) r[c] = Sc + Dc;
        else if constexpr (F == 16) r[c] = Sc + Dc - as * ad;
        else if constexpr (F == 17) r[c] = u[c] + V::splat(1.75f) * as * (M - V::splat(0.5f));
        else if constexpr (F == 18) r[c] = u[c] + V::splat(1.75f) * as * (lum - V::splat(0.5f));
        else if constexpr (F == 19) r[c] = Dc;
        else r[c] = over;
    }
    Straight<V> out;
    out.a = clamp01v(ao);
    // Over an opaque destination ao is exactly 1 and r / ao is r.
    const bool unit = allOne(out.a);
    for (int c = 0; c < 3; ++c) out.c[c] = clamp01v(unit ? r[c] : r[c] / out.a);
    return out;
}

}  // namespace plr
