// Releasing entries: one at a time, the undone ones, and old ones on demand.
#include <algorithm>
#include <utility>

#include "core/export_failures.h"
#include "core/guard.h"
#include "history/page_history.h"
#include "history/history.h"

namespace plr {

std::int32_t entryHeldKB(const HistoryEntry& e) noexcept {
    const std::int64_t area = static_cast<std::int64_t>(e.rect.pixels());
    return static_cast<std::int32_t>((e.pixels ? area * 8 / 1024 : 0) + (e.maskValues ? area * 2 / 1024 : 0));
}

void releaseEntry(PageHistory& page, HistoryEntry& e) noexcept {
    History& h = page.history;
    const std::int32_t kb = entryHeldKB(e);
    h.memoryKB = h.memoryKB > kb ? h.memoryKB - kb : 0;
    e.pixels.reset();
    e.maskValues.reset();
    e.rect = {};
}

void dropUndoneEntries(PageHistory& page) {
    guardedVoid(operation::kDropUndoneEntries, [&] {
        History& h = page.history;
        const std::int32_t levels = h.levels();
        const std::int32_t r = std::min(h.redoCount, levels);
        if (r <= 0) {
            h.redoCount = 0;
            return;
        }
        for (std::int32_t i = 0; i < r; ++i) releaseEntry(page, h.entries[i]);
        // The released (now empty) places end up at the old end, the rest
        // move down by r places keeping their order.
        std::rotate(h.entries, h.entries + r, h.entries + levels);
        h.redoCount = 0;
    });
}

std::int32_t reduceUndo(PageHistory& page, std::int32_t kb) {
    History& h = page.history;
    const std::int32_t undone = std::max(0, std::min(h.redoCount, h.levels()));
    std::int32_t released = undone;
    dropUndoneEntries(page);
    std::int64_t freed = 0;
    for (std::int32_t i = h.levels() - 1; i >= 0; --i) {
        HistoryEntry& e = h.entries[i];
        if (!e.occupied()) continue;
        if (freed >= kb) break;
        freed += entryHeldKB(e);
        releaseEntry(page, e);
        ++released;
    }
    return released;
}

std::int32_t reduceUndoForAllocation(PageHistory& page, std::int32_t kb) {
    // Entries under 1 KB count 0 KB: asking for at least 1 releases every one
    // of them up to the first that counts, so each call makes progress.
    return reduceUndo(page, kb < 1 ? 1 : kb);
}

}  // namespace plr
