#pragma once
// The float composition of many pixels at once: pixels that need it are
// gathered into columns (structure of arrays) and composed four at a time
// with SSE2. Every operation is the one composeReference() performs, in the
// same order, so the results are bit-identical (IEEE division and square
// root are exact in both; contraction is off project-wide).
//
// The render can use this too: fill `src*`/`srcAlpha`/`lum` from stage 1 and
// the running float destination into `dst*`, call composeBatchFloat(), and
// read the straight [0, 1] results from `outF`.
#include <emmintrin.h>

#include <cstdint>

namespace plr {

struct FloatBatch {
    static constexpr int kSize = 64;
    int count = 0;
    // Inputs: source colour (16-bit values), effective alpha A, R + G + B,
    // destination colour and alpha (16-bit values).
    alignas(16) std::int32_t src[3][kSize];
    alignas(16) std::int32_t srcAlpha[kSize];
    alignas(16) std::int32_t lum[kSize];
    alignas(16) std::int32_t dst[3][kSize];
    alignas(16) std::int32_t dstAlpha[kSize];
    // Outputs: 16-bit colour (0..0xFF00) and alpha (0..0xFFFF).
    alignas(16) std::int32_t out[4][kSize];
    std::int32_t position[kSize];  // pixel index in the row

    bool full() const noexcept { return count == kSize; }
    void push(std::int32_t pos, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a,
              const std::uint16_t* d) noexcept {
        const int i = count++;
        position[i] = pos;
        src[0][i] = static_cast<std::int32_t>(r);
        src[1][i] = static_cast<std::int32_t>(g);
        src[2][i] = static_cast<std::int32_t>(b);
        srcAlpha[i] = static_cast<std::int32_t>(a);
        lum[i] = static_cast<std::int32_t>(r + g + b);
        dst[0][i] = d[0];
        dst[1][i] = d[1];
        dst[2][i] = d[2];
        dstAlpha[i] = d[3];
    }
    // Fills the lanes past `count` up to a multiple of 4 with a harmless pixel.
    void pad() noexcept {
        for (int i = count; i < ((count + 3) & ~3); ++i) {
            src[0][i] = src[1][i] = src[2][i] = dst[0][i] = dst[1][i] = dst[2][i] = lum[i] = 0;
            srcAlpha[i] = dstAlpha[i] = 0xFFFF;
        }
    }
};

// x / scale computed as float(double(x) * (1.0 / scale)); equal to the float
// quotient for the scales the composition uses (tested exhaustively).
inline float scaledExactly(std::int32_t x, double reciprocal) noexcept {
    return static_cast<float>(static_cast<double>(x) * reciprocal);
}

// Composes batch.count pixels with formula f (0..18; formulaOf() of the
// effective mode) into batch.out.
void composeBatch(FloatBatch& batch, std::int32_t f) noexcept;

}  // namespace plr
