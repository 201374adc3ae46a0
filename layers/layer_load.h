#pragma once
// Loads: host pixels into layers, by the 8/16-bit rule and, where asked, the
// coverage of the mask and the paper texture.
//
// Every function here refuses (does nothing) when its target is not a layer
// with pixels of the page's size, or its source is null; the export layer
// reports that as 0. Source strides are in bytes and may be negative.
#include <cstddef>
#include <cstdint>

namespace plr {

struct PageLayers;
struct LayerRecord;

// The core load: the RGBA32 rectangle (x, y, width, height) of `src` into
// slot `layerIndex`, clipped to the layer; a negative x or y skips source
// columns or rows. With `useMaskAndTexture` and a mask enabled or a texture
// present, coverage variant A limits every pixel. The layer's alpha lock
// keeps alpha.
void loadRGBA32Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture);
// The same into a given record (the current layer); true when the record has
// page-sized pixels and the source is non-null.
bool loadRGBA32IntoLayer(PageLayers& page, LayerRecord& layer, const std::uint8_t* src, std::int32_t stride, std::int32_t x,
                         std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture);

// BGR24 into the current layer from the top-left: min(width, page width) x
// min(height, page height) pixels, colour * 256, alpha 0xFFFF.
bool loadBGR24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t width, std::int32_t height);
// Page-sized RGB24 into the colour of the current layer (alpha kept), with
// coverage variant A when asked.
bool loadRGB24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture);
// Page-sized: byte 0 of each RGB24 pixel into the alpha of every pixel whose
// alpha is not 0, with coverage variant B when asked.
bool loadRGB24ToAlpha(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture);

// Page-sized RGBA64 rows (stride in bytes) copied into a slot.
bool setRGBA64Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex);
// Raw copy of width * height * 8 bytes into a slot.
bool setLayerData(PageLayers& page, const std::uint8_t* src, std::int32_t layerIndex);

// True when coverage applies to a load asked to use it: a mask is enabled or
// a texture exists.
bool coverageActive(PageLayers& page, bool useMaskAndTexture) noexcept;

// The covered load's fast form the engine chose at load (engine/cpu_kernels.h
// defines it from its kernel table): blends pixels from the start of the run
// and returns how many (a multiple of four, possibly 0); the caller's
// baseline loop does the rest.
using CoveredBlendFn = std::size_t (*)(const std::uint8_t* s, std::uint16_t* d, const std::uint32_t* cov,
                                       std::size_t n, bool alphaLocked) noexcept;
CoveredBlendFn coveredBlendKernel() noexcept;

}  // namespace plr
