#pragma once
// Undo and redo: the internal operations other subsystems call.
#include <cstdint>

namespace plr {

struct Page;

// Empties the history, ends a pause and refreshes the under-layer.
void clearUndo(Page& page);
// Unless paused, copies the slot's pixels and the mask into the under-layer.
void saveUndoBackBuffer(Page& page, std::int32_t layerIndex);
// Releases old entries until at least `kb` KB are freed. Returns the number
// of entries released.
std::int32_t reduceUndo(Page& page, std::int32_t kb);
// Recomputes the automatic budget from free memory (no-op unless automatic).
void recomputeUndoBudget(Page& page);
// Makes the stroke rectangle empty.
void emptyStrokeRect(Page& page) noexcept;
// Releases both blocks of every entry and zeroes the rectangles.
void releaseAllHistoryEntries(Page& page) noexcept;

}  // namespace plr

namespace plr {
// Releases the entries that were undone (a new change discards them).
void dropUndoneEntries(Page& page);
// KB a rectangle of w x h pixels counts for pixels and mask values together.
inline std::int32_t entryKB(std::int64_t w, std::int64_t h) noexcept {
    return static_cast<std::int32_t>(w * h * 10 / 1024);
}
}  // namespace plr
