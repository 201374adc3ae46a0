// Recording a finished change.
#include <algorithm>

#include "history/page_history.h"
#include "history/history.h"

namespace plr {
namespace {

// The blocks a save asks for, and blocks of exactly that size taken from
// entries it releases to make room (reused instead of freed and allocated
// again: steady painting then neither allocates nor faults in fresh pages).
struct SaveBlocks {
    bool wantPixels = false, wantMask = false;
    std::size_t pixelValues = 0, maskValues = 0;
    std::int32_t pixelKB = 0, maskKB = 0;
    Block<std::uint16_t> pixels, mask;            // obtained for the new entry
    Block<std::uint16_t> sparePixels, spareMask;  // taken from released entries

    bool complete() const noexcept { return (!wantPixels || pixels) && (!wantMask || mask); }
};

// Releases `e`, keeping a block the save can reuse.
void releaseForSave(PageHistory& page, HistoryEntry& e, SaveBlocks& b) noexcept {
    if (!e.occupied()) return;
    const std::int32_t kb = entryHeldKB(e);
    if (b.wantPixels && !b.sparePixels && e.pixels.size() == b.pixelValues) b.sparePixels = std::move(e.pixels);
    if (b.wantMask && !b.spareMask && e.maskValues.size() == b.maskValues) b.spareMask = std::move(e.maskValues);
    e.pixels.reset();
    e.maskValues.reset();
    e.rect = {};
    History& h = page.history;
    h.memoryKB = h.memoryKB > kb ? h.memoryKB - kb : 0;
}

// Takes the spare or allocates; a block obtained counts in the memory figure.
void obtain(History& h, Block<std::uint16_t>& block, Block<std::uint16_t>& spare, std::size_t values,
            std::int32_t kb) noexcept {
    if (block) return;
    if (spare)
        block = std::move(spare);
    else if (!block.allocate(values))
        return;
    h.memoryKB = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{h.memoryKB} + kb, INT32_MAX));
}

void giveBack(History& h, Block<std::uint16_t>& block, std::int32_t kb) noexcept {
    if (!block) return;
    block.reset();
    h.memoryKB = h.memoryKB > kb ? h.memoryKB - kb : 0;
}

// Makes room oldest first, then obtains the blocks, sacrificing the next
// older entry for every block that cannot be had. True when all were obtained.
bool obtainBlocks(PageHistory& page, SaveBlocks& b, std::int32_t needKB) noexcept {
    History& h = page.history;
    std::int32_t next = h.levels() - 1;
    // Always at least the oldest place: the shift that follows pushes it out.
    while (next >= 0) {
        releaseForSave(page, h.entries[next--], b);
        if (std::int64_t{h.memoryKB} + needKB < h.budgetKB) break;
    }
    for (;;) {
        if (b.wantPixels) obtain(h, b.pixels, b.sparePixels, b.pixelValues, b.pixelKB);
        if (b.wantMask) obtain(h, b.mask, b.spareMask, b.maskValues, b.maskKB);
        if (b.complete()) return true;
        while (next >= 0 && !h.entries[next].occupied()) --next;
        if (next < 0) break;
        releaseForSave(page, h.entries[next--], b);
    }
    giveBack(h, b.pixels, b.pixelKB);
    giveBack(h, b.mask, b.maskKB);
    return false;
}

// The rectangle of the under-layer into the snapshot (when one is kept),
// then the layer's rectangle into the under-layer.
void snapshotAndRefresh(std::uint16_t* under, const std::uint16_t* layer, std::uint16_t* snapshot, PlaneShape shape,
                        const Rect& r) noexcept {
    if (!snapshot) {
        copyRectAcross(layer, under, shape, r);
        return;
    }
    auto* packed = reinterpret_cast<std::uint8_t*>(snapshot);
    forEachBand(r, shape.bytesPerPixel, [&](const Rect& band, std::size_t offset) {
        copyRectOut(under, shape, band, packed + offset);
        copyRectAcross(layer, under, shape, band);
    });
}

}  // namespace

void saveUndoBuffer(PageHistory& page, bool savePixels, bool saveMask) {
    History& h = page.history;
    if (h.paused) return;
    // The recorded rectangle takes the stroke's right and bottom edges as
    // its last column and row, so it keeps a one-pixel margin past the
    // dabs; a rectangle one column or one row across counts as empty.
    Rect& s = h.stroke;
    s.left = std::max(s.left, 0);
    s.top = std::max(s.top, 0);
    s.right = std::min(s.right, page.width - 1);
    s.bottom = std::min(s.bottom, page.height - 1);
    dropUndoneEntries(page);
    Rect r = Rect::fromInclusive(s.left, s.top, s.right, s.bottom);
    // A change that did not pass through the brush (a filter, a paste, a
    // load) leaves the rectangle empty: record the whole page.
    if (r.width() <= 1 || r.height() <= 1) r = {0, 0, page.width, page.height};
    if (!insidePage(r, page.width, page.height)) {
        emptyStrokeRect(page);
        return;
    }

    const std::size_t n = page.pixelCount();
    const PlaneShape layerShape{page.width, page.height, 8}, maskShape{page.width, page.height, 2};
    LayerRecord* layer = page.currentPageLayer();
    const bool pixelsOk = layer && h.underPixels.size() == n * 4;
    const bool maskOk = page.mask.plane.size() == n && h.underMask.size() == n;
    const bool whole = r == Rect{0, 0, page.width, page.height};

    SaveBlocks b;
    b.wantPixels = savePixels && pixelsOk;
    b.wantMask = saveMask && maskOk;
    b.pixelValues = static_cast<std::size_t>(r.pixels()) * 4;
    b.maskValues = static_cast<std::size_t>(r.pixels());
    const std::int64_t area = r.width() * r.height();
    b.pixelKB = static_cast<std::int32_t>(area * 8 / 1024);
    b.maskKB = static_cast<std::int32_t>(area * 2 / 1024);
    recomputeUndoBudget(page);

    // With no levels, or nothing to keep, nothing is recorded: an entry
    // without blocks would hide every older one from undo.
    const std::int32_t levels = h.levels();
    const bool recorded =
        levels > 0 && (b.wantPixels || b.wantMask) && obtainBlocks(page, b, entryKB(r.width(), r.height()));

    std::uint16_t* pixelSnapshot = nullptr;  // packed copies still to be taken
    std::uint16_t* maskSnapshot = nullptr;
    if (recorded) {
        std::rotate(h.entries, h.entries + levels - 1, h.entries + levels);
        HistoryEntry& e = h.entries[0];
        e.rect = r;
        e.layerIndex = page.currentLayerIndex;
        if (b.wantPixels) {
            e.pixels = std::move(b.pixels);
            // A whole-page snapshot is the under-layer itself: hand its block
            // to the entry and refill the fresh one, one copy instead of two.
            if (whole)
                e.pixels.swap(h.underPixels);
            else
                pixelSnapshot = e.pixels.data();
        }
        if (b.wantMask) {
            e.maskValues = std::move(b.mask);
            if (whole)
                e.maskValues.swap(h.underMask);
            else
                maskSnapshot = e.maskValues.data();
        }
    }
    // Recorded or not, the under-layer moves on with the layer and the mask.
    if (savePixels && pixelsOk)
        snapshotAndRefresh(h.underPixels.data(), layer->pixels.data(), pixelSnapshot, layerShape, r);
    if (saveMask && maskOk) snapshotAndRefresh(h.underMask.data(), page.mask.plane.data(), maskSnapshot, maskShape, r);
    emptyStrokeRect(page);
}

}  // namespace plr
