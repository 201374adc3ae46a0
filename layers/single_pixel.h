#pragma once
// Single-pixel reads in page coordinates.
#include <cstdint>

namespace plr {

struct PageLayers;

// Channel 0..3 (red, green, blue, alpha) of the current layer at (x, y); 0
// without a current layer of the page's size or outside the page.
std::uint16_t currentChannelAt(PageLayers& page, std::int32_t x, std::int32_t y, int channel) noexcept;

// Packed RGBA value (red << 24 | green << 16 | blue << 8 | alpha) of a
// page-sized plane, x and y clamped into the page; 0 for a null plane or a
// page without pixels.
std::uint32_t rgbaValueAt(const PageLayers& page, const std::uint16_t* plane, std::int32_t x, std::int32_t y) noexcept;
// Packed colour value (alpha << 24 | red << 16 | green << 8 | blue); 0 for a
// null plane, 0xFFFFFF outside the page.
std::uint32_t colorValueAt(const PageLayers& page, const std::uint16_t* plane, std::int32_t x, std::int32_t y) noexcept;

// The planes the named variants read, or null when they have no page-sized pixels.
const std::uint16_t* surfacePlane(PageLayers& page) noexcept;
const std::uint16_t* tracePlane(PageLayers& page) noexcept;
const std::uint16_t* layerPlane(PageLayers& page, std::int32_t layerIndex) noexcept;

}  // namespace plr
