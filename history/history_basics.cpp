// Clearing, the under-layer refresh, levels and the counters.
#include "core/packed_pixels.h"
#include "history/page_history.h"
#include "history/history.h"

namespace plr {

void emptyStrokeRect(PageHistory& page) noexcept { page.history.stroke = {page.width - 1, page.height - 1, 0, 0}; }

void releaseAllHistoryEntries(PageHistory& page) noexcept {
    for (HistoryEntry& e : page.history.entries) {
        e.pixels.reset();
        e.maskValues.reset();
        e.rect = {};
    }
}

void saveUndoBackBuffer(PageHistory& page, std::int32_t layerIndex) {
    History& h = page.history;
    if (h.paused || page.width <= 0 || page.height <= 0) return;
    const Rect whole{0, 0, page.width, page.height};
    const std::size_t n = page.pixelCount();
    if (const LayerRecord* layer = page.pageLayer(layerIndex); layer && h.underPixels.size() == n * 4)
        copyRectAcross(layer->pixels.data(), h.underPixels.data(), {page.width, page.height, 8}, whole);
    if (page.mask.plane.size() == n && h.underMask.size() == n)
        copyRectAcross(page.mask.plane.data(), h.underMask.data(), {page.width, page.height, 2}, whole);
}

void clearUndo(PageHistory& page) {
    History& h = page.history;
    emptyStrokeRect(page);
    h.paused = 0;
    h.redoCount = 0;
    releaseAllHistoryEntries(page);
    // The under-layer (pixels and mask) counts only while it is held: a
    // deleted page keeps its size but no longer holds it.
    h.memoryKB = h.underPixels.empty() || h.underMask.empty()
                     ? 0
                     : static_cast<std::int32_t>(static_cast<std::int64_t>(page.width) * page.height * 10 / 1024);
    saveUndoBackBuffer(page, page.currentLayerIndex);
    recomputeUndoBudget(page);
}

std::int32_t setUndoLevels(PageHistory& page, std::int32_t count) {
    clearUndo(page);
    page.history.undoLevels = count < 0 ? 0 : count > kHistoryEntries ? kHistoryEntries : count;
    return page.history.undoLevels;
}

bool canUndo(const PageHistory& page) noexcept {
    const History& h = page.history;
    return h.redoCount >= 0 && h.redoCount < h.levels() && h.entries[h.redoCount].occupied();
}

bool canRedo(const PageHistory& page) noexcept { return page.history.redoCount != 0; }

std::int32_t undoCount(const PageHistory& page) noexcept {
    std::int32_t n = 0;
    for (const HistoryEntry& e : page.history.entries) n += e.occupied() ? 1 : 0;
    return n;
}

std::uint32_t colorAtHistory(const PageHistory& page, std::int32_t x, std::int32_t y) noexcept {
    if (!canUndo(page) || x < 0 || y < 0 || x >= page.width || y >= page.height) return 0;
    const Block<std::uint16_t>& under = page.history.underPixels;
    const std::size_t i =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(x);
    if (under.size() != page.pixelCount() * 4) return 0;
    return packColorValue(under.data() + i * 4);
}

const std::uint16_t* underLayerPlane(PageHistory& page) noexcept {
    const auto& under = page.history.underPixels;
    return !under.empty() && under.size() == page.pixelCount() * 4 ? under.data() : nullptr;
}

}  // namespace plr
