#pragma once
// Merging layers: one onto another, one onto a packed buffer, and flattening
// the visible stack into a packed buffer. Packed buffers hold rows of
// width x 4 channel values of the rectangle.
#include <cstdint>

namespace plr {

struct PageLayers;

// Slot `from` onto slot `to` over the whole page, with `from`'s mode,
// opacity and mask layer, no alpha lock; the same-alpha-mode switch is set
// when both have the same alpha mode.
void mergeLayer(PageLayers& page, std::int32_t from, std::int32_t to) noexcept;
// The rectangle (x, y, width, height) of a slot onto `destination`, whose
// first pixel meets the rectangle's top-left corner. Parts of the rectangle
// outside the page take no part.
void mergeLayerIntoRect(PageLayers& page, std::int32_t index, std::uint16_t* destination, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height) noexcept;
// Flattens the rectangle: cleared, slot 1 copied when its visible flag is
// exactly 1, then every visible slot 2..63 merged in order.
void mergeRect(PageLayers& page, std::uint16_t* destination, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height) noexcept;

}  // namespace plr
