#include <utility>

#include "core/engine.h"
#include "core/guard.h"
#include "history/history.h"

namespace plr {
namespace {

std::int32_t pixelKB(const HistoryEntry& e) {
    const std::int64_t w = e.right - e.left + 1, h = e.bottom - e.top + 1;
    return e.pixels ? static_cast<std::int32_t>(w * h * 8 / 1024) : 0;
}
std::int32_t maskKB(const HistoryEntry& e) {
    const std::int64_t w = e.right - e.left + 1, h = e.bottom - e.top + 1;
    return e.maskValues ? static_cast<std::int32_t>(w * h * 2 / 1024) : 0;
}

void subtractKB(History& h, std::int32_t kb) {
    h.memoryKB = h.memoryKB > kb ? h.memoryKB - kb : 0;
}

void releaseEntry(HistoryEntry& e) {
    e.pixels.reset();
    e.maskValues.reset();
    e.left = e.top = e.right = e.bottom = 0;
}

}  // namespace

void dropUndoneEntries(Page& page) {
    guardedVoid("RemoveAdandonedUndo", [&] {
            History& h = page.history;
            const std::int32_t r = h.redoCount;
            if (r <= 0) return;
            for (std::int32_t i = 0; i < r && i < kHistoryEntries; ++i) {
                subtractKB(h, pixelKB(h.entries[i]) + maskKB(h.entries[i]));
                releaseEntry(h.entries[i]);
            }
            const std::int32_t levels = h.undoLevels < kHistoryEntries ? h.undoLevels : kHistoryEntries;
            for (std::int32_t i = r; i < levels; ++i) std::swap(h.entries[i - r], h.entries[i]);
            for (std::int32_t i = levels - r; i < levels; ++i)
                if (i >= 0) releaseEntry(h.entries[i]);
            h.redoCount = 0;
        });
}

std::int32_t reduceUndo(Page& page, std::int32_t kb) {
    History& h = page.history;
    std::int32_t entries = h.redoCount > 0 ? h.redoCount : 0;
    dropUndoneEntries(page);
    std::int64_t released = 0;
    const std::int32_t levels = h.undoLevels < kHistoryEntries ? h.undoLevels : kHistoryEntries;
    for (std::int32_t i = levels - 1; i >= 0; --i) {
        HistoryEntry& e = h.entries[i];
        if (!e.occupied()) continue;
        if (released >= kb) break;
        const std::int32_t amount = entryKB(e.right - e.left + 1, e.bottom - e.top + 1);
        releaseEntry(e);
        subtractKB(h, amount);
        released += amount;
        ++entries;
    }
    return entries;
}

}  // namespace plr
