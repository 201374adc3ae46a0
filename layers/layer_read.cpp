#include "layers/layer_read.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/parallel_rows.h"
#include "core/pixel_rows.h"
#include "layers/page_layers.h"

namespace plr {
namespace {

// A page of size 0 has nothing to read: every read refuses it.
bool pageSized(const PageLayers& page, const LayerRecord* layer) noexcept {
    return layer && page.pixelCount() > 0 && layer->hasPixelsOfSize(page.width, page.height);
}

// Calls row(source row bytes, destination row, pixels) for every page row,
// rows in bands on the engine's threads.
template <class Row>
bool eachRow(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride, Row row) {
    if (!pageSized(page, layer) || !dst) return false;
    const std::size_t w = static_cast<std::size_t>(page.width);
    const auto* first = reinterpret_cast<const std::uint8_t*>(layer->pixels.data());
    const std::ptrdiff_t dstStride = stride;
    parallelRows(page.height, minBandRows(static_cast<std::int64_t>(w) * 8), [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t y = y0; y < y1; ++y)
            row(first + static_cast<std::size_t>(y) * w * 8, dst + static_cast<std::ptrdiff_t>(y) * dstStride, w);
    });
    return true;
}

}  // namespace

bool readRGBA32(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride) {
    return eachRow(page, layer, dst, stride,
                   [](const std::uint8_t* s, std::uint8_t* d, std::size_t w) { narrowRow(s, d, w * 4); });
}

bool readRGB24(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride) {
    return eachRow(page, layer, dst, stride, narrowRowToRGB24);
}

bool readAlphaAsRGB24(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride) {
    return eachRow(page, layer, dst, stride, alphaRowToRGB24);
}

bool readRGBA64(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride) {
    return eachRow(page, layer, dst, stride,
                   [](const std::uint8_t* s, std::uint8_t* d, std::size_t w) { std::memcpy(d, s, w * 8); });
}

bool readRGBA64Rect(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst, std::int32_t stride, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height) {
    if (!pageSized(page, layer) || !dst) return false;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + width, page.width);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + height, page.height);
    if (x1 <= x0 || y1 <= y0) return true;
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 8;
    const std::ptrdiff_t dstStride = stride;
    std::uint8_t* d = dst + static_cast<std::ptrdiff_t>(y0 - y) * dstStride + static_cast<std::ptrdiff_t>(x0 - x) * 8;
    const auto* s = reinterpret_cast<const std::uint8_t*>(layer->pixels.data());
    for (std::int64_t r = y0; r < y1; ++r, d += dstStride)
        std::memcpy(
            d,
            s + (static_cast<std::size_t>(r) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(x0)) * 8,
            bytes);
    return true;
}

bool readLayerData(const PageLayers& page, const LayerRecord* layer, std::uint8_t* dst) {
    if (!pageSized(page, layer) || !dst) return false;
    std::memcpy(dst, layer->pixels.data(), layer->pixels.bytes());
    return true;
}

}  // namespace plr
