#pragma once
// Whole-mask operations and the mask's exchange with the host: raw 16-bit
// data, the masking amount of one pixel, and a grey RGB24 picture.
#include <cstdint>

namespace plr {

struct MaskPage;

// Every m becomes 0xFFFF - m.
void invertMask(const MaskPage& p) noexcept;
// Every m becomes the grey-to-mask value of (red + green + blue) / 3 (16-bit channels).
void clearMask(const MaskPage& p, std::int32_t red, std::int32_t green, std::int32_t blue) noexcept;
// width * height * 2 bytes out of / into the plane.
void getMaskData16(const MaskPage& p, void* destination) noexcept;
void setMaskData16(const MaskPage& p, const void* source) noexcept;
// The masking amount 0xFFFF - m at (x, y); 0 without a current layer with
// pixels, with the mask disabled, or outside the page.
std::int32_t maskAmountAt(const MaskPage& p, std::int32_t x, std::int32_t y) noexcept;
// Each pixel's three bytes = 255 - (m >> 8).
void saveMask(const MaskPage& p, std::uint8_t* rgb, std::int32_t stride) noexcept;
// g8 = (b0 + b1 + b2) / 3; m = 0xFFFF for g8 = 0, else 0xFF00 - g8 * 256.
// Only pixels inside both the source and the page are written.
void loadMask(const MaskPage& p, const std::uint8_t* rgb, std::int32_t stride, std::int32_t width, std::int32_t height) noexcept;

}  // namespace plr
