#pragma once
// The per-pixel rules of the blend operation, written to read like the mode
// tables. The reference loop, the fast path (stage 1 of the alpha modes) and
// the render (which keeps its running result in float) all call these.
//
//   stage1()          source pixel -> effective colour, alpha A, mode m and
//                     whether the destination alpha counts as 0 ("replace")
//   composeReference() the float composition of one pixel, on straight
//                     colours normalised so that 0xFF00 is 1.0 and alpha
//                     normalised so that 0xFFFF is 1.0
//   stage2Reference() the integer decisions (skip, keep, clear, copy) and the
//                     final truncation for a 16-bit destination pixel
#include <cmath>
#include <cstdint>

#include "layers/blend_modes.h"
#include "layers/blend_request.h"

namespace plr {

// Stage-1 settings that stay the same for a whole request.
struct Stage1Settings {
    std::int32_t mode = 0;
    bool layerMask = false;  // a mask plane is given and the mask mode is 40
    std::int32_t opacity = 256;
    bool sameAlphaMode = false;
    std::uint32_t alphaLayerOpacity = 0xFFFF;
};

// The stage-1 settings of a blend request; opacity held to 0..256.
inline Stage1Settings stage1SettingsOf(const BlendRequest& rq) noexcept {
    Stage1Settings st;
    st.mode = rq.mode;
    st.layerMask = rq.mask && rq.maskMode == kModeLayerMask;
    st.opacity = rq.opacity < 0 ? 0 : rq.opacity > 256 ? 256 : rq.opacity;
    st.sameAlphaMode = rq.sameAlphaMode;
    st.alphaLayerOpacity = rq.alphaLayerOpacity;
    return st;
}

struct SourcePixel {
    std::uint32_t r = 0, g = 0, b = 0, a = 0;  // effective colour and alpha A
    std::int32_t m = 0;                        // effective mode
    bool replace = false;                      // the destination alpha counts as 0
    bool skip = false;                         // the destination is left untouched
};

namespace blendrule {

constexpr std::uint32_t kMax = 0xFFFF;

// Ramp(a): 0 below 0x1FFF, a steep rise up to 0x23FF, O from there.
constexpr std::uint32_t ramp(std::uint32_t a, std::uint32_t o) noexcept {
    if (a < 0x1FFF) return 0;
    if (a < 0x23FF) {
        const std::uint32_t rise = (0x23FF - a) * 64;
        return kMax - (rise < kMax ? rise : kMax);
    }
    return o;
}

// Shade: above the pivot the channel moves toward white, below it toward
// black. The quotient can overshoot the 16-bit range for the 0x8FFE pivot
// (28673 / 28672 above it, 36862 / 30000 below it): the result is clamped.
inline std::uint32_t shade(std::uint32_t v, std::uint32_t a, const ShadeParams& p) noexcept {
    const auto P = static_cast<std::uint32_t>(p.pivot);
    double out;
    if (a > P)
        out = static_cast<double>(v) + static_cast<double>(kMax - v) * static_cast<double>(a - P) / p.lighten;
    else
        out = static_cast<double>(v) - static_cast<double>(v) * static_cast<double>(P - a) / p.darken;
    if (!(out > 0.0)) return 0;
    if (out >= static_cast<double>(kMax)) return kMax;
    return static_cast<std::uint32_t>(out);
}

// Alpha Shader Color: darken by 2 * (0x7FFF - a) below the middle, brighten
// by 2a - 0xFFFE from it up.
inline void shaderColour(SourcePixel& p, std::uint32_t a) noexcept {
    if (a < 0x7FFF) {
        const std::uint32_t k = 2 * (0x7FFF - a);
        for (std::uint32_t* v : {&p.r, &p.g, &p.b}) *v = *v > k ? *v - k : 0;
    } else {
        const std::uint32_t k = 2 * a - 0xFFFE;
        for (std::uint32_t* v : {&p.r, &p.g, &p.b}) *v = *v + k < kMax ? *v + k : kMax;
    }
}

inline std::uint32_t fade(std::uint32_t a, std::uint32_t steps) noexcept {
    const std::uint32_t cut = steps * (0x7FFF - a);
    return a > cut ? a - cut : 0;
}

}  // namespace blendrule

// Stage 1 for one source pixel `px` (R, G, B, a), with the Layer Mask pixel
// `maskPx` (null: none).
inline SourcePixel stage1(const std::uint16_t* px, const std::uint16_t* maskPx, const Stage1Settings& st) noexcept {
    using namespace blendrule;
    SourcePixel p;
    p.r = px[0];
    p.g = px[1];
    p.b = px[2];
    std::uint32_t a = px[3];
    // 1. A transparent source pixel leaves the destination alone in the colour modes.
    if (a == 0 && st.mode <= kModeUnused) {
        p.skip = true;
        return p;
    }
    // 2. Layer Mask: the mask's mean grey scales the alpha; a transparent mask pixel does not mask.
    if (st.layerMask && maskPx && maskPx[3] != 0)
        a = ((std::uint32_t{maskPx[0]} + maskPx[1] + maskPx[2]) / 3) * a >> 16;
    // 3. Opacity.
    if (st.opacity < 255) a = static_cast<std::uint32_t>(st.opacity + 1) * a >> 8;
    // 4. The alpha modes.
    p.a = a;
    p.m = st.mode;
    const BlendMode* info = blendModeInfo(st.mode);
    if (!info || info->alpha == AlphaRule::None) return p;
    const std::uint32_t O = st.alphaLayerOpacity;
    const std::uint32_t mean = (std::uint32_t{px[0]} + px[1] + px[2]) / 3;

    if (st.sameAlphaMode && info->same != SameRule::AsWithout) {
        switch (info->same) {
            case SameRule::Replace:
                p.replace = a != 0;
                break;
            case SameRule::Ramp:
                if (a < 0x1FFF) p.a = 0;
                else if (a >= 0x23FF) p.replace = true;
                else p.m = 1;
                break;
            case SameRule::Step:
                if (a < 0x1FFF) p.a = 0;
                else p.replace = true;
                break;
            case SameRule::Highlight:
                if (a > 0x7F00) p.replace = true;
                else p.a = 0;
                break;
            default:
                break;
        }
        return p;
    }

    if (info->shade.pivot != 0) {
        p.r = shade(p.r, a, info->shade);
        p.g = shade(p.g, a, info->shade);
        p.b = shade(p.b, a, info->shade);
    }
    switch (info->alpha) {
        case AlphaRule::Constant:
            if (a != 0) p.a = O;
            break;
        case AlphaRule::Filter:
            p.r = p.g = p.b = kMax;
            p.a = kMax - a;
            break;
        case AlphaRule::BlackOutline:
            if (a > 0 && a < 0xFF00) {
                p.r = p.g = p.b = 0;
                p.a = O;
            }
            break;
        case AlphaRule::OutlineTint:
            if (a != 0) p.a = a >= 0x2FFF ? O : kMax - a;
            break;
        case AlphaRule::Invert:
            if (a != 0) p.a = kMax - a;
            break;
        case AlphaRule::Shader:
            if (a != 0) {
                p.r = p.g = p.b = a;
                p.a = O;
            }
            break;
        case AlphaRule::ShaderColor:
            if (a != 0) {
                shaderColour(p, a);
                p.a = O;
            }
            p.m = info->composeAs;  // 29 composes as Texturize2
            break;
        case AlphaRule::HighlightTex:
            if (a != 0) {
                if (a >= 0x7FFF) {
                    shaderColour(p, a);
                    p.a = O;
                } else {
                    p.a = fade(a, 2);
                }
                p.m = kModeTexturize2;
            }
            break;
        case AlphaRule::Smooth:
            if (a != 0) p.a = a >= 0x7FFF ? O : fade(a, 4);
            break;
        case AlphaRule::Ramp:
            if (a != 0) p.a = ramp(a, O);
            break;
        case AlphaRule::Step:
            if (a != 0) p.a = a < 0x1FFF ? 0 : O;
            break;
        case AlphaRule::Highlight:
            p.a = a > 0x7F00 ? 0 : a;
            break;
        case AlphaRule::Hidden:
            p.a = 0;
            break;
        case AlphaRule::Luminance:
            p.a = mean;
            p.r = p.g = p.b = kMax;
            break;
        case AlphaRule::LuminanceInvert:
            p.a = kMax - mean;
            p.r = p.g = p.b = 0;
            break;
        case AlphaRule::None:
            break;
    }
    return p;
}

constexpr float kColourScale = 65280.0f;  // 0xFF00 is 1.0
constexpr float kAlphaScale = 65535.0f;   // 0xFFFF is 1.0

constexpr float clamp01(float x) noexcept { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

// Float composition result: straight colour clamped to [0, 1], alpha clamped to [0, 1].
struct ComposedPixel {
    float c[3];
    float a;
};

// One pixel of the float composition for the mode number m. s and d are
// straight colours (1.0 = 0xFF00), as and ad the alphas (1.0 = 0xFFFF, both
// non-zero on this path), lum the source's (R + G + B) / 195840 (Texturize).
inline ComposedPixel composeReference(std::int32_t m, const float s[3], float as, float lum, const float d[3],
                                      float ad) noexcept {
    const std::int32_t f = formulaOf(m);
    float S[3], D[3];
    for (int c = 0; c < 3; ++c) {
        S[c] = s[c] * as;  // premultiplied
        D[c] = d[c] * ad;
    }
    float ao = as * (1.0f - ad) + ad;
    if (f == 15 || f == 16) ao = as + ad;
    if (clearsTransparent(f)) ao = ad;
    float u[3] = {};
    if (f == 17 || f == 18)
        for (int c = 0; c < 3; ++c) u[c] = D[c] / ad;
    const float M = (u[0] + u[1] + u[2]) / 3.0f - (0.5f - lum) * as;

    ComposedPixel out;
    for (int c = 0; c < 3; ++c) {
        const float Sc = S[c], Dc = D[c];
        const float E = Sc * (1.0f - ad) + Dc * (1.0f - as);
        float r;
        switch (f) {
            case 1: r = Sc * (1.0f - ad) + Dc * (1.0f - as) + Sc * Dc; break;
            case 2: r = Sc + Dc - Sc * Dc; break;
            case 3: r = Dc * as <= Sc * ad ? Dc + Sc * (1.0f - ad) : Sc + Dc * (1.0f - as); break;
            case 4: r = Dc * as >= Sc * ad ? Dc + Sc * (1.0f - ad) : Sc + Dc * (1.0f - as); break;
            case 5: {
                const float x = Sc * ad, y = Dc * as;
                r = Sc + Dc - 2.0f * (x < y ? x : y);
                break;
            }
            case 6:
            case 7: r = Sc + Dc - 2.0f * Sc * Dc; break;
            case 8:
                r = 2.0f * Dc < ad ? 2.0f * Sc * Dc + E : as * ad - 2.0f * (ad - Dc) * (as - Sc) + E;
                break;
            case 9:
                r = 2.0f * Sc < as ? 2.0f * Sc * Dc + E : as * ad - 2.0f * (ad - Dc) * (as - Sc) + E;
                break;
            case 10: {
                const float k = Dc / ad;
                if (2.0f * Sc < as) r = Dc * (as + (2.0f * Sc - as) * (1.0f - k)) + E;
                else if (8.0f * Dc <= ad) r = Dc * (as + (2.0f * Sc - as) * (1.0f - k) * (3.0f - 8.0f * k)) + E;
                else r = Dc * as + (2.0f * Sc - as) * (std::sqrt(k) * ad - Dc) + E;
                break;
            }
            case 11:
                r = Sc * ad + Dc * as >= as * ad ? as * ad + E : Dc * as / (1.0f - Sc / as) + E;
                break;
            case 12:
                r = Sc * ad + Dc * as <= as * ad ? E : as * (Sc * ad + Dc * as - as * ad) / Sc + E;
                break;
            case 15: r = Sc + Dc; break;
            case 16: r = Sc + Dc - as * ad; break;
            case 17: r = u[c] + 1.75f * as * (M - 0.5f); break;
            case 18: r = u[c] + 1.75f * as * (lum - 0.5f); break;
            case 19: r = Dc; break;
            default: r = Sc + Dc * (1.0f - as); break;  // Normal, Reflect, Glow
        }
        out.c[c] = r;
    }
    ao = clamp01(ao);
    for (float& c : out.c) c = clamp01(c / ao);
    out.a = ao;
    return out;
}

// Stage 2 for a 16-bit destination pixel d.
inline void stage2Reference(const SourcePixel& p, std::uint16_t* d, bool alphaLock) noexcept {
    const std::uint32_t Ad = p.replace ? 0 : d[3];
    std::uint32_t out[4];
    if (Ad == 0) {
        if (clearsTransparent(p.m) || p.a == 0) out[0] = out[1] = out[2] = out[3] = 0;
        else out[0] = p.r, out[1] = p.g, out[2] = p.b, out[3] = p.a;
    } else if (p.a == 0) {
        return;
    } else if (p.a >= 0xFF00 && p.m == kModeNormal) {
        out[0] = p.r, out[1] = p.g, out[2] = p.b, out[3] = p.a;
    } else if (formulaOf(p.m) == kModeTexturize3) {
        return;  // r = D and ao = ad: the destination as it is, without a round trip through float
    } else {
        const float s[3] = {static_cast<float>(p.r) / kColourScale, static_cast<float>(p.g) / kColourScale,
                            static_cast<float>(p.b) / kColourScale};
        const float dc[3] = {static_cast<float>(d[0]) / kColourScale, static_cast<float>(d[1]) / kColourScale,
                             static_cast<float>(d[2]) / kColourScale};
        const float lum = static_cast<float>(p.r + p.g + p.b) / (3.0f * kColourScale);
        const ComposedPixel c = composeReference(p.m, s, static_cast<float>(p.a) / kAlphaScale, lum, dc,
                                                 static_cast<float>(Ad) / kAlphaScale);
        for (int i = 0; i < 3; ++i) out[i] = static_cast<std::uint32_t>(c.c[i] * kColourScale);
        out[3] = static_cast<std::uint32_t>(c.a * kAlphaScale);
    }
    d[0] = static_cast<std::uint16_t>(out[0]);
    d[1] = static_cast<std::uint16_t>(out[1]);
    d[2] = static_cast<std::uint16_t>(out[2]);
    if (!alphaLock) d[3] = static_cast<std::uint16_t>(out[3]);
}

// Stage 2 onto a float destination: the render's running result, straight
// colour (1.0 = 0xFF00) and alpha (1.0 = 0xFFFF), never rounded between
// layers. The same decisions as stage2Reference(); a straight copy makes
// the running alpha exactly opaque.
inline void stage2Float(const SourcePixel& p, ComposedPixel& running) noexcept {
    const float ad = p.replace ? 0.0f : running.a;
    const float s[3] = {static_cast<float>(p.r) / kColourScale, static_cast<float>(p.g) / kColourScale,
                        static_cast<float>(p.b) / kColourScale};
    if (ad == 0.0f) {
        if (clearsTransparent(p.m) || p.a == 0) running = ComposedPixel{{0.0f, 0.0f, 0.0f}, 0.0f};
        else running = ComposedPixel{{s[0], s[1], s[2]}, static_cast<float>(p.a) / kAlphaScale};
    } else if (p.a == 0) {
        return;
    } else if (p.a >= 0xFF00 && p.m == kModeNormal) {
        running = ComposedPixel{{s[0], s[1], s[2]}, 1.0f};
    } else if (formulaOf(p.m) == kModeTexturize3) {
        return;
    } else {
        const float lum = static_cast<float>(p.r + p.g + p.b) / (3.0f * kColourScale);
        running = composeReference(p.m, s, static_cast<float>(p.a) / kAlphaScale, lum, running.c, ad);
    }
}

}  // namespace plr
