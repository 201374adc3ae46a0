#include "engine/engine_invariants.h"

#include <cstdint>

#include "core/alloc.h"
#include "engine/engine.h"
#include "history/history.h"

namespace plr {
namespace {

struct Checker {
    std::string broken;
    std::int64_t heldBlocks = 0;

    bool rule(bool holds, const std::string& what) {
        if (!holds && broken.empty()) broken = what;
        return holds;
    }
    template <class T>
    void count(const Block<T>& b) {
        heldBlocks += b.empty() ? 0 : 1;
    }
    template <class T>
    void emptyOrSized(const Block<T>& b, std::size_t n, const char* what) {
        count(b);
        rule(b.empty() || b.size() == n, std::string(what) + " has " + std::to_string(b.size()) + " values, not " +
                                             std::to_string(n));
    }
    void layer(const LayerRecord& l, const std::string& what) {
        count(l.pixels);
        if (l.pixels.empty()) return;
        if (!rule(l.width >= 0 && l.height >= 0,
                  what + " records size " + std::to_string(l.width) + " x " + std::to_string(l.height)))
            return;
        const std::size_t values = static_cast<std::size_t>(l.width) * static_cast<std::size_t>(l.height) * 4;
        rule(l.pixels.size() == values, what + " holds " + std::to_string(l.pixels.size()) + " values for its size");
        rule(std::int64_t{l.rowValues} == std::int64_t{l.width} * 4, what + " row length " + std::to_string(l.rowValues));
        rule(l.opacity <= 256, what + " opacity " + std::to_string(l.opacity));
    }
};

}  // namespace

std::string engineInvariantViolation(EngineState& engine) {
    Checker c;
    Page& p = engine.page;
    const bool sized = p.width > 0 && p.height > 0;
    c.rule(p.width >= 0 && p.height >= 0 && p.width <= kMaxPageSide && p.height <= kMaxPageSide,
           "page size " + std::to_string(p.width) + " x " + std::to_string(p.height));
    c.rule(p.rowValues == p.width * 4, "page row length " + std::to_string(p.rowValues));
    const std::size_t n = p.pixelCount();

    for (int i = 0; i < kLayerSlots; ++i) c.layer(p.layers[i], "layer " + std::to_string(i));
    c.layer(p.paintLayer, "paint layer");
    c.rule(p.currentLayer == nullptr || p.currentLayer == p.slot(p.currentLayerIndex),
           "current layer is not slot " + std::to_string(p.currentLayerIndex));

    c.emptyOrSized(p.mask.plane, n, "mask plane");
    // The paper texture may outlive a change of page size: it is used only
    // while page-sized (Page::textureIfPresent), so any size is consistent.
    c.count(p.texture);
    // A page without pixels keeps a one-byte block for a buffer that is "there".
    const std::size_t stub = n == 0 ? 1 : 0;
    c.emptyOrSized(p.processing.src32, n * 4 + stub, "32-bit source buffer");
    c.emptyOrSized(p.processing.dst32, n * 4 + stub, "32-bit destination buffer");
    c.emptyOrSized(p.processing.src24, n * 3 + stub, "24-bit source buffer");
    c.emptyOrSized(p.processing.dst24, n * 3 + stub, "24-bit destination buffer");

    History& h = p.history;
    c.emptyOrSized(h.underPixels, n * 4, "history under-layer");
    c.emptyOrSized(h.underMask, n, "history under-mask");
    std::int64_t heldKB =
        sized && !h.underPixels.empty() && !h.underMask.empty() ? std::int64_t{p.width} * p.height * 10 / 1024 : 0;
    for (int i = 0; i < kHistoryEntries; ++i) {
        const HistoryEntry& e = h.entries[i];
        c.count(e.pixels);
        c.count(e.maskValues);
        if (!e.occupied()) continue;
        const std::uint64_t area = e.rect.pixels();
        const std::string what = "history entry " + std::to_string(i);
        c.rule(e.pixels.empty() || e.pixels.size() == area * 4, what + " pixels do not fit its rectangle");
        c.rule(e.maskValues.empty() || e.maskValues.size() == area, what + " mask values do not fit its rectangle");
        c.rule(e.rect.left >= 0 && e.rect.top >= 0 && e.rect.right <= p.width && e.rect.bottom <= p.height,
               what + " lies off the page");
        heldKB += entryHeldKB(e);
    }
    c.rule(h.redoCount >= 0 && h.redoCount <= h.levels(), "redo count " + std::to_string(h.redoCount));
    c.rule(h.memoryKB == heldKB, "history memory " + std::to_string(h.memoryKB) + " KB, held " +
                                     std::to_string(heldKB) + " KB");

    c.rule(mem::stats().liveBlocks >= c.heldBlocks, "the page holds more blocks than are alive");
    return c.broken;
}

}  // namespace plr
