#pragma once
// Smudge over a row of target pixels whose coverage is already known, with
// the mixing buffer's pixels beside them (the shape columns contiguous): the
// buffer pixel, pulled toward the primary colour when that is on, is mixed
// into the target by coverage; with remix on the pair is mixed back into the
// buffer. Every step is unsigned 32-bit arithmetic, so the AVX2 row kernel,
// which performs the same steps lane for lane, gives the same bits.
#include <cstdint>

#include "brush/dab_pixel.h"

namespace plr::dab {

struct SmudgeRow {
    bool alphaWritable = true;  // else the target keeps its alpha
    bool remix = false;         // the composed pair goes back into the buffer
    bool primaryOn = false;     // s = (primaryInverse * s + primary) >> 8
    std::uint32_t primaryInverse = 0;
    std::uint32_t primary[4] = {};
    std::uint32_t blendStrength = 0, blendStrengthInverse = 0;
};

// One pixel (coverage y != 0).
inline void smudgePixel(const SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, std::uint32_t y) noexcept {
    u32 s[4] = {mix[0], mix[1], mix[2], mix[3]};
    if (k.primaryOn)
        for (int c = 0; c < 4; ++c) s[c] = (k.primaryInverse * s[c] + k.primary[c]) >> 8;
    const u32 d[4] = {px[0], px[1], px[2], px[3]};
    u32 r[3], ra;
    if (d[3] == 0) {
        ra = (y * s[3]) >> 16;
        r[0] = s[0], r[1] = s[1], r[2] = s[2];
    } else {
        const u32 keep = 65536 - y;
        ra = (((keep * d[3]) >> 8) + ((y * s[3]) >> 8)) >> 8;
        for (int c = 0; c < 3; ++c) r[c] = s[3] != 0 ? (((keep * d[c]) >> 8) + ((y * s[c]) >> 8)) >> 8 : d[c];
    }
    if (k.remix) remixWith(k.blendStrength, k.blendStrengthInverse, mix, s, d);
    px[0] = static_cast<std::uint16_t>(r[0]);
    px[1] = static_cast<std::uint16_t>(r[1]);
    px[2] = static_cast<std::uint16_t>(r[2]);
    if (k.alphaWritable) px[3] = static_cast<std::uint16_t>(ra);
}

inline void smudgeRowScalar(const SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                            std::int32_t count) noexcept {
    for (std::int32_t i = 0; i < count; ++i)
        if (cov[i] != 0) smudgePixel(k, px + static_cast<std::size_t>(i) * 4, mix + static_cast<std::size_t>(i) * 4, cov[i]);
}

// The same with AVX2, two pixels a step. Only on processors with AVX2.
void smudgeRowAvx2(const SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                   std::int32_t count) noexcept;

// The row kernel the engine chose at load (engine/cpu_kernels.h defines it
// from its kernel table): the AVX2 form where the processor has it.
using SmudgeRowFn = void (*)(const SmudgeRow& k, std::uint16_t* px, std::uint16_t* mix, const std::uint32_t* cov,
                             std::int32_t count) noexcept;
SmudgeRowFn smudgeRowKernel() noexcept;

}  // namespace plr::dab
