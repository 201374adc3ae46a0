#pragma once
// Rendering the page into the host's 24-bit canvas bitmap (blue, green, red
// bytes; rows `stride` bytes apart, negative for a bottom-up bitmap), and the
// flattened colour of one page pixel.
#include <cstdint>

namespace plr {

struct PageLayers;

// Draws the page rectangle (x, y, width, height) at the view's scale. A
// negative x or y becomes 0 and the size is cut at the page's right and
// bottom edges; display pixel (dx, dy), counted from that clipped origin,
// goes to bitmap + dy * stride + dx * 3. Exactly the display extent is
// written, never more. Nothing is drawn without a current layer of the
// page's size.
void render(PageLayers& page, std::uint8_t* bitmap, std::int32_t stride, std::int32_t x, std::int32_t y,
            std::int32_t width, std::int32_t height) noexcept;
// The same drawing, one display pixel at a time with the per-pixel rules as
// written: the yardstick the fast paths are tested against.
void renderReference(PageLayers& page, std::uint8_t* bitmap, std::int32_t stride, std::int32_t x, std::int32_t y,
                     std::int32_t width, std::int32_t height) noexcept;

// Packed colour value (alpha << 24 | red << 16 | green << 8 | blue) of the
// integer flattening of one pixel; 0xFFFFFF outside the page. Raises (a
// failure for the guard) when the one-pixel buffer cannot be had.
std::uint32_t colorAtMerged(PageLayers& page, std::int32_t x, std::int32_t y);

}  // namespace plr
