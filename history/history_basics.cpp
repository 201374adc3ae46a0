#include <algorithm>
#include <cstring>

#include "core/engine.h"
#include "history/history.h"
#include "platform/platform.h"

namespace plr {

void emptyStrokeRect(Page& page) noexcept {
    page.history.stroke = {page.width - 1, page.height - 1, 0, 0};
}

void releaseAllHistoryEntries(Page& page) noexcept {
    for (HistoryEntry& e : page.history.entries) {
        e.pixels.reset();
        e.maskValues.reset();
        e.left = e.top = e.right = e.bottom = 0;
    }
}

void recomputeUndoBudget(Page& page) {
    History& h = page.history;
    if (h.autoBudget != 1) return;
    platform::MemoryStatus ms;
    platform::memoryStatus(ms);
    const double freeKB = static_cast<double>(std::min(ms.availPhys, ms.availPageFile) >> 10);
    const double x = freeKB * 0.85 + h.memoryKB;
    const std::int64_t p = static_cast<std::int64_t>(page.width) * page.height / 1024;
    std::int64_t budget = static_cast<std::int64_t>(x) - 20 * p;
    if (budget < 15 * p) budget = 15 * p;
    h.budgetKB = static_cast<std::int32_t>(std::min<std::int64_t>(budget, INT32_MAX));
}

void saveUndoBackBuffer(Page& page, std::int32_t layerIndex) {
    History& h = page.history;
    if (h.paused) return;
    const LayerRecord* layer = page.pageLayer(layerIndex);
    const std::size_t n = page.pixelCount();
    if (layer && h.underPixels.size() == n * 4)
        std::memcpy(h.underPixels.data(), layer->pixels.data(), n * 8);
    if (!page.mask.plane.empty() && h.underMask.size() == n && page.mask.plane.size() == n)
        std::memcpy(h.underMask.data(), page.mask.plane.data(), n * 2);
}

void clearUndo(Page& page) {
    History& h = page.history;
    emptyStrokeRect(page);
    h.paused = 0;
    h.redoCount = 0;
    releaseAllHistoryEntries(page);
    h.memoryKB = static_cast<std::int32_t>(static_cast<std::int64_t>(page.width) * page.height * 10 / 1024);
    saveUndoBackBuffer(page, page.currentLayerIndex);
    recomputeUndoBudget(page);
}

}  // namespace plr
