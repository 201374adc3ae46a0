#include "layers/blend_alpha.h"

#include <emmintrin.h>

#include "layers/alpha_stage1.h"
#include "layers/blend_lanes.h"
#include "layers/blend_modes.h"
#include "layers/blend_pixel.h"
#include "layers/blend_prefetch.h"
#include "layers/four_pixels_sse2.h"

namespace plr {
namespace {

// Four 32-bit lanes with the operations alpha_stage1.h is written in.
struct I4 {
    __m128i v;
    static I4 splat(std::int32_t x) { return {_mm_set1_epi32(x)}; }
};
inline I4 operator&(I4 a, I4 b) { return {_mm_and_si128(a.v, b.v)}; }
inline I4 operator|(I4 a, I4 b) { return {_mm_or_si128(a.v, b.v)}; }
inline I4 operator^(I4 a, I4 b) { return {_mm_xor_si128(a.v, b.v)}; }
inline I4 operator+(I4 a, I4 b) { return {_mm_add_epi32(a.v, b.v)}; }
inline I4 operator-(I4 a, I4 b) { return {_mm_sub_epi32(a.v, b.v)}; }
inline I4 andNot(I4 m, I4 x) { return {_mm_andnot_si128(m.v, x.v)}; }
inline I4 sel(I4 m, I4 a, I4 b) { return (m & a) | andNot(m, b); }
inline I4 gt(I4 a, std::int32_t k) { return {_mm_cmpgt_epi32(a.v, _mm_set1_epi32(k))}; }
inline I4 lt(I4 a, std::int32_t k) { return {_mm_cmplt_epi32(a.v, _mm_set1_epi32(k))}; }
inline I4 isZero(I4 a) { return {_mm_cmpeq_epi32(a.v, _mm_setzero_si128())}; }
inline I4 minusOrZero(I4 x, I4 y) { return I4{_mm_cmpgt_epi32(x.v, y.v)} & (x - y); }
inline I4 atMostMax(I4 x) { return sel(gt(x, 0xFFFF), I4::splat(0xFFFF), x); }
inline I4 shl(I4 x, int n) { return {_mm_sll_epi32(x.v, _mm_cvtsi32_si128(n))}; }
inline I4 third(I4 sum) { return {four::third(sum.v)}; }

// Shade of two channel values in double, as the scalar rule: above the pivot
// v + (0xFFFF - v) (a - P) / Dl, else v - v (P - a) / Dd, held to 0..0xFFFF
// and truncated. The pivot test picks the numerator and divisor first, so
// each lane makes the one division the scalar rule makes.
inline __m128d shadeHalf(__m128i v, __m128i a, const ShadeParams& p, __m128i upper) {
    const __m128d vd = _mm_cvtepi32_pd(v);
    const __m128d P = _mm_set1_pd(static_cast<double>(p.pivot));
    const __m128d ad = _mm_cvtepi32_pd(a);
    const __m128d m = _mm_castsi128_pd(upper);
    auto pick = [m](__m128d light, __m128d dark) { return _mm_or_pd(_mm_and_pd(m, light), _mm_andnot_pd(m, dark)); };
    const __m128d num = pick(_mm_mul_pd(_mm_sub_pd(_mm_set1_pd(65535.0), vd), _mm_sub_pd(ad, P)),
                             _mm_mul_pd(vd, _mm_sub_pd(P, ad)));
    const __m128d q = _mm_div_pd(num, pick(_mm_set1_pd(p.lighten), _mm_set1_pd(p.darken)));
    const __m128d out = pick(_mm_add_pd(vd, q), _mm_sub_pd(vd, q));
    return _mm_min_pd(_mm_max_pd(out, _mm_setzero_pd()), _mm_set1_pd(65535.0));
}
inline I4 shade(I4 v, I4 a, const ShadeParams& p) {
    const __m128i up = gt(a, p.pivot).v;
    const __m128d lo = shadeHalf(v.v, a.v, p, _mm_unpacklo_epi32(up, up));
    const __m128d hi = shadeHalf(_mm_shuffle_epi32(v.v, 0xEE), _mm_shuffle_epi32(a.v, 0xEE), p, _mm_unpackhi_epi32(up, up));
    return {_mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi))};
}

inline void prefetchAhead(const std::uint16_t* p) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(p) + kBlendPrefetchBytes), _MM_HINT_T0);
}

