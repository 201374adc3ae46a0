// The alpha modes eight pixels at a time with AVX2 (compiled with -mavx2
// -mfma, entered only after the processor check): stage 1 from the template
// of alpha_stage1.h, composing with the formula template of
// blend_formula.h. Every helper is local to this file.
#include <immintrin.h>

#include "layers/alpha_stage1.h"
#include "layers/blend_alpha.h"
#include "layers/blend_formula.h"
#include "layers/blend_prefetch.h"
#include "layers/eight_pixels_avx2.h"
#include "layers/float8_avx2.h"

namespace plr {
namespace {

using simd::F8;

inline __m256i splat(std::int32_t x) { return _mm256_set1_epi32(x); }
inline __m256i isZero(__m256i a) { return _mm256_cmpeq_epi32(a, _mm256_setzero_si256()); }

// Eight 32-bit lanes with the operations alpha_stage1.h is written in.
struct I8 {
    __m256i v;
    static I8 splat(std::int32_t x) { return {_mm256_set1_epi32(x)}; }
};
inline I8 operator&(I8 a, I8 b) { return {_mm256_and_si256(a.v, b.v)}; }
inline I8 operator|(I8 a, I8 b) { return {_mm256_or_si256(a.v, b.v)}; }
inline I8 operator^(I8 a, I8 b) { return {_mm256_xor_si256(a.v, b.v)}; }
inline I8 operator+(I8 a, I8 b) { return {_mm256_add_epi32(a.v, b.v)}; }
inline I8 operator-(I8 a, I8 b) { return {_mm256_sub_epi32(a.v, b.v)}; }
inline I8 andNot(I8 m, I8 x) { return {_mm256_andnot_si256(m.v, x.v)}; }
inline I8 sel(I8 m, I8 a, I8 b) { return {_mm256_blendv_epi8(b.v, a.v, m.v)}; }
inline I8 gt(I8 a, std::int32_t k) { return {_mm256_cmpgt_epi32(a.v, _mm256_set1_epi32(k))}; }
inline I8 lt(I8 a, std::int32_t k) { return {_mm256_cmpgt_epi32(_mm256_set1_epi32(k), a.v)}; }
inline I8 isZero(I8 a) { return {isZero(a.v)}; }
inline I8 minusOrZero(I8 x, I8 y) { return I8{_mm256_cmpgt_epi32(x.v, y.v)} & (x - y); }
inline I8 atMostMax(I8 x) { return {_mm256_min_epi32(x.v, _mm256_set1_epi32(0xFFFF))}; }
inline I8 shl(I8 x, int n) { return {_mm256_sll_epi32(x.v, _mm_cvtsi32_si128(n))}; }
inline I8 third(I8 sum) { return {simd::third(sum.v)}; }

// Shade of four channel values in double: the same operations as the scalar
// rule, one division a lane (numerator and divisor picked by the pivot test first).
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
inline I8 shade(I8 v, I8 a, const ShadeParams& p) {
    const __m128i lo = shadeQuarter(_mm256_castsi256_si128(v.v), _mm256_castsi256_si128(a.v), p);
    const __m128i hi = shadeQuarter(_mm256_extracti128_si256(v.v, 1), _mm256_extracti128_si256(a.v, 1), p);
    return {_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1)};
}

inline void prefetchAhead(const std::uint16_t* p) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(p) + kBlendPrefetchBytes), _MM_HINT_T0);
}

using Source8 = AlphaSource<I8>;

inline Source8 stage1Eight(const eight::Eight& px, const std::uint16_t* mk, const AlphaRowParams& st, __m256i O) {
    __m256i a = px.c[3];
    if (st.mask) a = eight::masked(mk, a);
    if (st.opacityPlusOne < 256) a = eight::withOpacity(a, st.opacityPlusOne);
    const I8 lanes[4] = {{px.c[0]}, {px.c[1]}, {px.c[2]}, {px.c[3]}};
    return alphaStage1(lanes, I8{a}, st, I8{O});
}

template <int F>
inline void stage2Eight(const Source8& p, std::uint16_t* d, const AlphaRowParams& st) {
    const eight::Eight dq = eight::load8(d);
    const __m256i Ad = _mm256_andnot_si256(p.replace.v, dq.c[3]);
    const __m256i adZero = isZero(Ad), aZero = isZero(p.A.v);
    const __m256i copy = st.clears ? _mm256_setzero_si256() : _mm256_andnot_si256(aZero, adZero);
    const __m256i keep = _mm256_andnot_si256(adZero, aZero);
    if (_mm256_movemask_epi8(keep) == -1) return;  // eight kept pixels are not stored again
    const __m256i composed = _mm256_andnot_si256(_mm256_or_si256(adZero, aZero), splat(-1));
    __m256i out[4];
    for (int i = 0; i < 3; ++i)
        out[i] = _mm256_or_si256(_mm256_and_si256(copy, p.c[i].v), _mm256_and_si256(keep, dq.c[i]));
    out[3] = _mm256_or_si256(_mm256_and_si256(copy, p.A.v), _mm256_and_si256(keep, dq.c[3]));
    if (_mm256_movemask_epi8(composed) != 0) {
        const __m256i lum = _mm256_add_epi32(_mm256_add_epi32(p.c[0].v, p.c[1].v), p.c[2].v);
        F8 sv[3], dv[3];
        for (int c = 0; c < 3; ++c) {
            sv[c] = quotient(p.c[c].v, simd::kPerColour8);
            dv[c] = quotient(dq.c[c], simd::kPerColour8);
        }
        const Straight<F8> r = composeStraightT<F>(sv, quotient(p.A.v, simd::kPerAlpha8),
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
    for (; x + 8 <= n; x += 8) {
        // Eight pixels are one line of each plane.
        prefetchAhead(s + 4 * x);
        prefetchAhead(d + 4 * x);
        stage2Eight<F>(stage1Eight(eight::load8(s + 4 * x), mk ? mk + 4 * x : nullptr, p, O), d + 4 * x, p);
    }
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
