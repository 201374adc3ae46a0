#pragma once
// Eight pixels at a time on processors with AVX2: the colour modes, with or
// without a Layer Mask plane, where neighbouring pixels all need the float
// composition. Same results as the four-pixel SSE2 path and the reference,
// bit for bit.
#include <cstdint>

namespace plr {

struct EightParams {
    bool copyOpaque = false;  // Normal: A >= 0xFF00 is a straight copy, not composed here
    bool alphaLock = false;
    std::uint32_t opacityPlusOne = 256;  // 256: full opacity
};

// Composes groups of eight pixels from the start of s / d (n pixels left in
// the row; mk the Layer Mask pixels beside s, or null) for as long as all
// eight of a group need the float composition. Returns the number of pixels
// done: a multiple of 8, possibly 0.
using EightFn = std::int32_t (*)(const std::uint16_t* s, const std::uint16_t* mk, std::uint16_t* d, std::int32_t n,
                                 const EightParams& p) noexcept;

// The eight-pixel function for composition formula 0..18, or null when the
// processor has no AVX2 or the wide path is switched off
// (setWideBlendEnabled, engine/cpu_kernels.h).
EightFn eightPixelPath(std::int32_t formula) noexcept;

// Defined in the AVX2 file; call only after checking the processor.
EightFn eightPixelFunctionAvx2(std::int32_t formula) noexcept;
// x[i] / scale in float as the AVX2 forms compute it (scale 0xFF00, 0xFFFF or
// 3 * 0xFF00; n a multiple of 8): lets a test hold it to the division.
void quotientsAvx2(const std::int32_t* x, float* out, std::int32_t n, std::int32_t scale) noexcept;

}  // namespace plr
