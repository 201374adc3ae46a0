#include "layers/blend_batch.h"

#include <emmintrin.h>

#include <array>
#include <utility>

#include "layers/blend_modes.h"

namespace plr {
namespace {

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
inline F4 load(const std::int32_t* p) { return {_mm_cvtepi32_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(p)))}; }
inline void storeTrunc(std::int32_t* p, F4 x) { _mm_store_si128(reinterpret_cast<__m128i*>(p), _mm_cvttps_epi32(x.v)); }

template <int F>
inline void composeLanes(FloatBatch& b, int i) {
    const F4 one = splat(1.0f), two = splat(2.0f), colourScale = splat(65280.0f), alphaScale = splat(65535.0f);
    const F4 as = load(b.srcAlpha + i) / alphaScale;
    const F4 ad = load(b.dstAlpha + i) / alphaScale;
    F4 S[3], D[3];
    for (int c = 0; c < 3; ++c) {
        S[c] = (load(b.src[c] + i) / colourScale) * as;
        D[c] = (load(b.dst[c] + i) / colourScale) * ad;
    }
    F4 ao = as * (one - ad) + ad;
    if constexpr (F == 15 || F == 16) ao = as + ad;
    if constexpr (F == 17 || F == 18 || F == 19) ao = ad;
    F4 u[3] = {splat(0), splat(0), splat(0)};
    if constexpr (F == 17 || F == 18)
        for (int c = 0; c < 3; ++c) u[c] = D[c] / ad;
    const F4 lum = load(b.lum + i) / splat(195840.0f);
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
    for (int c = 0; c < 3; ++c) storeTrunc(b.out[c] + i, clamp4(r[c] / ao) * colourScale);
    storeTrunc(b.out[3] + i, ao * alphaScale);
}

template <int F>
void composeAll(FloatBatch& b) noexcept {
    b.pad();
    for (int i = 0; i < b.count; i += 4) composeLanes<F>(b, i);
}

using ComposeFn = void (*)(FloatBatch&) noexcept;

template <int... F>
constexpr auto makeTable(std::integer_sequence<int, F...>) {
    return std::array<ComposeFn, sizeof...(F)>{&composeAll<F>...};
}

}  // namespace

void composeBatch(FloatBatch& batch, std::int32_t f) noexcept {
    static constexpr auto table = makeTable(std::make_integer_sequence<int, kModeTexturize3 + 1>{});
    table[static_cast<std::size_t>(formulaOf(f))](batch);
}

}  // namespace plr
