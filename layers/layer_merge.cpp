#include "layers/layer_merge.h"

#include <algorithm>
#include <cstring>

#include "core/block.h"
#include "core/packed_pixels.h"
#include "core/rect.h"
#include "core/sizes.h"
#include "layers/page_layers.h"
#include "layers/blend_modes.h"
#include "layers/blend_bands.h"
#include "layers/blend_request.h"
#include "layers/layer_options.h"
#include "layers/render.h"

namespace plr {
namespace {

// The part of (x, y, width, height) inside the page, and where it starts in
// the caller's packed buffer.
struct Clip {
    Rect area;  // inside the page
    std::int32_t bufferX = 0, bufferY = 0;
    bool empty() const noexcept { return area.empty(); }
    std::int32_t width() const noexcept { return static_cast<std::int32_t>(area.width()); }
    std::int32_t height() const noexcept { return static_cast<std::int32_t>(area.height()); }
};

// The far edges in 64 bits: x + width may pass the 32-bit range.
Clip clipRequest(const PageLayers& page, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) noexcept {
    Clip c;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + width, page.width);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + height, page.height);
    if (x1 <= x0 || y1 <= y0) return c;
    c.area = {static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), static_cast<std::int32_t>(x1),
              static_cast<std::int32_t>(y1)};
    c.bufferX = static_cast<std::int32_t>(x0 - x);
    c.bufferY = static_cast<std::int32_t>(y0 - y);
    return c;
}

// A packed buffer's row length in channel values, or 0 when it cannot be addressed.
std::int32_t packedRowValues(std::int32_t width) noexcept {
    return width > 0 && width <= 0x1FFFFFFF ? width * 4 : 0;
}

BlendRequest layerRequest(PageLayers& page, std::int32_t index, const LayerRecord& l) noexcept {
    BlendRequest rq;
    rq.source = l.pixels.data();
    rq.sourceRowValues = page.rowValues;
    if (const LayerRecord* mask = maskLayerOf(page, index)) {
        rq.mask = mask->pixels.data();
        rq.maskMode = kModeLayerMask;
    }
    rq.mode = l.mode;
    rq.opacity = l.opacity;
    rq.alphaLayerOpacity = page.alphaLayerOpacity;
    return rq;
}

}  // namespace

void mergeLayer(PageLayers& page, std::int32_t from, std::int32_t to) noexcept {
    const LayerRecord* s = page.pageLayer(from);
    LayerRecord* d = page.pageLayer(to);
    if (!s || !d) return;
    BlendRequest rq = layerRequest(page, from, *s);
    rq.width = page.width;
    rq.height = page.height;
    rq.destination = d->pixels.data();
    rq.destRowValues = page.rowValues;
    rq.sameAlphaMode = s->mode == d->mode && s->mode > kModeUnused;
    blendInBands(rq);
}

void mergeLayerIntoRect(PageLayers& page, std::int32_t index, std::uint16_t* destination, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height) noexcept {
    const LayerRecord* l = page.pageLayer(index);
    const std::int32_t rowValues = packedRowValues(width);
    if (!l || !destination || rowValues == 0) return;
    const Clip c = clipRequest(page, x, y, width, height);
    if (c.empty()) return;
    BlendRequest rq = layerRequest(page, index, *l);
    rq.sourceX = c.area.left;
    rq.sourceY = c.area.top;
    rq.width = c.width();
    rq.height = c.height();
    rq.destination = destination;
    rq.destX = c.bufferX;
    rq.destY = c.bufferY;
    rq.destRowValues = rowValues;
    blendInBands(rq);
}

void mergeRect(PageLayers& page, std::uint16_t* destination, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height) noexcept {
    const std::int32_t rowValues = packedRowValues(width);
    if (!destination || rowValues == 0 || height <= 0) return;
    std::memset(destination, 0, saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 8));
    const Clip c = clipRequest(page, x, y, width, height);
    if (c.empty()) return;
    // The background is copied as stored, not blended.
    const LayerRecord* background = page.pageLayer(1);
    if (background && background->visible == 1) {
        for (std::int32_t j = 0; j < c.height(); ++j)
            std::memcpy(destination + (static_cast<std::ptrdiff_t>(c.bufferY + j) * rowValues + c.bufferX * 4),
                        background->pixels.data() +
                            (static_cast<std::ptrdiff_t>(c.area.top + j) * page.rowValues + std::ptrdiff_t{c.area.left} * 4),
                        static_cast<std::size_t>(c.width()) * 8);
    }
    for (std::int32_t i = 2; i < kLayerSlots; ++i) {
        const LayerRecord* l = page.pageLayer(i);
        if (l && l->visible) mergeLayerIntoRect(page, i, destination, x, y, width, height);
    }
}

// The merged colour of one page pixel: the stack merged into a one-pixel buffer.
std::uint32_t colorAtMerged(PageLayers& page, std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= page.width || y >= page.height) return 0xFFFFFF;
    Block<std::uint16_t> pixel;
    if (!pixel.allocate(4)) return 0;
    mergeRect(page, pixel.data(), x, y, 1, 1);
    return packColorValue(pixel.data());
}

}  // namespace plr
