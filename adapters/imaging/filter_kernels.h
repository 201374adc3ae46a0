#pragma once
// The fourteen resampling kernels of ResizeFilterImage, numbered as the
// library numbers them, and the fixed-point weights one axis of a resample
// takes from them. The fast resampler and its plain reference share these
// weights, so they differ only in how they walk the pixels.
#include <cstdint>

#include "core/block.h"

namespace plr::imaging_lib {

struct FilterKernel {
    const char* name;        // the name hosts choose the filter by
    double support;          // the kernel is 0 for |x| >= support (source pixels)
    double (*weight)(double x);
};

constexpr int kFilterKernelCount = 14;
// "Box" 0, "Triangle" 1, "Hamming" 2, "Gaussian" 3, "Bell" 4, "B-Spline" 5,
// "Cubic 1" 6, "Cubic 2" 7, "Lanczos3" 8, "Mitchell" 9, "Sinc" 10,
// "Hermite" 11, "Hanning" 12, "Catrom" 13.
extern const FilterKernel kFilterKernels[kFilterKernelCount];

// Fixed-point weights of one axis resampled from `srcLength` to `dstLength`
// pixels. Destination pixel o is centred on source position
// (o + 0.5) * srcLength / dstLength - 0.5; when shrinking, the kernel is
// widened by srcLength / dstLength so every source pixel is heard. Taps
// that fall outside the source are dropped and the rest renormalised, so
// the weights of every destination pixel add up to exactly 1 << bits (the
// rounding remainder goes to the largest weight). Every destination pixel
// has `taps` weights, starting at source pixel start[o]; weights beyond the
// kernel's reach are 0.
struct AxisWeights {
    std::int32_t taps = 0;
    Block<std::int32_t> start;    // dstLength entries
    Block<std::int32_t> weights;  // dstLength * taps entries
};
// False when the filter number is not 0..13, a length is below 1 or the heap
// says no.
bool buildAxisWeights(std::int32_t filter, std::int32_t srcLength, std::int32_t dstLength, int bits,
                      AxisWeights& out) noexcept;

// Precision of the two passes: horizontal weights carry kHorizontalBits,
// the horizontal result keeps kIntermediateBits fractional bits, vertical
// weights carry kVerticalBits.
constexpr int kHorizontalBits = 14;
constexpr int kIntermediateBits = 8;
constexpr int kVerticalBits = 12;

// The horizontal sum of one pixel channel, kept with kIntermediateBits
// fractional bits (rounded half up; the sum may be negative).
template <class Acc>
constexpr Acc roundIntermediate(Acc sum) noexcept {
    constexpr int shift = kHorizontalBits - kIntermediateBits;
    return (sum + (Acc{1} << (shift - 1))) >> shift;
}
// The vertical sum of intermediates as a channel value, rounded half up and
// clamped to 0..maxValue (negative lobes can overshoot either way).
template <class Acc>
constexpr Acc finishChannel(Acc sum, Acc maxValue) noexcept {
    constexpr int shift = kIntermediateBits + kVerticalBits;
    const Acc v = (sum + (Acc{1} << (shift - 1))) >> shift;
    return v < 0 ? 0 : v > maxValue ? maxValue : v;
}

}  // namespace plr::imaging_lib
