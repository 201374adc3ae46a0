#pragma once
#include <cstdint>

namespace plr {

struct PageLayers;

// The old RGBA32 layer load, kept for hosts that still call it: optionally
// folds mask and texture into the source's alpha (the source is changed),
// clears the CURRENT layer through the mask, then pastes the page-sized
// source onto slot `index` in Normal mode at opacity 255 with the slot's
// alpha lock. Raises on allocation failure (run under the guard).
void loadRGBA32LayerLegacy(PageLayers& page, std::uint8_t* source, std::int32_t index, std::int32_t maskStride,
                           std::int32_t count, std::int32_t adjust);

}  // namespace plr
