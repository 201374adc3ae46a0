#include "engine/page_lifecycle.h"

#include <algorithm>
#include <cstring>

#include "core/alloc.h"
#include "core/failure.h"
#include "core/export_failures.h"
#include "core/sizes.h"
#include "engine/engine.h"
#include "history/history.h"
#include "history/layer_table.h"

namespace plr {
namespace {

constexpr std::int32_t kRandomTableLength = 1000000;

void storeGeometry(Page& p, std::int32_t maxBrushSize, std::int32_t reserved) {
    p.rowValues = p.width * 4;
    p.maxBrushSize = clampBrushSize(maxBrushSize);
    p.brushRowValues = p.maxBrushSize * 4;
    p.reserved = reserved;
    p.view.scale = 1;
    p.view.zoom = 1.0f;
    p.view.offsetX = 0;
    p.view.offsetY = 0;
}

// Steps shared by creation and resizing: brush buffers, mask, under-layer,
// history, random tables, processing buffers.
void allocatePageBuffers(Page& p, bool resetTrace) {
    // The old page's mask, snapshots, under-layer and processing buffers go
    // first: they have its size, and a failure below must not leave them to
    // a page of another size.
    p.mask.plane.reset();
    releaseAllHistoryEntries(p);
    p.history.redoCount = 0;
    p.history.underPixels.reset();
    p.history.underMask.reset();
    p.history.memoryKB = 0;
    p.processing.releaseAll();
    const std::uint64_t brush = static_cast<std::uint64_t>(p.maxBrushSize);
    for (auto& g : p.brush.gritTextures) need(g.allocate(saturatingProduct(brush + 25, brush + 25)));
    need(p.brush.shapePlane.allocate(saturatingProduct(brush, brush)));
    need(p.brush.mixingBuffer.allocate(saturatingProduct(brush, brush, 4)));
    // A fresh page starts with an empty mixing buffer, so strokes repeat
    // exactly whatever the heap handed back.
    std::fill_n(p.brush.mixingBuffer.data(), p.brush.mixingBuffer.size(), std::uint16_t{0});

    const std::size_t n = p.pixelCount();
    need(p.mask.plane.allocate(n));
    std::fill_n(p.mask.plane.data(), n, std::uint16_t{0xFFFF});
    p.mask.enabled = 1;
    p.tracingMode = 0;
    if (resetTrace) p.traceLayer = &p.layers[0];

    need(p.history.underPixels.allocate(saturatingProduct(n, 4)));
    need(p.history.underMask.allocate(n));

    clearUndo(p);
    p.history.memoryKB = static_cast<std::int32_t>(static_cast<std::int64_t>(p.width) * p.height * 10 / 1024);
    buildPageRandomTables(p);
    p.processing.releaseAll();
}

// Shared by resizing and deletion: everything but the layer table.
void releaseStrokeAndHistoryBuffers(Page& p) {
    p.mask.plane.reset();
    p.texture.reset();
    p.history.underPixels.reset();
    p.history.underMask.reset();
    releaseAllHistoryEntries(p);
    clearUndo(p);
    p.history.memoryKB = 0;
    p.brush.mixingBuffer.reset();
    p.paintLayer.pixels.reset();
    p.brush.shapePlane.reset();
    p.brush.shapeSource.reset();
    p.brush.shapeSourceWidth = p.brush.shapeSourceHeight = 0;
    for (auto& g : p.brush.gritTextures) g.reset();
}

}  // namespace

std::int32_t clampPageSide(std::int32_t side) noexcept {
    return side < 0 || side > kMaxPageSide ? 100 : side;
}

std::int32_t clampBrushSize(std::int32_t size) noexcept {
    return size < 0 ? 0 : size > kMaxPageSide ? kMaxPageSide : size;
}

void buildPageRandomTables(Page& p) noexcept {
    EngineState& e = engine();
    guardedVoid(operation::kMakeRandomTable, [&] {
        buildRandomTable(p.randomTables[0], 255, kRandomTableLength, e.randomSeed, e.rng);
        buildRandomTable(p.randomTables[1], 254, kRandomTableLength, e.randomSeed, e.rng);
    });
}

void createImage(void* owner, std::int32_t width, std::int32_t height, std::int32_t maxBrushSize,
                 std::int32_t reserved) noexcept {
    Page& p = page();
    p.width = clampPageSide(width);
    p.height = clampPageSide(height);
    p.ownerWindow = owner;
    storeGeometry(p, maxBrushSize, reserved);
    guardedExport<exported::PLR_CreateImage>([&] {
        for (LayerRecord& l : p.layers) l.pixels.reset();
        p.currentLayer = nullptr;
        allocatePageBuffers(p, true);
    });
}

void newSize(void* owner, std::int32_t width, std::int32_t height, std::int32_t maxBrushSize,
             std::int32_t reserved) noexcept {
    Page& p = page();
    p.width = clampPageSide(width);
    p.height = clampPageSide(height);
    p.ownerWindow = owner;
    guardedExport<exported::PLR_NewSize>([&] {
        releaseStrokeAndHistoryBuffers(p);
        p.processing.releaseAll();
        storeGeometry(p, maxBrushSize, reserved);
        allocatePageBuffers(p, false);
    });
}

void deleteImage() noexcept {
    Page& p = page();
    guardedExport<exported::PLR_DeleteImage>([&] {
        releaseStrokeAndHistoryBuffers(p);
        for (std::int32_t i = 0; i < kLayerSlots; ++i) deleteLayer(p, i);
        p.processing.releaseAll();
        // The page's memory goes back to the system with it.
        mem::releaseRetained();
    });
}

}  // namespace plr
