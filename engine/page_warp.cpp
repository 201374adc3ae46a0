#include "engine/page_warp.h"

#include "adapters/imaging/polygon_warp.h"
#include "engine/page.h"
#include "imaging/alpha_premultiply.h"
#include "layers/layer_load.h"

namespace plr {

void warpPointToPoint(Page& page, std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY) noexcept {
    ProcessingBuffers& b = page.processing;
    if (b.src32.empty() || b.dst32.empty()) return;
    const std::int32_t w = page.width, h = page.height;
    premultiplyRGBA32(b.src32.data(), page.pixelCount());
    if (!imaging_lib::PushImage(b.src32.data(), w, h, 4, w * 4, b.dst32.data(), w * 4, {fromX, fromY}, {toX, toY}, 0))
        return;
    unpremultiplyRGBA32(b.dst32.data(), page.pixelCount());
    if (LayerRecord* layer = page.currentLayer)
        loadRGBA32Layer(page, b.dst32.data(), w * 4, page.currentLayerIndex, 0, 0, layer->width, layer->height, true);
}

}  // namespace plr
