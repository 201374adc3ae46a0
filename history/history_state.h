#pragma once
#include <cstdint>

#include "core/block.h"
#include "core/rect.h"
#include "history/plane_copy.h"

namespace plr {

// One snapshot: the pixels (and mask values) a recorded change overwrote.
struct HistoryEntry {
    Block<std::uint16_t> pixels;                            // width * height layer pixels, packed rows
    Block<std::uint16_t> maskValues;                        // width * height mask values, packed rows
    Rect rect;  // where on the page the pixels came from
    std::int32_t layerIndex = 0;

    bool occupied() const noexcept { return !pixels.empty() || !maskValues.empty(); }
};

constexpr int kHistoryEntries = 500;

struct History {
    HistoryEntry entries[kHistoryEntries];  // index 0 is the newest
    std::int32_t undoLevels = 0;
    std::int32_t redoCount = 0;
    std::uint8_t paused = 0;
    std::int32_t budgetKB = 0;
    std::uint8_t autoBudget = 0;
    std::int32_t memoryKB = 0;  // "historyMemoryKB": the under-layer plus every entry
    // What the dabs since the last save reached: their frames (right and
    // bottom exclusive) gathered by min and max. Emptied by every save.
    Rect stroke;
    // The under-layer: the current layer and the mask as they were after the
    // last recorded change. Its blocks may be exchanged with whole-page
    // snapshots, so never keep a pointer into them across history calls.
    Block<std::uint16_t> underPixels;
    Block<std::uint16_t> underMask;

    // undoLevels as an entry count (the setter keeps it in 0..500 already).
    std::int32_t levels() const noexcept {
        return undoLevels < 0 ? 0 : undoLevels > kHistoryEntries ? kHistoryEntries : undoLevels;
    }
};

}  // namespace plr
