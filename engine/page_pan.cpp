// Pan: the 32-bit source buffer shifted into the destination buffer, then
// merged into the current layer. Edge mode 0 lays the source over a
// transparent buffer, so what the shift uncovers is transparent black; any
// other mode goes through the effects library's offset transform, whose
// edge mode (1 wrap, 2 smear the edge, 3 mirror, others: the fill colour)
// decides what the uncovered part shows.
#include <cstring>

#include "adapters/effects/transforms.h"
#include "adapters/imaging/raster.h"
#include "core/failure.h"
#include "engine/engine.h"
#include "engine/page.h"
#include "engine/page_geometry.h"
#include "imaging/mask_texture_adjust.h"
#include "layers/blend_modes.h"
#include "layers/merge_rgba32.h"

namespace plr {
namespace {

bool pageSized(const Block<std::uint8_t>& buffer, const Page& page) noexcept {
    return !buffer.empty() && page.pixelCount() > 0 && buffer.size() == page.pixelCount() * 4;
}

bool shift(Page& page, std::int32_t dx, std::int32_t dy, std::int32_t edgeMode, std::uint32_t fillColour) {
    const std::int32_t w = page.width, h = page.height;
    const std::uint8_t* src = page.processing.src32.data();
    std::uint8_t* dst = page.processing.dst32.data();
    if (edgeMode == 0) {
        std::memset(dst, 0, page.processing.dst32.size());
        return imaging_lib::OverlayImage(src, w, h, 4, w * 4, dst, w, h, w * 4, dx, dy, 1.0) != 0;
    }
    effect_lib::TransformList& list = engine().effectLibrary.transforms;
    effect_lib::ClearAllTransforms(list);
    return effect_lib::AddOffsetTransform(list, w, h, dx, dy, edgeMode) &&
           effect_lib::TransformProcess(list, src, w, h, w * 4, dst, w * 4, 4, 0, fillColour);
}

}  // namespace

void panPage(Page& page, std::int32_t dx, std::int32_t dy, std::int32_t edgeMode, std::uint32_t fillColour,
             bool applyMask) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !pageSized(page.processing.src32, page) || !pageSized(page.processing.dst32, page)) return;
    if (!shift(page, dx, dy, edgeMode, fillColour)) return;
    std::uint8_t* dst = page.processing.dst32.data();
    if (applyMask) adjustRGBA32ByMaskAndTexture(page.coverage(), dst, page.width, page.height);
    need(mergeRGBA32IntoLayer(page, dst, *layer, kModeNormal, 0, 255, layer->alphaLock != 0), "pan merge");
}

}  // namespace plr
