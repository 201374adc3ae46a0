#pragma once
// What the filter calls share: argument checks of a raster, the channel mask
// (bit c keeps channel c filtered; the others are copied from the input) and
// mixing a result with its input.
#include <cstdint>

namespace plr::imaging_lib {

// A raster as the calls receive it: top-row pointer, size, bytes per pixel
// and row stride in bytes.
struct RasterArgs {
    const std::uint8_t* pixels;
    std::int32_t width, height, bytesPerPixel, stride;
};

// Non-null, at least 1 x 1, 1..4 bytes a pixel and a stride that holds a row.
bool validRaster(const RasterArgs& r) noexcept;
inline bool validRaster(const void* p, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) noexcept {
    return validRaster({static_cast<const std::uint8_t*>(p), w, h, bpp, stride});
}

// Both rasters of a two-raster call: `src` of `bpp` bytes a pixel, `dst` of
// `dstBpp`, the same width and height.
inline bool validRasterPair(const void* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
                            const void* dst, std::int32_t dstStride, std::int32_t dstBpp) noexcept {
    return validRaster(src, w, h, bpp, stride) && validRaster(dst, w, h, dstBpp, dstStride);
}

// Runs `body`, which may throw (OpenCV reports failures by exception, work
// memory may be refused): 1 when it ran to its end, 0 otherwise.
template <class F>
std::int32_t attempt(F&& body) noexcept {
    try {
        body();
        return 1;
    } catch (...) {
        return 0;
    }
}

// Channels of `in` whose bit is clear in `channelMask` are copied into `out`
// (same size and pixel layout, own stride).
void keepUnmaskedChannels(const std::uint8_t* in, std::int32_t inStride, std::uint8_t* out, std::int32_t outStride,
                          std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                          std::int32_t channelMask) noexcept;

// out = in + (out - in) * weight for every byte of the masked channels,
// weight 0..1 (0 leaves the input, 1 the result), rounded to nearest.
void mixWithInput(const std::uint8_t* in, std::int32_t inStride, std::uint8_t* out, std::int32_t outStride,
                  std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel, std::int32_t channelMask,
                  double weight) noexcept;

// Colour channels of a pixel of `bytesPerPixel` bytes: 1 for grey, else 3.
inline int colourChannels(std::int32_t bytesPerPixel) noexcept { return bytesPerPixel < 3 ? 1 : 3; }

// Luma of an RGB byte triple, (77 r + 150 g + 29 b + 128) >> 8.
inline int luma(const std::uint8_t* p) noexcept { return (77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8; }

inline std::uint8_t clampToByte(double v) noexcept {
    return static_cast<std::uint8_t>(v <= 0.0 ? 0 : v >= 255.0 ? 255 : static_cast<int>(v + 0.5));
}
inline std::uint8_t clampToByte(int v) noexcept { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace plr::imaging_lib
