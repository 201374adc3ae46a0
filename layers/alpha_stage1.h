#pragma once
// Stage 1 of the alpha modes on a vector of pixels: one text behind the SSE2
// four-pixel path (blend_alpha.cpp) and the AVX2 eight-pixel path
// (blend_alpha_avx2.cpp). Templates only, so the AVX2 file can include it
// without sharing any non-template inline function with SSE2 code.
//
// I is a vector of 32-bit lanes holding 16-bit values (small negatives only
// in lanes a select drops, so signed compares are exact). It supplies
// I::splat(x), & | ^ + - and, found by argument-dependent lookup,
// andNot(m, x) (= ~m & x), sel(m, a, b), gt(x, k), lt(x, k), isZero(x),
// minusOrZero(x, y) (x > y ? x - y : 0), atMostMax(x) (min(x, 0xFFFF)),
// shl(x, n), third(sum) (sum / 3) and shade(v, a, params) (the scalar
// Shade rule in double, lane by lane).
#include "layers/blend_alpha.h"

namespace plr {

template <class I>
struct AlphaSource {
    I c[3];       // effective colour
    I A;          // effective alpha
    I replace;    // all ones where the destination alpha counts as 0
};

namespace alphalanes {

// Alpha Shader Color: below 0x7FFF each channel falls by 2 (0x7FFF - a) (not
// below 0), from there it rises by 2a - 0xFFFE (not above 0xFFFF).
template <class I>
inline void shaderColour(I c[3], I a) {
    const I low = lt(a, 0x7FFF);
    const I down = shl(I::splat(0x7FFF) - a, 1);
    const I up = shl(a, 1) - I::splat(0xFFFE);
    for (int i = 0; i < 3; ++i) c[i] = sel(low, minusOrZero(c[i], down), atMostMax(c[i] + up));
}

// a - 2^shift (0x7FFF - a), not below 0 (used where a < 0x7FFF).
template <class I>
inline I fade(I a, int shift) {
    return minusOrZero(a, shl(I::splat(0x7FFF) - a, shift));
}

// Ramp(a): 0 below 0x1FFF; 0xFFFF - min(0xFFFF, (0x23FF - a) 64) below 0x23FF; O from there.
template <class I>
inline I ramp(I a, I O) {
    const I mid = I::splat(0xFFFF) - atMostMax(shl(I::splat(0x23FF) - a, 6));
    return andNot(lt(a, 0x1FFF), sel(lt(a, 0x23FF), mid, O));
}

}  // namespace alphalanes

// Stage 1 of a vector of pixels: px the source lanes (R, G, B, a), a the
// source alpha after the Layer Mask and the opacity, O alphaLayerOpacity.
template <class I>
inline AlphaSource<I> alphaStage1(const I px[4], I a, const AlphaRowParams& st, I O) {
    using namespace alphalanes;
    AlphaSource<I> p;
    p.c[0] = px[0], p.c[1] = px[1], p.c[2] = px[2];
    p.A = a;
    p.replace = I::splat(0);
    const I nz = isZero(a) ^ I::splat(-1);
    const I zero = I::splat(0), max = I::splat(0xFFFF);

    if (st.same) {
        switch (st.sameRule) {
            case SameRule::Replace:
                p.replace = nz;
                break;
            case SameRule::Ramp:
                p.A = andNot(lt(a, 0x1FFF), a);
                p.replace = gt(a, 0x23FE);
                break;
            case SameRule::Step:
                p.A = andNot(lt(a, 0x1FFF), a);
                p.replace = gt(a, 0x1FFE);
                break;
            case SameRule::Highlight:
                p.replace = gt(a, 0x7F00);
                p.A = p.replace & a;
                break;
            default:
                break;
        }
        return p;
    }

    if (st.shade.pivot != 0)
        for (I& c : p.c) c = shade(c, a, st.shade);
    switch (st.rule) {
        case AlphaRule::Constant:
            p.A = nz & O;
            break;
        case AlphaRule::Filter:
            p.c[0] = p.c[1] = p.c[2] = max;
            p.A = max - a;
            break;
        case AlphaRule::BlackOutline: {
            const I outline = nz & lt(a, 0xFF00);
            for (I& c : p.c) c = andNot(outline, c);
            p.A = sel(outline, O, a);
            break;
        }
        case AlphaRule::OutlineTint:
            p.A = nz & sel(gt(a, 0x2FFE), O, max - a);
            break;
        case AlphaRule::Invert:
            p.A = nz & (max - a);
            break;
        case AlphaRule::Shader:
            for (I& c : p.c) c = sel(nz, a, c);
            p.A = nz & O;
            break;
        case AlphaRule::ShaderColor: {
            I shaded[3] = {p.c[0], p.c[1], p.c[2]};
            shaderColour(shaded, a);
            for (int i = 0; i < 3; ++i) p.c[i] = sel(nz, shaded[i], p.c[i]);
            p.A = nz & O;
            break;
        }
        case AlphaRule::HighlightTex: {
            const I bright = gt(a, 0x7FFE);
            I shaded[3] = {p.c[0], p.c[1], p.c[2]};
            shaderColour(shaded, a);
            for (int i = 0; i < 3; ++i) p.c[i] = sel(bright, shaded[i], p.c[i]);
            p.A = sel(bright, O, fade(a, 1));  // a = 0 fades to 0
            break;
        }
        case AlphaRule::Smooth:
            p.A = nz & sel(gt(a, 0x7FFE), O, fade(a, 2));
            break;
        case AlphaRule::Ramp:
            p.A = ramp(a, O);
            break;
        case AlphaRule::Step:
            p.A = andNot(lt(a, 0x1FFF), O);
            break;
        case AlphaRule::Highlight:
            p.A = andNot(gt(a, 0x7F00), a);
            break;
        case AlphaRule::Hidden:
            p.A = zero;
            break;
        case AlphaRule::Luminance:
            p.A = third(px[0] + px[1] + px[2]);
            p.c[0] = p.c[1] = p.c[2] = max;
            break;
        case AlphaRule::LuminanceInvert:
            p.A = max - third(px[0] + px[1] + px[2]);
            p.c[0] = p.c[1] = p.c[2] = zero;
            break;
        case AlphaRule::None:
            break;
    }
    return p;
}

}  // namespace plr
