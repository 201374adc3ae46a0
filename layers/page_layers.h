#pragma once
// The page as the layers see it: its size, the 64 layer slots, the paint
// layer, the mask and the paper texture. The page (engine/page.h) extends this
// with the history, the brush and the processing buffers, level by level
// (PageLayers, PageHistory, PageBrush, Page), so a layer operation takes a
// PageLayers& and is handed the whole page without seeing the levels above.
#include <cstddef>
#include <cstdint>

#include "core/block.h"
#include "imaging/mask_texture_adjust.h"
#include "layers/layer_record.h"
#include "layers/view_state.h"
#include "mask/mask_state.h"
#include "mask/mask_values.h"

namespace plr {

constexpr int kLayerSlots = 64;
constexpr std::int32_t kMaxPageSide = 10000;

struct PageLayers {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowValues = 0;  // width * 4
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
    LayerRecord paintLayer;
    Block<std::uint8_t> texture;  // paper texture, width * height bytes, or none

    PageLayers() = default;
    PageLayers(const PageLayers&) = delete;
    PageLayers& operator=(const PageLayers&) = delete;

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
