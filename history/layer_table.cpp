#include "history/layer_table.h"

#include <cstdint>
#include <cstring>

#include "core/export_failures.h"
#include "core/guard.h"
#include "core/saturate.h"
#include "core/sizes.h"
#include "history/page_history.h"
#include "history/history.h"
#include "layers/blend_modes.h"
#include "layers/paper_texture.h"

namespace plr {

std::int32_t createLayer(PageHistory& page, std::int32_t index, std::int32_t width, std::int32_t height) noexcept {
    LayerRecord* l = page.slot(index);
    if (!l) return 0;
    return guardedExport<exported::PLR_CreateLayer>([&]() -> std::int32_t {
        // Negative sizes cannot be allocated; they make an empty layer.
        const std::int32_t w = width < 0 ? 0 : width, h = height < 0 ? 0 : height;
        if (l->hasPixels() && (l->width != w || l->height != h)) l->pixels.reset();
        l->width = w;
        l->height = h;
        l->rowValues = saturate32(std::int64_t{w} * 4);
        // A row of more values than a 32-bit length holds is never allocated,
        // not even with no rows: the layer stays empty, as when memory runs out.
        if (std::int64_t{w} * 4 > INT32_MAX) {
            l->pixels.reset();
            return 0;
        }
        const std::size_t values = saturatingProduct(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h), 4);
        if (!l->hasPixels()) {
            const std::int32_t kb = static_cast<std::int32_t>(static_cast<std::int64_t>(w) * h * 8 / 1024);
            while (!l->pixels.allocate(values)) {
                // Give the history's memory back and try again while it still holds snapshots.
                if (!page.history.entries[0].occupied()) return 0;
                if (reduceUndoForAllocation(page, kb) == 0) return 0;
            }
        }
        std::memset(l->pixels.data(), index == 1 ? 0xFF : 0x00, values * 2);
        return 1;
    });
}

void deleteLayer(PageHistory& page, std::int32_t index) noexcept {
    LayerRecord* l = page.slot(index);
    if (!l) return;
    guardedExport<exported::PLR_DeleteLayer>([&] { l->pixels.reset(); });
}

void setLayer(PageHistory& page, std::int32_t index) {
    LayerRecord* l = page.slot(index);
    if (!l || !l->hasPixels()) return;
    if (l->mode == kModeTexturize3) deleteTexture(page);
    LayerRecord* old = page.slot(page.currentLayerIndex);
    if (index != page.currentLayerIndex && old && old->visible && old->mode == kModeTexturize3)
        createTexture(page, page.currentLayerIndex);
    page.currentLayer = l;
    page.currentLayerIndex = index;
    saveUndoBackBuffer(page, index);
}

std::int32_t layerCount(const PageHistory& page) noexcept {
    std::int32_t n = 0;
    for (const LayerRecord& l : page.layers) n += l.hasPixels() ? 1 : 0;
    return n;
}

}  // namespace plr
