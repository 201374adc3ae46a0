#pragma once
// The mixing buffer: a brush-sized square of layer pixels in brush-shape
// coordinates that carries the paint a blending tool picked up. The pick-ups
// refresh it from a page-sized plane under the brush; the dab reads it (and
// writes it back with remix).
#include <cstdint>

namespace plr {

struct PageBrush;

// The page plane a pick-up reads, or null when that source has no page-sized
// pixels: the current layer, a slot, the under-layer or the tracing slot.
const std::uint16_t* surfaceSource(PageBrush& page) noexcept;
const std::uint16_t* layerSource(PageBrush& page, std::int32_t index) noexcept;
const std::uint16_t* underLayerSource(PageBrush& page) noexcept;
const std::uint16_t* traceSource(PageBrush& page) noexcept;

// Copy pick-up: the picture under the brush square mixed with the dab colour
// by amount (0 picture .. 256 colour); keep != 0 keeps the colours of the
// square's parts off the page. Does nothing while blendStrength is 0, without
// a source or without a buffer for the brush size.
void copyPickup(PageBrush& page, std::int32_t x, std::int32_t y, const std::uint16_t* source, std::int32_t amount,
                std::int32_t keep) noexcept;
// Mask pick-up: the mask plane under the square toward the dab colour's level.
void maskPickup(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t amount) noexcept;
// Mix pick-up: the buffer moves toward the picture by amount / 256 through the
// current mix mode.
void mixPickup(PageBrush& page, std::int32_t x, std::int32_t y, const std::uint16_t* source, std::int32_t amount) noexcept;
// Tint of the buffer pixels inside the square toward (red, green, blue) 0..255.
void tintBuffer(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t red, std::int32_t green, std::int32_t blue,
                std::int32_t amount) noexcept;
// Every byte of the buffer set to 0 / to `fill`.
void clearBuffer(PageBrush& page) noexcept;
void fillBuffer(PageBrush& page, std::uint8_t fill) noexcept;
// Filter kinds 289 (grey), 290 (invert), 291 (zero below level), 292 (65280
// above level) over the top-left brushSize square; alpha never changes.
void filterBuffer(PageBrush& page, std::int32_t kind, std::int32_t levelPercent) noexcept;

}  // namespace plr
