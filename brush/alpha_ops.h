#pragma once
// Whole-layer and whole-buffer alpha operations used around painting.
#include <cstdint>

namespace plr {

struct PageBrush;

// alphaLayerOpacity = truncate(percent x 0.01 x 65535), the percentage held to 0..100.
void setAlphaLayerOpacity(PageBrush& page, std::int32_t percent) noexcept;

// Layer operations; a slot without page-sized pixels is left alone.
void setLayerAlpha(PageBrush& page, std::int32_t index, std::uint16_t alpha) noexcept;
void invertLayerAlpha(PageBrush& page, std::int32_t index) noexcept;
// alpha = opacity x alpha >> 8, then opacity 256.
void normalizeLayerAlpha(PageBrush& page, std::int32_t index) noexcept;
// On the current layer every pixel with alpha below 256 becomes the colour
// (each byte x 257, held to 0..255 first) with alpha 0.
void setColorAlpha(PageBrush& page, std::int32_t red, std::int32_t green, std::int32_t blue) noexcept;

// RGBA32 buffers (4 bytes a pixel, rows packed).
void invertAlphaRGBA32(std::uint8_t* rgba, std::size_t pixels) noexcept;
// Pixels whose alpha is 0 get the colour (bytes held to 0..255).
void setColorWhereTransparent(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                              std::int32_t blue) noexcept;
// Every pixel gets the colour; alpha unchanged.
void setColorKeepAlpha(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                       std::int32_t blue) noexcept;
// Alpha 0 wherever red, green and blue equal the key exactly.
void clearAlphaOfColor(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                       std::int32_t blue) noexcept;

}  // namespace plr
