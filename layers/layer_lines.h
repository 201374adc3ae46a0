#pragma once
// Run-length lines of a layer row and of a mask row (the host's document
// format for layers and the mask). Rows are page rows 0..height - 1; any other
// row, a null buffer, or a missing plane gives 0 and touches nothing.
#include <cstddef>
#include <cstdint>

namespace plr {

struct PageLayers;

// Bytes written (RGBA32 runs of the page's width).
std::size_t getLayerLineRuns(PageLayers& page, std::uint8_t* dst, std::int32_t layerIndex, std::int32_t row) noexcept;
// Bytes read; decodes width pixels into the row (see decodeRGBA32Runs).
std::size_t putLayerLineRuns(PageLayers& page, const std::uint8_t* src, std::int32_t layerIndex, std::int32_t row) noexcept;
// Bytes written (G8 runs).
std::size_t getMaskLineRuns(PageLayers& page, std::uint8_t* dst, std::int32_t row) noexcept;
// Bytes read; decodes width values into the mask row.
std::size_t putMaskLineRuns(PageLayers& page, const std::uint8_t* src, std::int32_t row) noexcept;

}  // namespace plr
