#include "brush/paint_layer.h"

#include <algorithm>
#include <cstring>

#include "adapters/imaging/filters_blur_plane.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "brush/page_brush.h"
#include "layers/blend_modes.h"
#include "layers/blend_bands.h"
#include "layers/blend_request.h"
#include "layers/layer_options.h"

namespace plr {
namespace {

LayerRecord* paintPixels(PageBrush& page) noexcept {
    return page.paintLayer.hasPixelsOfSize(page.width, page.height) ? &page.paintLayer : nullptr;
}

void emptyBounds(PageBrush& page) noexcept { page.paintLayer.bounds = Rect{page.width, page.height, 0, 0}; }

// The bounds held inside the page.
Rect clippedBounds(const PageBrush& page) noexcept { return clipToPage(page.paintLayer.bounds, page.width, page.height); }

}  // namespace

std::int32_t createPaintLayer(PageBrush& page, std::int32_t opacityPercent, const char* modeName) {
    LayerRecord& l = page.paintLayer;
    if (!paintPixels(page)) {
        l.pixels.reset();
        need(l.pixels.allocate(saturatingProduct(page.pixelCount(), 4)));
        l.width = page.width;
        l.height = page.height;
        l.rowValues = page.rowValues;
        l.bounds = Rect{0, 0, page.width, page.height};
        clearPaintLayer(page);
    }
    if (modeName && std::strlen(modeName) < sizeof(l.modeName)) std::strcpy(l.modeName, modeName);
    l.visible = 1;
    l.alphaLock = 0;
    l.opacity = opacityFromPercent(opacityPercent);
    l.mode = blendModeNumber(modeName);
    return l.mode;
}

void clearPaintLayer(PageBrush& page) noexcept {
    LayerRecord* l = paintPixels(page);
    if (!l) return;
    std::memset(l->pixels.data(), 0, l->pixels.bytes());
    emptyBounds(page);
}

void clearPaintLayerOld(PageBrush& page) noexcept {
    LayerRecord* l = paintPixels(page);
    if (!l) return;
    std::memset(l->pixels.data(), 0xFF, l->pixels.bytes());
    const Rect b = clippedBounds(page);
    for (std::int32_t y = b.top; y < b.bottom && !b.empty(); ++y)
        std::memset(l->pixels.data() + static_cast<std::size_t>(y) * page.rowValues + std::size_t{4} * b.left, 0,
                    static_cast<std::size_t>(b.width()) * 8);
    emptyBounds(page);
}

void deletePaintLayer(PageBrush& page) noexcept { page.paintLayer.pixels.reset(); }

void mergePaintLayer(PageBrush& page, std::int32_t target) noexcept {
    LayerRecord* paint = paintPixels(page);
    LayerRecord* to = page.pageLayer(target);
    if (!paint || !to) return;
    const Rect b = clippedBounds(page);
    if (!b.empty()) {
        BlendRequest rq;
        rq.source = paint->pixels.data();
        rq.sourceX = b.left;
        rq.sourceY = b.top;
        rq.width = static_cast<std::int32_t>(b.width());
        rq.height = static_cast<std::int32_t>(b.height());
        rq.sourceRowValues = page.rowValues;
        rq.destination = to->pixels.data();
        rq.destX = b.left;
        rq.destY = b.top;
        rq.destRowValues = page.rowValues;
        rq.mode = paint->mode;
        rq.opacity = paint->opacity;
        rq.alphaLock = page.currentLayer && page.currentLayer->alphaLock;
        rq.alphaLayerOpacity = page.alphaLayerOpacity;
        blendInBands(rq);
    }
    clearPaintLayer(page);
}

void blurPaintLayerAlpha(PageBrush& page) {
    LayerRecord* l = paintPixels(page);
    if (!l) return;
    const std::size_t n = page.pixelCount();
    if (n == 0) return;
    Block<std::uint8_t> alpha, blurred;
    need(alpha.allocate(n));
    need(blurred.allocate(n));
    std::uint16_t* px = l->pixels.data();
    std::uint8_t* a = alpha.data();
    for (std::size_t i = 0; i < n; ++i) a[i] = static_cast<std::uint8_t>(px[4 * i + 3] >> 8);
    // A full-strength Gaussian blur of radius 1 (3 x 3 taps). A failed blur
    // is a failure of the operation: the alpha stays as it was.
    need(imaging_lib::BlurImage(a, page.width, page.height, 1, page.width, blurred.data(), page.width, 100, 1) != 0, "blur");
    const std::uint8_t* s = blurred.data();
    for (std::size_t i = 0; i < n; ++i)
        px[4 * i + 3] = a[i] < 240 ? static_cast<std::uint16_t>(s[i] << 8) : std::uint16_t{0xFFFF};
}

}  // namespace plr
