#pragma once
// Filters family: blurs, smoothing and the neighbourhood (mean and rank)
// filters. Rasters of 1, 3 or 4 byte channels; two-raster calls read `src`
// and write `dst` of the same size (own strides, no overlap). Every call
// returns 1 on success and 0, leaving its output untouched, for bad
// arguments or when its work memory cannot be had. `channelMask` bit c
// filters channel c; unmasked channels are copied from the input.
#include <cstdint>

namespace plr::imaging_lib {

// Light softening: the 1-2-1 kernel across and down, mixed with the input by
// `amount` percent (0 copies, 100 the full blur; limited to 0..100).
std::int32_t BlurImageLevel(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t amount,
                            std::int32_t channelMask) noexcept;

// Box blur of the square (2 radius + 1)^2 (edges repeated), mixed with the
// input by `weight` (0..1). Radius 0 copies.
std::int32_t BlurImageRadius(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                             double weight, std::int32_t channelMask) noexcept;

// Blur along a path, every channel, bilinear samples about one pixel apart
// (at most 256 along a streak, 48 along an arc or a zoom streak):
//   kind 0 (motion): a straight streak `distance` pixels long through each
//     pixel at `angle` degrees (0 = horizontal, counter-clockwise);
//   kind 1 (radial): an arc of `distance` degrees about the picture centre;
//   kind 2 (zoom): a streak towards the centre, `distance` percent of the
//     way there.
// `softness` 0..100 tapers the samples linearly from the pixel outwards (0
// all equal, 100 the far end weighs nothing), which gives a fading trail.
// A path shorter than a pixel copies.
std::int32_t MotionBlur(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double angle,
                        double distance, std::int32_t softness, std::int32_t kind) noexcept;

// Edge-preserving smoothing of 3-byte RGB: a bilateral filter over the disc of
// `radius` (window 2 radius + 1), colour sigma 4 rangeSigma (levels), space
// sigma radius spaceHundredths / 100. `reserved` is unused.
std::int32_t BilateralFilterImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                                  std::int32_t reserved, double rangeSigma, std::int32_t spaceHundredths) noexcept;

// Removes isolated specks in place: a channel value outside the range of its
// eight neighbours becomes the median of the 3 x 3 square; everything else,
// edges included, is kept.
std::int32_t DespeckleImage(std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::int32_t channelMask) noexcept;

// Dust and scratches: where a channel differs from the median of the square
// of `radius` (window 2 radius + 1) by more than `threshold`, it moves
// `amount` (0..1) of the way to that median.
std::int32_t DustAndScratches(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                              std::int32_t threshold, double amount, std::int32_t channelMask) noexcept;

// The neighbourhood filters over a size x size square (even sizes grow to
// the next odd; size 1 or less copies), edges repeated:
enum class Neighbourhood {
    ArithmeticMean,  // plain mean
    GeometricMean,   // exp(mean(log(v + 1))) - 1: darker, keeps dark detail
    HarmonicMean,    // n / sum(1 / (v + 1)) - 1: removes bright specks
    Maximum,         // largest value (spreads light)
    Minimum,         // smallest value (spreads dark)
    Midpoint,        // (largest + smallest) / 2
    Median,          // middle value: removes specks, keeps edges
};
std::int32_t NeighbourhoodFilter(Neighbourhood kind, const std::uint8_t* src, std::int32_t width,
                                 std::int32_t height, std::int32_t bpp, std::int32_t stride, std::uint8_t* dst,
                                 std::int32_t dstStride, std::int32_t size, std::int32_t channelMask) noexcept;

}  // namespace plr::imaging_lib

namespace plr::imaging_lib {

// The library's names for the neighbourhood filters.
#define PLR_NEIGHBOURHOOD_CALL(name, kind)                                                                       \
    inline std::int32_t name(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp, \
                             std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t size,   \
                             std::int32_t channelMask) noexcept {                                                \
        return NeighbourhoodFilter(Neighbourhood::kind, src, width, height, bpp, stride, dst, dstStride, size,   \
                                   channelMask);                                                                 \
    }
PLR_NEIGHBOURHOOD_CALL(ArithmeticMeanFilter, ArithmeticMean)
PLR_NEIGHBOURHOOD_CALL(GeometricMeanFilter, GeometricMean)
PLR_NEIGHBOURHOOD_CALL(HarmonicMeanFilter, HarmonicMean)
PLR_NEIGHBOURHOOD_CALL(MaximumFilter, Maximum)
PLR_NEIGHBOURHOOD_CALL(MinimumFilter, Minimum)
PLR_NEIGHBOURHOOD_CALL(MidpointFilter, Midpoint)
PLR_NEIGHBOURHOOD_CALL(MedianCutImage, Median)
#undef PLR_NEIGHBOURHOOD_CALL

}  // namespace plr::imaging_lib
