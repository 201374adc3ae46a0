#pragma once
// Normal mode with one source colour over a row of target pixels whose
// coverage is already known: the hot loop of a plain brush. The scalar
// pixel rule here and the AVX2 row kernel give the same bits as the
// reference rule (exact divisions by 65535 and by the result alpha).
#include <cstdint>

#include "brush/dab_divide.h"

namespace plr::dab {

// x / 65535 for x <= 65535 * 65535 with 32-bit arithmetic only.
constexpr std::uint32_t div65535Small(std::uint32_t x) noexcept { return (x + (x >> 16) + 1) >> 16; }

struct NormalRow {
    std::uint32_t s[4];  // source colour and alpha
    bool alphaWritable;  // else the target keeps its alpha
};

// One pixel (coverage y != 0): the standard path's rules for Da = 0 and
// Normal, written without per-pixel division instructions.
inline void normalPixel(const NormalRow& n, std::uint16_t* px, std::uint32_t y) noexcept {
    const std::uint32_t da = px[3];
    std::uint32_t r[3], ra;
    if (da == 0) {
        ra = (y * n.s[3]) >> 16;
        r[0] = n.s[0], r[1] = n.s[1], r[2] = n.s[2];
    } else {
        const std::uint32_t sc = div65535Small(y * n.s[3]);
        ra = div65535Small((65535 - da) * sc) + da;
        const std::uint32_t keep = 65535 - sc;
        for (int c = 0; c < 3; ++c) r[c] = div65535Small(((px[c] * da) >> 16) * keep) + ((sc * n.s[c]) >> 16);
        if (ra != 65535) {
            const double reciprocal = 1.0 / static_cast<double>(ra);
            for (int c = 0; c < 3; ++c) r[c] = divideBy(r[c] * 65535, ra, reciprocal);
        }
    }
    px[0] = static_cast<std::uint16_t>(r[0]);
    px[1] = static_cast<std::uint16_t>(r[1]);
    px[2] = static_cast<std::uint16_t>(r[2]);
    if (n.alphaWritable) px[3] = static_cast<std::uint16_t>(ra);
}

inline void normalRowScalar(const NormalRow& n, std::uint16_t* px, const std::uint32_t* cov,
                            std::int32_t count) noexcept {
    for (std::int32_t i = 0; i < count; ++i)
        if (cov[i] != 0) normalPixel(n, px + static_cast<std::size_t>(i) * 4, cov[i]);
}

// The same with AVX2, two pixels a step; pairs that need the division by
// the result alpha go through normalPixel. Only on processors with AVX2.
void normalRowAvx2(const NormalRow& n, std::uint16_t* px, const std::uint32_t* cov, std::int32_t count) noexcept;

// The row kernel the engine chose at load (engine/cpu_kernels.h defines it
// from its kernel table): the AVX2 form where the processor has it.
using NormalRowFn = void (*)(const NormalRow& n, std::uint16_t* px, const std::uint32_t* cov,
                             std::int32_t count) noexcept;
NormalRowFn normalRowKernel() noexcept;

}  // namespace plr::dab
