#pragma once
// Plain versions of the region calls of drawing_fill.h, written for reading
// rather than speed: one pixel at a time from a stack of pixels, with a
// visited byte a pixel. The tests hold the span fill bit-exact to them.
#include <cstdint>

namespace plr::reference {

// Same contract as imaging_lib::FloodFillImage.
std::int32_t floodFillImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::int32_t seedX, std::int32_t seedY, std::uint32_t colour,
                            std::int32_t tolerance);
// Same contract as imaging_lib::GetColorMatchMaskFromImage.
std::int32_t colorMatchMask(const void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::uint8_t* map, std::int32_t mapStride, std::int32_t seedX,
                            std::int32_t seedY, std::int32_t connected, std::int32_t tolerance);

}  // namespace plr::reference
