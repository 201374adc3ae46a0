#include "layers/single_pixel.h"

#include <algorithm>
#include <cstddef>

#include "core/packed_pixels.h"
#include "layers/page_layers.h"

namespace plr {
namespace {

bool inside(const PageLayers& page, std::int32_t x, std::int32_t y) noexcept {
    return x >= 0 && y >= 0 && x < page.width && y < page.height;
}

const std::uint16_t* pixelAt(const PageLayers& page, const std::uint16_t* plane, std::int32_t x, std::int32_t y) noexcept {
    return plane +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(x)) * 4;
}

}  // namespace

std::uint16_t currentChannelAt(PageLayers& page, std::int32_t x, std::int32_t y, int channel) noexcept {
    const std::uint16_t* plane = surfacePlane(page);
    if (!plane || !inside(page, x, y) || channel < 0 || channel > 3) return 0;
    return pixelAt(page, plane, x, y)[channel];
}

std::uint32_t rgbaValueAt(const PageLayers& page, const std::uint16_t* plane, std::int32_t x, std::int32_t y) noexcept {
    if (!plane || page.width <= 0 || page.height <= 0) return 0;
    return packRGBAValue(pixelAt(page, plane, std::clamp(x, 0, page.width - 1), std::clamp(y, 0, page.height - 1)));
}

std::uint32_t colorValueAt(const PageLayers& page, const std::uint16_t* plane, std::int32_t x, std::int32_t y) noexcept {
    if (!plane) return 0;
    if (!inside(page, x, y)) return 0xFFFFFF;
    return packColorValue(pixelAt(page, plane, x, y));
}

const std::uint16_t* surfacePlane(PageLayers& page) noexcept {
    LayerRecord* l = page.currentPageLayer();
    return l && page.pixelCount() > 0 ? l->pixels.data() : nullptr;
}

const std::uint16_t* tracePlane(PageLayers& page) noexcept {
    LayerRecord* t = page.traceLayer;
    return t && page.pixelCount() > 0 && t->hasPixelsOfSize(page.width, page.height) ? t->pixels.data() : nullptr;
}

const std::uint16_t* layerPlane(PageLayers& page, std::int32_t layerIndex) noexcept {
    LayerRecord* l = page.pageLayer(layerIndex);
    return l && page.pixelCount() > 0 ? l->pixels.data() : nullptr;
}

}  // namespace plr
