#pragma once
// Plain per-pixel versions of the page loops, written for reading rather than
// speed: each pixel decided with one if/else per rule. The
// differential tests hold every fast loop bit-exact to these.
#include <cstdint>

#include "core/buffer_convert.h"

namespace plr {
struct PageLayers;
}

namespace plr::reference {

// Coverage of one page pixel, variants A and B, from the optional texture
// byte and mask value.
std::uint32_t coverageA(const std::uint8_t* texture, const std::uint16_t* mask) noexcept;
std::uint32_t coverageB(const std::uint8_t* texture, const std::uint16_t* mask) noexcept;
std::uint16_t blend(std::uint8_t s, std::uint16_t d, std::uint32_t f) noexcept;

void loadRGBA32Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture);
void loadRGB24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture);
void loadBGR24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t width, std::int32_t height);
void loadRGB24ToAlpha(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture);
void clearMasked(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// Page-sized reads of a slot (RGBA32, RGB24, alpha as RGB24 grey).
void readLayer(const PageLayers& page, std::int32_t layerIndex, Narrow to, bool alphaAsGrey, std::uint8_t* dst,
               std::int32_t stride);
void convertRGBA64Block(Narrow to, const std::uint8_t* src, std::int32_t srcStride, std::uint8_t* dst,
                        std::int32_t dstStride, std::int32_t width, std::int32_t height);

}  // namespace plr::reference
