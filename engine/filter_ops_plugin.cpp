// "Adobe Compatible Plug-ins": the plug-in module named by the host's text
// runs on the current layer. Plug-ins see blue-green-red-alpha pixels; the
// result goes back through the mask, and in colour-only mode the layer keeps
// its alpha whatever the layer's own alpha lock says.
#include "adapters/imaging/raster.h"
#include "engine/filter_ops.h"
#include "engine/page.h"
#include "platform/plugins.h"

namespace plr::filter_ops {

bool plugInFilter(FilterRun& r) {
    Page& page = r.page;
    refreshSource(r);
    ProcessingBuffers& b = page.processing;
    const std::int32_t w = r.width(), h = r.height();
    imaging_lib::RGBAToBGRA(b.src32.data(), w, h, w * 4);
    const platform::PluginImage source{w, h, b.src32.data(), w};
    const platform::PluginImage destination{w, h, b.dst32.data(), w};
    const bool colourOnly = r.optionByte(3) == 1;
    const auto mode = colourOnly ? platform::PluginMode::Colour : platform::PluginMode::ColourAndAlpha;
    if (platform::runPlugin(source, destination, r.call.text, page.ownerWindow, mode) != 0) return false;
    imaging_lib::RGBAToBGRA(b.dst32.data(), w, h, w * 4);
    LayerRecord* layer = page.currentLayer;
    if (!layer) return false;
    // The layer's own lock comes back even when the load fails half way.
    struct KeptLock {
        LayerRecord& layer;
        std::uint8_t value;
        ~KeptLock() { layer.alphaLock = value; }
    } kept{*layer, layer->alphaLock};
    if (colourOnly) layer->alphaLock = 1;
    maskedLoad32(r, b.dst32.data());
    return false;
}

}  // namespace plr::filter_ops