inline __m128i splat(std::int32_t x) { return _mm_set1_epi32(x); }
inline __m128i isZero(__m128i a) { return _mm_cmpeq_epi32(a, _mm_setzero_si128()); }
using Source4 = AlphaSource<I4>;

// Stage 1 of four pixels: source lanes (R, G, B, a) and, with a Layer Mask,
// the mask pixels.
inline Source4 stage1Four(const __m128i px[4], const std::uint16_t* mk, const AlphaRowParams& st, __m128i O) {
    __m128i a = px[3];
    if (st.mask) a = four::maskedAlpha(mk, a);
    if (st.opacityPlusOne < 256) a = four::withOpacity(a, st.opacityPlusOne);
    const I4 lanes[4] = {{px[0]}, {px[1]}, {px[2]}, {px[3]}};
    return alphaStage1(lanes, I4{a}, st, I4{O});
}

inline void lanesOf(const std::uint16_t* q, __m128i out[4]) {
    const __m128i zero = _mm_setzero_si128();
    __m128i rg, ba;
    four::split(q, rg, ba);
    out[0] = _mm_unpacklo_epi16(rg, zero);
    out[1] = _mm_unpackhi_epi16(rg, zero);
    out[2] = _mm_unpacklo_epi16(ba, zero);
    out[3] = _mm_unpackhi_epi16(ba, zero);
}

// Stage 2 of four pixels as lane masks: a destination whose alpha is (or
// counts as) 0 is cleared or takes the source; otherwise a transparent
// effective source keeps it; the rest is composed in float.
template <int F>
inline void stage2Four(const Source4& p, std::uint16_t* d, const AlphaRowParams& st) {
    __m128i dq[4];
    lanesOf(d, dq);
    const __m128i Ad = _mm_andnot_si128(p.replace.v, dq[3]);
    const __m128i adZero = isZero(Ad), aZero = isZero(p.A.v);
    const __m128i copy = st.clears ? _mm_setzero_si128() : _mm_andnot_si128(aZero, adZero);
    const __m128i keep = _mm_andnot_si128(adZero, aZero);
    // Four kept pixels are not stored again: where the effective source is
    // transparent (Alpha Highlight above its threshold, Alpha Filter of an
    // opaque layer) the destination is only read.
    if (_mm_movemask_epi8(keep) == 0xFFFF) return;
    const __m128i composed = _mm_andnot_si128(_mm_or_si128(adZero, aZero), splat(-1));
    __m128i out[4];
    for (int i = 0; i < 3; ++i) out[i] = _mm_or_si128(_mm_and_si128(copy, p.c[i].v), _mm_and_si128(keep, dq[i]));
    out[3] = _mm_or_si128(_mm_and_si128(copy, p.A.v), _mm_and_si128(keep, dq[3]));
    if (_mm_movemask_epi8(composed) != 0) {
        lanes::Lanes in;
        for (int i = 0; i < 3; ++i) in.src[i] = p.c[i].v, in.dst[i] = dq[i];
        in.srcAlpha = p.A.v;
        in.lum = _mm_add_epi32(_mm_add_epi32(p.c[0].v, p.c[1].v), p.c[2].v);
        in.dstAlpha = dq[3];
        const lanes::LanesOut r = lanes::composeLanes<F>(in);
        for (int i = 0; i < 3; ++i) out[i] = _mm_or_si128(out[i], _mm_and_si128(composed, r.c[i]));
        out[3] = _mm_or_si128(out[3], _mm_and_si128(composed, r.a));
    }
    four::store(d, out[0], out[1], out[2], st.alphaLock ? dq[3] : out[3]);
}

