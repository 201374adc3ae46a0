#pragma once
// The render's composition of one list entry over a chunk of running
// pixels, a vector of pixels at a time. The running result is float,
// straight colour (1.0 = 0xFF00) and alpha (1.0 = 0xFFFF), one array per
// channel, never rounded between entries. The decisions are those of
// stage2Float() in blend_pixel.h, made per lane and merged with selects;
// the composition itself is composeStraightT() (blend_formula.h), so the
// results are those of the scalar rules bit for bit.
//
// Templates only: the SSE2 file (render_compose.cpp) and the AVX2 file
// (render_compose_avx2.cpp) instantiate them with their own vector types
// from anonymous namespaces, so no AVX2-compiled function can stand in for
// an SSE2 one at link time.
#include <cstdint>
#include <cstring>

#include "layers/blend_formula.h"
#include "layers/render_chunk.h"

namespace plr::draw {

// I supplies the vector type V (the formula template's operations), kLanes,
// load(pixels, channels[4]) giving the exact float values of kLanes 16-bit
// RGBA pixels, truncate(v), none(mask), orMask(a, b), andNotMask(a, b)
// (~a & b), loadf(p), storef(p, v) and scaled(v, reciprocal): integer-valued
// v times the double reciprocal, rounded to float, which equals v / scale
// in float for every 16-bit value and every sum of three (the exhaustive
// check is BlendBatch.ScaledLoadsEqualDivision) and spares the divider.
template <class I, int F>
void composeChunkT(const std::uint16_t* src, std::int32_t n, const KernelParams& kp, Running& run, int entry,
                   const std::uint16_t* ahead) noexcept {
    using V = typename I::V;
    constexpr int L = I::kLanes;
    const V zero = V::splat(0.0f), one = V::splat(1.0f);
    const V alphaScale = V::splat(65535.0f);
    constexpr double kPerColour = 1.0 / 65280.0, kPerAlpha = 1.0 / 65535.0, kPerLum = 1.0 / 195840.0;
    const V opacity = V::splat(kp.opacityPlusOne), perStep = V::splat(1.0f / 256.0f);
    const V copyLimit = V::splat(65280.0f);
    const V noLanes = zero;  // an all-false mask
    for (std::int32_t i = 0; i < n; i += L) {
        // A step of the widest kernel is one line of the next chunk.
        if (ahead) __builtin_prefetch(ahead + 4 * static_cast<std::ptrdiff_t>(i));
        bool first = kp.first;
        if (run.useCover) {
            const int cover = run.cover[i / kGroup];
            if (entry < cover) continue;  // covered by an opaque pixel above
            first = first || entry == cover;
        }
        const std::uint16_t* p = src + 4 * static_cast<std::ptrdiff_t>(i);
        alignas(32) std::uint16_t tail[4 * L];
        if (n - i < L) {  // the last pixels, padded with transparent ones that change nothing
            std::memcpy(tail, p, static_cast<std::size_t>(n - i) * 8);
            std::memset(tail + 4 * (n - i), 0, static_cast<std::size_t>(L - (n - i)) * 8);
            p = tail;
        }
        V ch[4];
        I::load(p, ch);
        V A = kp.forceOpaque ? alphaScale : ch[3];
        // (opacity + 1) * a >> 8: the product is below 2^24, exact in float.
        if (kp.scaleAlpha) A = I::truncate(A * opacity * perStep);
        const V active = zero < A;
        // A transparent source changes nothing: passed over before any
        // conversion (the first entry still writes its transparent start).
        if (!first && I::none(active)) continue;
        V s[3];
        for (int c = 0; c < 3; ++c) s[c] = I::scaled(ch[c], kPerColour);
        const V as = I::scaled(A, kPerAlpha);
        if (first) {
            // Over the transparent start: the source pixel itself, or nothing.
            for (int c = 0; c < 3; ++c) I::storef(run.c[c] + i, kp.clears ? zero : select(active, s[c], zero));
            I::storef(run.c[3] + i, kp.clears ? zero : select(active, as, zero));
            continue;
        }

        V d[3], ad = I::loadf(run.c[3] + i);
        for (int c = 0; c < 3; ++c) d[c] = I::loadf(run.c[c] + i);
        const V dstEmpty = ad <= zero;
        const V copy = kp.copyOpaque ? (A >= copyLimit) : noLanes;

        V out[3] = {d[0], d[1], d[2]}, outA = ad;
        if constexpr (F != 19) {  // Texturize3 keeps the destination
            const V need = I::andNotMask(I::orMask(dstEmpty, copy), active);
            if (!I::none(need)) {
                const V lum = I::scaled(ch[0] + ch[1] + ch[2], kPerLum);
                // Over an exactly opaque running result (the common case below
                // a background) the constant 1 stands in for its alpha: the
                // products with it fold away (x * 1 is x in IEEE arithmetic).
                const Straight<V> r = allOne(ad) ? composeStraightT<F>(s, as, lum, d, one)
                                                 : composeStraightT<F>(s, as, lum, d, ad);
                for (int c = 0; c < 3; ++c) out[c] = r.c[c];
                outA = r.a;
            }
        }
        for (int c = 0; c < 3; ++c) {
            V v = select(copy, s[c], out[c]);
            v = select(dstEmpty, kp.clears ? zero : s[c], v);
            I::storef(run.c[c] + i, select(active, v, d[c]));
        }
        V a = select(copy, one, outA);
        a = select(dstEmpty, kp.clears ? zero : as, a);
        I::storef(run.c[3] + i, select(active, a, ad));
    }
}

}  // namespace plr::draw
