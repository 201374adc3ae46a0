#pragma once
// The layers the pixel data functions work on: a slot (or the current layer)
// holding pixels of the page's size, on a page that has pixels at all. A
// page of size 0 has nothing to load or read, so every transfer refuses it
// (answers 0) instead of reporting success for no work.
#include <cstdint>

#include "engine/page.h"

namespace plr {

inline bool isDataLayer(const Page& page, const LayerRecord* layer) noexcept {
    return layer && page.pixelCount() > 0 && layer->hasPixelsOfSize(page.width, page.height);
}
inline LayerRecord* dataLayer(Page& page, std::int32_t index) noexcept {
    LayerRecord* l = page.slot(index);
    return isDataLayer(page, l) ? l : nullptr;
}
inline LayerRecord* currentDataLayer(Page& page) noexcept {
    return isDataLayer(page, page.currentLayer) ? page.currentLayer : nullptr;
}

}  // namespace plr
