#include "layers/layer_clear.h"

#include <cstddef>
#include <cstring>

#include "core/block.h"
#include "core/coverage.h"
#include "core/failure.h"
#include "core/packed_pixels.h"
#include "core/pixel_rows.h"
#include "core/sizes.h"
#include "layers/page_layers.h"
#include "layers/layer_load.h"

namespace plr {

bool clearLayer(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    // A page of size 0 has nothing to clear: refused, not reported as done.
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || page.pixelCount() == 0) return false;
    fillRow64(reinterpret_cast<std::uint8_t*>(layer->pixels.data()),
              packPixel64(widen8(r), widen8(g), widen8(b), widen8(a)), page.pixelCount());
    return true;
}

void clearMasked(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || page.pixelCount() == 0) return;
    const std::uint16_t* __restrict mask = page.maskIfEnabled();
    if (!mask) {
        clearLayer(page, r, g, b, a);
        return;
    }
    const std::uint32_t colour[4] = {r, g, b, 0};
    const std::uint32_t full[4] = {widen8(r), widen8(g), widen8(b), widen8(a)};
    std::uint16_t* __restrict d = layer->pixels.data();
    const std::size_t n = page.pixelCount();
    for (std::size_t i = 0; i < n; ++i) {
        // Every value read up front and chosen by selects: no branches in the loop.
        const std::uint32_t m = mask[i];
        const std::uint32_t keep = 0xFFFFu - m;
        const std::uint32_t none = m == 0 ? ~0u : 0u, open = m == 0xFFFF ? ~0u : 0u;
        const std::uint32_t blendMask = ~(none | open);
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t old = d[4 * i + c];
            // Colour: coverageBlend written out on 32-bit lanes (s * 256 * m >> 8 is s * m); alpha: opaque.
            const std::uint32_t blended = c < 3 ? ((colour[c] * m) + ((old * keep) >> 8)) >> 8 : 0xFFFFu;
            d[4 * i + c] = static_cast<std::uint16_t>((old & none) | (full[c] & open) | (blended & blendMask));
        }
    }
}

bool clearMaskedAlpha(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || page.pixelCount() == 0) return false;
    if (!page.maskIfEnabled()) return clearLayer(page, r, g, b, a);
    Block<std::uint8_t> colour;
    need(colour.allocate(
        saturatingProduct(static_cast<std::uint64_t>(page.width), static_cast<std::uint64_t>(page.height), 4)));
    const std::uint32_t px = std::uint32_t{r} | std::uint32_t{g} << 8 | std::uint32_t{b} << 16 | std::uint32_t{a} << 24;
    fillRow32(colour.data(), px, page.pixelCount());
    return loadRGBA32IntoLayer(page, *layer, colour.data(), page.width * 4, 0, 0, layer->width, layer->height, true);
}

bool fillRGBA64(std::uint8_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height, std::uint16_t r,
                std::uint16_t g, std::uint16_t b, std::uint16_t a) {
    if (!buffer || width < 0 || height < 0) return false;
    const std::uint64_t px = packPixel64(r, g, b, a);
    const std::ptrdiff_t s = stride;
    for (std::int32_t y = 0; y < height; ++y, buffer += s) fillRow64(buffer, px, static_cast<std::size_t>(width));
    return true;
}

bool fillRGBA32(std::uint8_t* buffer, std::int32_t stride, std::int32_t width, std::int32_t height, std::uint8_t r,
                std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    if (!buffer || width < 0 || height < 0) return false;
    const std::uint32_t px = std::uint32_t{r} | std::uint32_t{g} << 8 | std::uint32_t{b} << 16 | std::uint32_t{a} << 24;
    const std::ptrdiff_t s = stride;
    for (std::int32_t y = 0; y < height; ++y, buffer += s) fillRow32(buffer, px, static_cast<std::size_t>(width));
    return true;
}

}  // namespace plr
