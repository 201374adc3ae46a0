#include "layers/legacy_load.h"

#include "core/failure.h"
#include "layers/page_layers.h"
#include "imaging/mask_texture_adjust.h"
#include "layers/layer_clear.h"
#include "layers/merge_rgba32.h"

namespace plr {

void loadRGBA32LayerLegacy(PageLayers& page, std::uint8_t* source, std::int32_t index, std::int32_t maskStride,
                           std::int32_t count, std::int32_t adjust) {
    LayerRecord* slot = page.pageLayer(index);
    if (!slot || !source) return;
    if (adjust & 0xFF) adjustRGBA32ByMaskAndTexture(page.coverage(), source, maskStride, count);
    clearMasked(page, 0, 0, 0, 0);
    // The paste's only failure is its temporary plane.
    need(mergeRGBA32IntoLayer(page, source, *slot, 0, 0, 255, slot->alphaLock != 0), "merge plane");
}

}  // namespace plr
