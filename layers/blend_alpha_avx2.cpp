// The alpha modes eight pixels at a time with AVX2 (compiled with -mavx2
// -mfma, entered only after the processor check): the rules of
// blend_alpha.cpp on 256-bit lanes, composing with the formula template
// of blend_formula.h. Every helper is local to this file.
#include <immintrin.h>

#include "layers/blend_alpha.h"
#include "layers/blend_formula.h"
#include "layers/eight_pixels_avx2.h"
#include "layers/float8_avx2.h"

namespace plr {
namespace {

using simd::F8;

inline __m256i splat(std::int32_t x) { return _mm256_set1_epi32(x); }
// mask ? a : b
inline __m256i sel(__m256i mask, __m256i a, __m256i b) { return _mm256_blendv_epi8(b, a, mask); }
// Lanes hold 16-bit values (or small negatives in lanes a select drops): signed compares are exact.
inline __m256i gt(__m256i a, std::int32_t k) { return _mm256_cmpgt_epi32(a, splat(k)); }
inline __m256i lt(__m256i a, std::int32_t k) { return _mm256_cmpgt_epi32(splat(k), a); }
inline __m256i isZero(__m256i a) { return _mm256_cmpeq_epi32(a, _mm256_setzero_si256()); }
// x > y ? x - y : 0
inline __m256i minusOrZero(__m256i x, __m256i y) {
    return _mm256_and_si256(_mm256_cmpgt_epi32(x, y), _mm256_sub_epi32(x, y));
}
inline __m256i atMostMax(__m256i x) { return _mm256_min_epi32(x, splat(0xFFFF)); }

struct Source8 {
    __m256i c[3];
    __m256i A;
    __m256i replace;
};

// Shade of four channels in double: the same operations as the scalar rule,
// one division a lane (numerator and divisor picked by the pivot test first).
inline __m128i shadeQuarter(__m128i v, __m128i a, const ShadeParams& p) {
    const __m256d vd = _mm256_cvtepi32_pd(v), ad = _mm256_cvtepi32_pd(a);
    const __m256d P = _mm256_set1_pd(static_cast<double>(p.pivot));
    const __m256d up = _mm256_cmp_pd(ad, P, _CMP_GT_OQ);
    const __m256d num = _mm256_blendv_pd(_mm256_mul_pd(vd, _mm256_sub_pd(P, ad)),
                                         _mm256_mul_pd(_mm256_sub_pd(_mm256_set1_pd(65535.0), vd), _mm256_sub_pd(ad, P)), up);
    const __m256d q = _mm256_div_pd(num, _mm256_blendv_pd(_mm256_set1_pd(p.darken), _mm256_set1_pd(p.lighten), up));
    const __m256d out = _mm256_blendv_pd(_mm256_sub_pd(vd, q), _mm256_add_pd(vd, q), up);
    return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(out, _mm256_setzero_pd()), _mm256_set1_pd(65535.0)));
}
inline __m256i shade(__m256i v, __m256i a, const ShadeParams& p) {
    const __m128i lo = shadeQuarter(_mm256_castsi256_si128(v), _mm256_castsi256_si128(a), p);
    const __m128i hi = shadeQuarter(_mm256_extracti128_si256(v, 1), _mm256_extracti128_si256(a, 1), p);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

inline void shaderColour(__m256i c[3], __m256i a) {
    const __m256i low = lt(a, 0x7FFF);
    const __m256i down = _mm256_slli_epi32(_mm256_sub_epi32(splat(0x7FFF), a), 1);
    const __m256i up = _mm256_sub_epi32(_mm256_slli_epi32(a, 1), splat(0xFFFE));
    for (int i = 0; i < 3; ++i)
        c[i] = sel(low, minusOrZero(c[i], down), atMostMax(_mm256_add_epi32(c[i], up)));
}
inline __m256i fade(__m256i a, int shift) {
    return minusOrZero(a, _mm256_slli_epi32(_mm256_sub_epi32(splat(0x7FFF), a), shift));
}
inline __m256i ramp(__m256i a, __m256i O) {
    const __m256i rise = atMostMax(_mm256_slli_epi32(_mm256_sub_epi32(splat(0x23FF), a), 6));
    const __m256i mid = _mm256_sub_epi32(splat(0xFFFF), rise);
    return _mm256_andnot_si256(lt(a, 0x1FFF), sel(lt(a, 0x23FF), mid, O));
}
inline __m256i third(__m256i sum) { return simd::third(sum); }

inline Source8 stage1Eight(const eight::Eight& px, const std::uint16_t* mk, const AlphaRowParams& st, __m256i O) {
    Source8 p;
    p.c[0] = px.c[0], p.c[1] = px.c[1], p.c[2] = px.c[2];
    p.replace = _mm256_setzero_si256();
    __m256i a = px.c[3];
    if (st.mask) a = eight::masked(mk, a);
    if (st.opacityPlusOne < 256) a = eight::withOpacity(a, st.opacityPlusOne);
    p.A = a;
    const __m256i nz = _mm256_xor_si256(isZero(a), splat(-1));
    const __m256i zero = _mm256_setzero_si256(), max = splat(0xFFFF);

    if (st.same) {
        switch (st.sameRule) {
            case SameRule::Replace:
                p.replace = nz;
                break;
            case SameRule::Ramp:
                p.A = _mm256_andnot_si256(lt(a, 0x1FFF), a);
                p.replace = gt(a, 0x23FE);
                break;
            case SameRule::Step:
                p.A = _mm256_andnot_si256(lt(a, 0x1FFF), a);
                p.replace = gt(a, 0x1FFE);
                break;
            case SameRule::Highlight:
                p.replace = gt(a, 0x7F00);
                p.A = _mm256_and_si256(p.replace, a);
                break;
            default:
                break;
        }
        return p;
    }

    if (st.shade.pivot != 0)
        for (__m256i& c : p.c) c = shade(c, a, st.shade);
    switch (st.rule) {
        case AlphaRule::Constant:
            p.A = _mm256_and_si256(nz, O);
            break;
        case AlphaRule::Filter:
            p.c[0] = p.c[1] = p.c[2] = max;
            p.A = _mm256_sub_epi32(max, a);
            break;
        case AlphaRule::BlackOutline: {
            const __m256i outline = _mm256_and_si256(nz, lt(a, 0xFF00));
            for (__m256i& c : p.c) c = _mm256_andnot_si256(outline, c);
            p.A = sel(outline, O, a);
            break;
        }
        case AlphaRule::OutlineTint:
            p.A = _mm256_and_si256(nz, sel(gt(a, 0x2FFE), O, _mm256_sub_epi32(max, a)));
            break;
        case AlphaRule::Invert:
            p.A = _mm256_and_si256(nz, _mm256_sub_epi32(max, a));
            break;
        case AlphaRule::Shader:
            for (__m256i& c : p.c) c = sel(nz, a, c);
            p.A = _mm256_and_si256(nz, O);
            break;
        case AlphaRule::ShaderColor: {
            __m256i shaded[3] = {p.c[0], p.c[1], p.c[2]};
            shaderColour(shaded, a);
            for (int i = 0; i < 3; ++i) p.c[i] = sel(nz, shaded[i], p.c[i]);
            p.A = _mm256_and_si256(nz, O);
            break;
        }
        case AlphaRule::HighlightTex: {
            const __m256i bright = gt(a, 0x7FFE);
            __m256i shaded[3] = {p.c[0], p.c[1], p.c[2]};
            shaderColour(shaded, a);
            for (int i = 0; i < 3; ++i) p.c[i] = sel(bright, shaded[i], p.c[i]);
            p.A = sel(bright, O, fade(a, 1));
            break;
        }
        case AlphaRule::Smooth:
            p.A = _mm256_and_si256(nz, sel(gt(a, 0x7FFE), O, fade(a, 2)));
            break;
        case AlphaRule::Ramp:
            p.A = ramp(a, O);
            break;
        case AlphaRule::Step:
            p.A = _mm256_andnot_si256(lt(a, 0x1FFF), O);
            break;
        case AlphaRule::Highlight:
            p.A = _mm256_andnot_si256(gt(a, 0x7F00), a);
            break;
        case AlphaRule::Hidden:
            p.A = zero;
            break;
        case AlphaRule::Luminance:
            p.A = third(_mm256_add_epi32(_mm256_add_epi32(px.c[0], px.c[1]), px.c[2]));
            p.c[0] = p.c[1] = p.c[2] = max;
            break;
        case AlphaRule::LuminanceInvert:
            p.A = _mm256_sub_epi32(max, third(_mm256_add_epi32(_mm256_add_epi32(px.c[0], px.c[1]), px.c[2])));
            p.c[0] = p.c[1] = p.c[2] = zero;
            break;
        case AlphaRule::None:
            break;
    }
    return p;
}

template <int F>
inline void stage2Eight(const Source8& p, std::uint16_t* d, const AlphaRowParams& st) {
    const eight::Eight dq = eight::load8(d);
    const __m256i Ad = _mm256_andnot_si256(p.replace, dq.c[3]);
    const __m256i adZero = isZero(Ad), aZero = isZero(p.A);
    const __m256i copy = st.clears ? _mm256_setzero_si256() : _mm256_andnot_si256(aZero, adZero);
    const __m256i keep = _mm256_andnot_si256(adZero, aZero);
    const __m256i composed = _mm256_andnot_si256(_mm256_or_si256(adZero, aZero), splat(-1));
    __m256i out[4];
    for (int i = 0; i < 3; ++i)
        out[i] = _mm256_or_si256(_mm256_and_si256(copy, p.c[i]), _mm256_and_si256(keep, dq.c[i]));
    out[3] = _mm256_or_si256(_mm256_and_si256(copy, p.A), _mm256_and_si256(keep, dq.c[3]));
    if (_mm256_movemask_epi8(composed) != 0) {
        const __m256i lum = _mm256_add_epi32(_mm256_add_epi32(p.c[0], p.c[1]), p.c[2]);
        F8 sv[3], dv[3];
        for (int c = 0; c < 3; ++c) {
            sv[c] = quotient(p.c[c], simd::kPerColour8);
            dv[c] = quotient(dq.c[c], simd::kPerColour8);
        }
        const Straight<F8> r = composeStraightT<F>(sv, quotient(p.A, simd::kPerAlpha8),
                                                   quotient(lum, simd::kPerLum8), dv,
                                                   quotient(dq.c[3], simd::kPerAlpha8));
        for (int c = 0; c < 3; ++c)
            out[c] = _mm256_or_si256(
                out[c], _mm256_and_si256(composed, _mm256_cvttps_epi32((r.c[c] * F8::splat(65280.0f)).v)));
        out[3] = _mm256_or_si256(out[3],
                                 _mm256_and_si256(composed, _mm256_cvttps_epi32((r.a * F8::splat(65535.0f)).v)));
    }
    if (st.alphaLock) out[3] = dq.c[3];
    eight::store8(d, out);
}

template <int F>
std::int32_t alphaRowEight(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, std::int32_t n,
                           const AlphaRowParams& p) noexcept {
    const __m256i O = splat(static_cast<std::int32_t>(p.alphaLayerOpacity));
    std::int32_t x = 0;
    for (; x + 8 <= n; x += 8)
        stage2Eight<F>(stage1Eight(eight::load8(s + 4 * x), mk ? mk + 4 * x : nullptr, p, O), d + 4 * x, p);
    return x;
}

}  // namespace

AlphaRowFn alphaRowFunctionAvx2(std::int32_t formula) noexcept {
    if (formula == 0) return &alphaRowEight<0>;
    if (formula == 1) return &alphaRowEight<1>;
    if (formula == 18) return &alphaRowEight<18>;
    return nullptr;
}

}  // namespace plr
