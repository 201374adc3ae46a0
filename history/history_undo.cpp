// Undo and redo: both exchange a snapshot with the pixels it covers.
#include "history/page_history.h"
#include "history/history.h"
#include "history/layer_table.h"

namespace plr {
namespace {

// After this the entry holds the state the layer (or mask) had before, and
// the layer, the mask and the under-layer agree on the entry's state.
void exchangePlane(Block<std::uint16_t>& snapshot, std::uint16_t* plane, Block<std::uint16_t>& under, PlaneShape shape,
                   const Rect& r, bool whole) {
    if (whole) {
        // The snapshot and the under-layer are both whole planes: trade the
        // blocks, then bring the layer to the snapshot's state.
        snapshot.swap(under);
        copyRectAcross(under.data(), plane, shape, r);
        return;
    }
    auto* packed = reinterpret_cast<std::uint8_t*>(snapshot.data());
    forEachBand(r, shape.bytesPerPixel, [&](const Rect& band, std::size_t offset) {
        copyRectIn(packed + offset, plane, shape, band);
        copyRectOut(under.data(), shape, band, packed + offset);
        copyRectAcross(plane, under.data(), shape, band);
    });
}

void exchange(PageHistory& page, HistoryEntry& e) {
    History& h = page.history;
    if (page.currentLayer != page.slot(e.layerIndex)) setLayer(page, e.layerIndex);
    const Rect r = e.rect;
    if (!insidePage(r, page.width, page.height)) return;
    const std::size_t n = page.pixelCount(), area = static_cast<std::size_t>(r.pixels());
    const bool whole = r == Rect{0, 0, page.width, page.height};
    // Restore only into the slot the snapshot came from, and only when it
    // still has the page's size (a deleted or resized slot takes nothing).
    LayerRecord* layer = page.currentLayerIndex == e.layerIndex ? page.currentPageLayer() : nullptr;
    if (e.pixels && layer && e.pixels.size() == area * 4 && h.underPixels.size() == n * 4)
        exchangePlane(e.pixels, layer->pixels.data(), h.underPixels, {page.width, page.height, 8}, r, whole);
    if (e.maskValues && e.maskValues.size() == area && page.mask.plane.size() == n && h.underMask.size() == n)
        exchangePlane(e.maskValues, page.mask.plane.data(), h.underMask, {page.width, page.height, 2}, r, whole);
}

}  // namespace

void undo(PageHistory& page) {
    History& h = page.history;
    if (h.paused || !canUndo(page)) return;
    exchange(page, h.entries[h.redoCount]);
    ++h.redoCount;
}

void redo(PageHistory& page) {
    History& h = page.history;
    if (h.paused || h.redoCount <= 0 || h.redoCount > h.levels()) return;
    --h.redoCount;
    exchange(page, h.entries[h.redoCount]);
}

}  // namespace plr
