#pragma once
// The one inverse-mapping sampler every geometric effect shares: for each
// destination pixel a formula names the source position it shows, and the
// source is read there bilinearly. An effect is only its formula.
//
// Positions are pixel centres (0, 0 is the top-left pixel). They are taken
// to 1/32 pixel (nearest, ties to even) and the four neighbours weighted by
// 15-bit weights that sum to exactly 1, rounded to nearest: the fast path
// (OpenCV's remap, in bands) and the plain reference give the same bytes.
// Pixels are 4 bytes, one per channel.
#include <cstdint>

namespace plr::imaging_lib {

// What a neighbour beyond the source reads.
enum class SampleEdge : std::int32_t {
    Fill = 0,     // the fill colour
    Wrap = 1,     // the picture tiles
    Nearest = 2,  // the nearest edge pixel
    Mirror = 3,   // the picture mirrored at its edges (edge pixels repeated)
};

// Writes into xs, ys the source positions of destination row y, pixels
// 0 .. n - 1. Must not allocate.
using InverseRow = void (*)(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n);

struct InverseMap {
    InverseRow row = nullptr;
    const void* context = nullptr;
};

struct SampleSettings {
    SampleEdge edge = SampleEdge::Fill;
    std::uint32_t fill = 0;   // byte 0 into channel 0
    bool keepAlpha = false;   // channel 3 of the destination keeps its bytes
    bool skipUnmapped = false;  // a NaN source x leaves that destination pixel as it is
};

// Samples `src` (width x height) into `dst` of the same size through `map`.
// `src` and `dst` must not overlap (copy first to work in place). Fails for
// null rasters, sizes below 1, short strides or when work memory is short.
std::int32_t InverseMapImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                             std::uint8_t* dst, std::int32_t dstStride, InverseMap map,
                             const SampleSettings& settings) noexcept;

// The same, one pixel at a time in plain code: the yardstick of the above.
std::int32_t InverseMapImageReference(const std::uint8_t* src, std::int32_t width, std::int32_t height,
                                      std::int32_t srcStride, std::uint8_t* dst, std::int32_t dstStride,
                                      InverseMap map, const SampleSettings& settings) noexcept;

// The effects' in-place form: copies `pixels` aside and samples the copy
// back into them.
std::int32_t InverseMapInPlace(std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t stride,
                               InverseMap map, const SampleSettings& settings) noexcept;

}  // namespace plr::imaging_lib
