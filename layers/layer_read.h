#pragma once
// Reads: layer pixels out to host buffers, by the high-byte rule.
//
// `layer` is a slot already resolved by the caller (Page::pageLayer or
// currentPageLayer); null, a layer not of the page's
// size, a page without pixels or a null destination makes a function do
// nothing and answer false. Destination
// strides are in bytes and may be negative; page-sized reads write `height`
// rows of the page's width.
#include <cstdint>

namespace plr {

struct PageLayers;
struct LayerRecord;

bool readRGBA32(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride);
bool readRGB24(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride);
// Each of the three bytes = alpha >> 8.
bool readAlphaAsRGB24(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride);
bool readRGBA64(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride);
// Rows y..y + height - 1, pixels x..x + width - 1 into consecutive rows of
// `dst`. Destination pixel (c, r) always stands for layer pixel (x + c, y + r);
// the part of the rectangle outside the layer is not read and its destination
// pixels are left as they were.
bool readRGBA64Rect(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height);
// Raw copy of width * height * 8 bytes.
bool readLayerData(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst);

}  // namespace plr
