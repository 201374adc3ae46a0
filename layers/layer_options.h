#pragma once
// Layer options and slot housekeeping: options with the mode-name lookup,
// the top index, swapping, copying, data extents and the mask-layer lookup.
#include <cstdint>

#include "core/rect.h"

namespace plr {

struct PageLayers;
struct LayerRecord;

// The layer opacity (0..256) of a host percentage: percent x 2.56 truncated,
// the percentage first held to 0..100.
constexpr std::uint16_t opacityFromPercent(std::int32_t percent) noexcept {
    const std::int32_t p = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    return static_cast<std::uint16_t>(p * 256 / 100);
}

void setLayerOptions(PageLayers& page, std::int32_t index, std::int32_t visible, std::int32_t alphaLock,
                     std::int32_t percent, const char* modeName);
// 1, or the highest slot in 1..63 that has pixels.
std::int32_t highestUsedSlot(const PageLayers& page) noexcept;
void swapLayers(PageLayers& page, std::int32_t a, std::int32_t b) noexcept;
void copyLayerData(PageLayers& page, std::int32_t from, std::int32_t to) noexcept;

// The box around every pixel with non-zero alpha; empty when there is none.
// False (nothing found out) for a slot without page-sized pixels.
bool findDataExtents(PageLayers& page, std::int32_t index, Rect& out) noexcept;

// The Layer Mask layer that masks slot `index`: the first visible slot with
// pixels above it (up to topLayerIndex), when its mode is Layer Mask.
const LayerRecord* maskLayerOf(PageLayers& page, std::int32_t index) noexcept;

}  // namespace plr
