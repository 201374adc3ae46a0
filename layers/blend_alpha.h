#pragma once
// The blend operation for the alpha modes (21..42), several pixels at a
// time: stage 1 of every alpha rule and the stage-2 decisions (clear, copy,
// keep, compose) as lane masks, with the float composition of the lanes that
// need it. Same results as blendReference(), bit for bit. Four pixels with
// SSE2 (blend_alpha.cpp), eight with AVX2 (blend_alpha_avx2.cpp).
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

// A request's alpha-mode settings as plain values, for the wide row kernels.
struct AlphaRowParams {
    AlphaRule rule = AlphaRule::None;
    SameRule sameRule = SameRule::None;
    bool same = false;  // the switch is set and the mode has a rule of its own for it
    ShadeParams shade;
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

}  // namespace plr
