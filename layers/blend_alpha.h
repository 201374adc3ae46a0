#pragma once
// The blend operation for the alpha modes (21..42), several pixels at a
// time: stage 1 of every alpha rule and the stage-2 decisions (clear, copy,
// keep, compose) as lane masks, with the float composition of the lanes that
// need it. Same results as blendReference(), bit for bit. Four pixels with
// SSE2 (blend_alpha.cpp), eight with AVX2 (blend_alpha_avx2.cpp).
#include <bit>
#include <cstdint>

#include "layers/blend_modes.h"
#include "layers/blend_request.h"

namespace plr {

// How far ahead of the pixels in hand the alpha-mode row loops ask for the
// source and destination lines: they wait on memory, and the hardware
// prefetcher alone keeps too few lines in flight for two streams (2 KiB
// measured best on 4096-pixel rows, one thread).
constexpr std::uintptr_t kAlphaPrefetchBytes = 2048;

// rq.mode must be an alpha mode (21..42); formula and clears are those of
// its effective mode (formulaOf(), clearsTransparent()).
void blendAlphaModes(const BlendRequest& rq, std::int32_t formula, bool clears) noexcept;

// A mode's Shade constants as lane values (the divisors are whole numbers).
struct ShadeConstants {
    std::int32_t pivot = 0;  // 0: no shading
    std::int32_t lighten = 1, darken = 1;
    std::int32_t lightenReciprocal = 0, darkenReciprocal = 0;  // the bits of float(1 / divisor)
};
inline ShadeConstants shadeConstantsOf(const ShadeParams& p) noexcept {
    if (p.pivot == 0) return {};
    const auto bits = [](double d) { return std::bit_cast<std::int32_t>(static_cast<float>(1.0 / d)); };
    return {p.pivot, static_cast<std::int32_t>(p.lighten), static_cast<std::int32_t>(p.darken), bits(p.lighten),
            bits(p.darken)};
}

// A request's alpha-mode settings as plain values, for the wide row kernels.
struct AlphaRowParams {
    AlphaRule rule = AlphaRule::None;
    SameRule sameRule = SameRule::None;
    bool same = false;  // the switch is set and the mode has a rule of its own for it
    ShadeConstants shade;
    bool mask = false;  // mk is given: a Layer Mask scales the alpha
    std::uint32_t opacityPlusOne = 256;  // 256: full opacity
    std::uint32_t alphaLayerOpacity = 0xFFFF;
    bool alphaLock = false;
    bool clears = false;  // the effective mode clears a transparent destination
};

// Blends groups of eight pixels from the start of a row (n pixels; mk the
// Layer Mask pixels beside s, or null); returns how many it did (n rounded
// down to a multiple of 8).
using AlphaRowFn = std::int32_t (*)(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d,
                                    std::int32_t n, const AlphaRowParams& p) noexcept;

// The wide row kernel for composition formula 0, 1 or 18, or null when the
// processor has no AVX2 or the wide path is switched off (engine/cpu_kernels.h).
AlphaRowFn alphaRowPath(std::int32_t formula) noexcept;
// Defined in the AVX2 file; call only after checking the processor.
AlphaRowFn alphaRowFunctionAvx2(std::int32_t formula) noexcept;

// The Shade rule of the row kernels (in integers) on n channel values v
// under the alphas a, four lanes at a time (n a multiple of 4), and eight
// with AVX2 (n a multiple of 8; call only after checking the processor):
// lets a test hold them against blendrule::shade() on every input.
void shadeValues(const std::int32_t* v, const std::int32_t* a, std::int32_t* out, std::int32_t n,
                 const ShadeConstants& k) noexcept;
void shadeValuesAvx2(const std::int32_t* v, const std::int32_t* a, std::int32_t* out, std::int32_t n,
                     const ShadeConstants& k) noexcept;

}  // namespace plr
