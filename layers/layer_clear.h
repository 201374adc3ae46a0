#pragma once
// Clearing the current layer to one colour, and filling host buffers.
#include <cstdint>

namespace plr {

struct PageLayers;

// Every pixel of the current layer = the four bytes * 256. False without a
// current layer of the page's size.
bool clearLayer(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// Through the mask: mask disabled, as clearLayer. Enabled, per mask value m:
// 0xFFFF sets the four bytes * 256; 0 < m < 0xFFFF blends the colour with
// coverage m (core/coverage.h) and makes the pixel opaque (0xFFFF); 0 leaves
// the pixel.
void clearMasked(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// Mask disabled: clearLayer. Enabled: the colour as a page-sized RGBA32
// buffer through the core load with mask and texture. Raises EngineFailure
// when that buffer cannot be allocated (run it under the guard); false
// without a current layer of the page's size.
bool clearMaskedAlpha(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// Fill a width x height host buffer (stride in bytes, may be negative).
// False for a null buffer or a negative size.
bool fillRGBA64(std::uint8_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height, std::uint16_t r,
                std::uint16_t g, std::uint16_t b, std::uint16_t a);
bool fillRGBA32(std::uint8_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height, std::uint8_t r,
                std::uint8_t g, std::uint8_t b, std::uint8_t a);

}  // namespace plr
