#pragma once
// Plain per-pixel resampling with the kernel table, written for reading:
// each destination channel summed straight from the source with the same
// weights and roundings as ResizeFilterImage, which the tests hold bit-exact
// to it.
#include <cstdint>

namespace plr::reference {

std::int32_t resizeFilterImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                               void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                               std::int32_t bytesPerPixel, std::int32_t filter) noexcept;

}  // namespace plr::reference
