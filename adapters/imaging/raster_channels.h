#pragma once
// Raster family: single channels in and out of interleaved pixels, channel
// order and look-up tables. Pixels of `bytesPerPixel` bytes (1 to 4) hold
// one byte per channel, channel 0 first; strides are in bytes. Every call
// fails (0, nothing written) for null rasters, sizes below 1, a channel out
// of range or short strides.
#include <cstdint>

namespace plr::imaging_lib {

// Copies channel `channel` of every pixel into the one-byte plane.
std::int32_t SplitImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                        std::int32_t srcStride, std::int32_t channel, std::uint8_t* plane,
                        std::int32_t planeStride) noexcept;

// Writes the plane into every channel of `dst` whose bit is set in
// `channelMask` (bit 0 = channel 0); other channels keep their bytes.
std::int32_t CombineImageChannels(const std::uint8_t* plane, std::int32_t width, std::int32_t height,
                                  std::int32_t planeStride, void* dst, std::int32_t bytesPerPixel,
                                  std::int32_t dstStride, std::uint32_t channelMask) noexcept;

// Reorders the channels of every pixel in place: new channel c = old
// channel order[c]. `order` holds bytesPerPixel entries, each a channel.
std::int32_t ReorderImageChannels(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                  std::int32_t stride, const std::int32_t* order) noexcept;

// Maps channels 0..3 of 3- or 4-byte pixels (1-byte pixels: channel 0)
// through 256-byte tables in place; a null table leaves its channel as it is.
std::int32_t ApplyLUTsToImage40(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                std::int32_t stride, const std::uint8_t* lut0, const std::uint8_t* lut1,
                                const std::uint8_t* lut2, const std::uint8_t* lut3) noexcept;

}  // namespace plr::imaging_lib