// Layer Mask merged down: its rule hides every source pixel (A = 0 with or
// without the same-alpha-mode switch), so whatever the source, mask plane,
// opacity or alpha lock, the merge clears the destination pixels whose alpha
// is 0 and leaves the rest. Pixels it would not change are not stored, so an
// opaque destination is only read and the source not at all.
void clearTransparentPixels(std::uint16_t* d, std::int32_t n) noexcept {
    const __m128i zero = _mm_setzero_si128();
    std::int32_t x = 0;
    for (; x + 4 <= n; x += 4) {
        prefetchAhead(d + 4 * x);
        __m128i* q = reinterpret_cast<__m128i*>(d + 4 * x);
        const __m128i p01 = _mm_loadu_si128(q), p23 = _mm_loadu_si128(q + 1);
        // All ones across a pixel whose alpha (its fourth value) is 0.
        const __m128i c01 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_cmpeq_epi16(p01, zero), 0xFF), 0xFF);
        const __m128i c23 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_cmpeq_epi16(p23, zero), 0xFF), 0xFF);
        const __m128i lost = _mm_or_si128(_mm_and_si128(c01, p01), _mm_and_si128(c23, p23));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(lost, zero)) == 0xFFFF) continue;
        _mm_storeu_si128(q, _mm_andnot_si128(c01, p01));
        _mm_storeu_si128(q + 1, _mm_andnot_si128(c23, p23));
    }
    for (; x < n; ++x)
        if (d[4 * x + 3] == 0) d[4 * x] = d[4 * x + 1] = d[4 * x + 2] = 0;
}

void layerMaskRows(const BlendRequest& rq) noexcept {
    for (std::int32_t j = 0; j < rq.height; ++j)
        clearTransparentPixels(rq.destination + static_cast<std::ptrdiff_t>(rq.destY + j) * rq.destRowValues +
                                   static_cast<std::ptrdiff_t>(rq.destX) * 4,
                               rq.width);
}

template <int F>
void alphaRows(const BlendRequest& rq, const AlphaRowParams& st, const Stage1Settings& settings) noexcept {
    const __m128i O = splat(static_cast<std::int32_t>(st.alphaLayerOpacity));
    const AlphaRowFn wide = alphaRowPath(F);
    for (std::int32_t j = 0; j < rq.height; ++j) {
        const std::ptrdiff_t so = static_cast<std::ptrdiff_t>(rq.sourceY + j) * rq.sourceRowValues +
                                  static_cast<std::ptrdiff_t>(rq.sourceX) * 4;
        const std::ptrdiff_t dof = static_cast<std::ptrdiff_t>(rq.destY + j) * rq.destRowValues +
                                   static_cast<std::ptrdiff_t>(rq.destX) * 4;
        const std::uint16_t* s = rq.source + so;
        const std::uint16_t* mk = st.mask ? rq.mask + so : nullptr;
        std::uint16_t* d = rq.destination + dof;
        std::int32_t x = wide ? wide(s, mk, d, rq.width, st) : 0;
        for (; x + 4 <= rq.width; x += 4) {
            prefetchAhead(s + 4 * x);
            prefetchAhead(d + 4 * x);
            __m128i px[4];
            lanesOf(s + 4 * x, px);
            stage2Four<F>(stage1Four(px, mk ? mk + 4 * x : nullptr, st, O), d + 4 * x, st);
        }
        // The last pixels of the row one at a time, by the plain rules.
        for (; x < rq.width; ++x)
            stage2Reference(stage1(s + 4 * x, mk ? mk + 4 * x : nullptr, settings), d + 4 * x, rq.alphaLock);
    }
}

}  // namespace

void blendAlphaModes(const BlendRequest& rq, std::int32_t formula, bool clears) noexcept {
    const Stage1Settings settings = stage1SettingsOf(rq);
    const BlendMode* info = blendModeInfo(rq.mode);
    if (!info || rq.mode <= kModeUnused) return;
    if (info->alpha == AlphaRule::Hidden && info->same == SameRule::AsWithout) {
        layerMaskRows(rq);
        return;
    }
    AlphaRowParams st;
    st.rule = info->alpha;
    st.sameRule = info->same;
    st.same = rq.sameAlphaMode && info->same != SameRule::AsWithout;
    st.shade = info->shade;
    st.mask = settings.layerMask;
    st.opacityPlusOne = settings.opacity < 255 ? static_cast<std::uint32_t>(settings.opacity + 1) : 256;
    st.alphaLayerOpacity = rq.alphaLayerOpacity;
    st.alphaLock = rq.alphaLock;
    st.clears = clears;
    // The alpha modes compose as Normal, Multiply (32, 36 and 37 with the
    // switch) or Texturize2 (29, 30).
    if (formula == 1) alphaRows<1>(rq, st, settings);
    else if (formula == kModeTexturize2) alphaRows<kModeTexturize2>(rq, st, settings);
    else alphaRows<0>(rq, st, settings);
}

}  // namespace plr
