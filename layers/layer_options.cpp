#include "layers/layer_options.h"

#include <cstring>
#include <utility>

#include "layers/page_layers.h"
#include "layers/blend_modes.h"
#include "layers/paper_texture.h"

namespace plr {

void setLayerOptions(PageLayers& page, std::int32_t index, std::int32_t visible, std::int32_t alphaLock,
                     std::int32_t percent, const char* modeName) {
    LayerRecord* l = page.slot(index);
    if (!l) return;
    // A Texturize3 layer is the paper texture's source; its options may change that.
    if (l->mode == kModeTexturize3) deleteTexture(page);
    l->visible = static_cast<std::uint8_t>(visible);
    l->alphaLock = static_cast<std::uint8_t>(alphaLock);
    l->opacity = opacityFromPercent(percent);
    std::memset(l->modeName, 0, sizeof l->modeName);
    if (modeName) {
        const std::size_t n = strnlen(modeName, sizeof l->modeName);
        if (n < sizeof l->modeName) std::memcpy(l->modeName, modeName, n);
    }
    // A name too long to keep is still looked up (it matches no mode).
    l->mode = blendModeNumber(modeName);
    page.topLayerIndex = highestUsedSlot(page);
    if (index != page.currentLayerIndex && l->visible && l->mode == kModeTexturize3) createTexture(page, index);
}

std::int32_t highestUsedSlot(const PageLayers& page) noexcept {
    for (std::int32_t i = kLayerSlots - 1; i > 1; --i)
        if (page.layers[i].hasPixels()) return i;
    return 1;
}

void swapLayers(PageLayers& page, std::int32_t a, std::int32_t b) noexcept {
    LayerRecord* x = page.slot(a);
    LayerRecord* y = page.slot(b);
    if (!x || !y || x == y) return;
    std::swap(*x, *y);  // moves the records; the pixel blocks change hands, not their contents
}

void copyLayerData(PageLayers& page, std::int32_t from, std::int32_t to) noexcept {
    const LayerRecord* s = page.pageLayer(from);
    LayerRecord* d = page.pageLayer(to);
    if (!s || !d || s == d) return;
    std::memcpy(d->pixels.data(), s->pixels.data(), page.pixelCount() * 8);
}

bool findDataExtents(PageLayers& page, std::int32_t index, Rect& out) noexcept {
    const LayerRecord* l = page.pageLayer(index);
    if (!l) return false;
    Rect e{};
    const std::uint16_t* px = l->pixels.data();
    for (std::int32_t y = 0; y < page.height; ++y) {
        const std::uint16_t* row = px + static_cast<std::ptrdiff_t>(y) * page.rowValues;
        std::int32_t first = 0;
        while (first < page.width && row[4 * first + 3] == 0) ++first;
        if (first == page.width) continue;
        std::int32_t last = page.width - 1;
        while (row[4 * last + 3] == 0) --last;
        e = unite(e, Rect{first, y, last + 1, y + 1});
    }
    out = e;
    return true;
}

const LayerRecord* maskLayerOf(PageLayers& page, std::int32_t index) noexcept {
    const std::int32_t top = page.topLayerIndex < kLayerSlots ? page.topLayerIndex : kLayerSlots - 1;
    if (index < 0 || index >= top) return nullptr;
    for (std::int32_t k = index + 1; k <= top; ++k) {
        const LayerRecord* l = page.pageLayer(k);
        if (!l || !l->visible) continue;
        return l->mode == kModeLayerMask ? l : nullptr;
    }
    return nullptr;
}

}  // namespace plr
