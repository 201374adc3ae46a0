#include "engine/page_filters.h"

#include <algorithm>

#include "layers/layer_load.h"
#include "engine/page.h"
#include "core/sizes.h"
#include "layers/layer_options.h"

namespace plr {
namespace {

bool currentLayerExtents(void* context, Rect& box) {
    Page& page = *static_cast<Page*>(context);
    return page.currentPageLayer() && findDataExtents(page, page.currentLayerIndex, box);
}

// Through mask and texture into the current layer; the load reads no more of
// the picture than it has.
void loadIntoCurrentLayer(void* context, const std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    Page& page = *static_cast<Page*>(context);
    if (LayerRecord* layer = page.currentLayer)
        loadRGBA32Layer(page, rgba, width * 4, page.currentLayerIndex, 0, 0,
                        std::min<std::int32_t>(layer->width, width), std::min<std::int32_t>(layer->height, height),
                        true);
}

}  // namespace

FilterSurroundings pageSurroundings(Page& page) noexcept {
    FilterSurroundings s;
    const Color16& c = page.brush.dabColor;
    s.dabColour[0] = static_cast<std::uint8_t>(c.red >> 8);
    s.dabColour[1] = static_cast<std::uint8_t>(c.green >> 8);
    s.dabColour[2] = static_cast<std::uint8_t>(c.blue >> 8);
    s.layerExtents = currentLayerExtents;
    s.takeThresholded = loadIntoCurrentLayer;
    s.context = &page;
    // The mask plane has the page's size only.
    if (!page.mask.plane.empty() && page.mask.plane.size() == page.pixelCount()) {
        s.maskPlane = page.mask.plane.data();
        s.maskWidth = page.width;
        s.maskHeight = page.height;
    }
    return s;
}

void effectOnBuffers(FilterState& state, Page& page, const char* name, std::int32_t keepDestination,
                     const EffectArguments& args) {
    const std::size_t bytes = saturatingProduct(page.pixelCount(), 4);
    if (page.processing.src32.size() < bytes || page.processing.dst32.size() < bytes) return;
    if (page.processing.src32.empty() || page.processing.dst32.empty()) return;
    effectOnImage(state, page.processing.src32.data(), page.processing.dst32.data(), page.width, page.height, name,
                  keepDestination, args, pageSurroundings(page));
}

}  // namespace plr
