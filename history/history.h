#pragma once
// Undo and redo: the internal operations other subsystems and the exports call.
#include <cstdint>

namespace plr {

struct PageHistory;
struct HistoryEntry;

// Records the finished change: the stroke rectangle (or the whole page when
// the rectangle is empty or one pixel thin) of the under-layer goes into a
// new snapshot, then the under-layer catches up with the layer and the mask.
void saveUndoBuffer(PageHistory& page, bool savePixels, bool saveMask);
// Undoes the newest change not yet undone / redoes the last undone one.
void undo(PageHistory& page);
void redo(PageHistory& page);

// Empties the history, ends a pause and refreshes the under-layer.
void clearUndo(PageHistory& page);
// Unless paused, copies the slot's pixels and the mask into the under-layer.
void saveUndoBackBuffer(PageHistory& page, std::int32_t layerIndex);
// Releases old entries until at least `kb` KB are freed. Returns the number
// of entries released.
std::int32_t reduceUndo(PageHistory& page, std::int32_t kb);
// For a caller that cannot allocate: like reduceUndo, but always releases at
// least one entry while any is occupied (an allocation under 1 KB asks for 0).
std::int32_t reduceUndoForAllocation(PageHistory& page, std::int32_t kb);
// Releases the entries that were undone (a new change discards them).
void dropUndoneEntries(PageHistory& page);
// Recomputes the automatic budget from free memory (no-op unless automatic).
void recomputeUndoBudget(PageHistory& page);
// Makes the stroke rectangle empty.
void emptyStrokeRect(PageHistory& page) noexcept;
// Releases both blocks of every entry and zeroes the rectangles.
void releaseAllHistoryEntries(PageHistory& page) noexcept;

// Clears the history, then keeps min(count, 500) levels (negative: 0).
std::int32_t setUndoLevels(PageHistory& page, std::int32_t count);
// Non-zero: a fixed budget of that many MB; zero: the automatic budget.
void setUndoMB(PageHistory& page, std::int32_t megabytes);

bool canUndo(const PageHistory& page) noexcept;
bool canRedo(const PageHistory& page) noexcept;
// Occupied entries among all of them, undone ones included.
std::int32_t undoCount(const PageHistory& page) noexcept;
// The packed colour value of the under-layer at (x, y) while something can
// be undone; 0 otherwise or outside the page.
std::uint32_t colorAtHistory(const PageHistory& page, std::int32_t x, std::int32_t y) noexcept;

// KB a rectangle of w x h pixels counts for pixels and mask values together.
inline std::int32_t entryKB(std::int64_t w, std::int64_t h) noexcept {
    return static_cast<std::int32_t>(w * h * 10 / 1024);
}
// KB an entry counts in the memory figure: each block it holds, truncated
// separately, exactly as it was added when the block was obtained.
std::int32_t entryHeldKB(const HistoryEntry& e) noexcept;
// Releases the entry's blocks, takes their KB off the memory figure (never
// below 0) and zeroes its rectangle.
void releaseEntry(PageHistory& page, HistoryEntry& e) noexcept;

// The under-layer (the current layer as it was before the stroke) when it has
// page-sized pixels, else null.
const std::uint16_t* underLayerPlane(PageHistory& page) noexcept;

}  // namespace plr
