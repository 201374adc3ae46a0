#pragma once
// The one picture the engine holds, with every buffer reached from it.
#include <cstdint>

#include "brush/brush_buffers.h"
#include "core/block.h"
#include "core/random_table.h"
#include "history/history_state.h"
#include "imaging/mask_texture_adjust.h"
#include "imaging/processing_buffers.h"
#include "layers/layer_record.h"
#include "layers/view_state.h"
#include "mask/mask_state.h"
#include "mask/mask_values.h"

namespace plr {

constexpr int kLayerSlots = 64;
constexpr std::int32_t kMaxPageSide = 10000;

struct Page {
    void* ownerWindow = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowValues = 0;  // width * 4
    std::int32_t maxBrushSize = 0;
    std::int32_t brushRowValues = 0;  // maxBrushSize * 4
    std::int32_t reserved = 0;
    View view;

    LayerRecord layers[kLayerSlots];
    std::int32_t currentLayerIndex = 0;
    LayerRecord* currentLayer = nullptr;  // names a slot of `layers`, or none
    std::int32_t topLayerIndex = 1;
    LayerRecord* traceLayer = &layers[0];
    std::uint8_t tracingMode = 0;
    // "alphaLayerOpacity": the alpha several alpha blend modes give their pixels.
    std::uint16_t alphaLayerOpacity = 0xFFFF;

    MaskState mask;
    History history;
    LayerRecord paintLayer;
    Block<std::uint8_t> texture;  // paper texture, width * height bytes, or none
    BrushBuffers brush;
    ProcessingBuffers processing;
    RandomByteTable randomTables[2];

    Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    std::size_t pixelCount() const noexcept {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    // Slot `index` when it is 0..63, else null: callers treat that as an empty slot.
    LayerRecord* slot(std::int32_t index) noexcept {
        return index >= 0 && index < kLayerSlots ? &layers[index] : nullptr;
    }
    // Slot `index` when it has page-sized pixels, else null.
    LayerRecord* pageLayer(std::int32_t index) noexcept {
        LayerRecord* l = slot(index);
        return l && l->hasPixelsOfSize(width, height) ? l : nullptr;
    }
    // The current layer when it has page-sized pixels, else null.
    LayerRecord* currentPageLayer() noexcept {
        return currentLayer && currentLayer->hasPixelsOfSize(width, height) ? currentLayer : nullptr;
    }
    std::uint16_t* maskIfEnabled() noexcept {
        return mask.enabled && mask.plane.size() == pixelCount() ? mask.plane.data() : nullptr;
    }
    std::uint8_t* textureIfPresent() noexcept {
        return texture.size() == pixelCount() && !texture.empty() ? texture.data() : nullptr;
    }
    MaskPage maskPage() noexcept {
        LayerRecord* layer = currentPageLayer();
        return {mask, width, height, layer ? layer->pixels.data() : nullptr, currentLayer && currentLayer->hasPixels()};
    }
    PageCoverage coverage() noexcept { return {textureIfPresent(), maskIfEnabled(), width, height}; }
};

}  // namespace plr
