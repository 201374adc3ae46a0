#pragma once
// Quarter and half turns one pixel at a time, written for reading: the
// yardstick the tiled QuickRotateImage is held to byte for byte.
#include <cstdint>

namespace plr::reference {

// Same arguments and result as imaging_lib::QuickRotateImage (selector 0
// clockwise, 1 half way, 2 anticlockwise; bytesPerPixel 1 .. 8).
std::int32_t quickRotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                              void* dst, std::int32_t dstStride, std::int32_t selector,
                              std::int32_t bytesPerPixel) noexcept;

}  // namespace plr::reference
