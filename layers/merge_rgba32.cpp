#include "layers/merge_rgba32.h"

#include "core/block.h"
#include "core/parallel_rows.h"
#include "core/sizes.h"
#include "layers/blend_bands.h"
#include "layers/page_layers.h"
#include "layers/blend_request.h"

namespace plr {

bool mergeRGBA32IntoLayer(PageLayers& page, const std::uint8_t* image, LayerRecord& target, std::int32_t mode,
                          std::int32_t maskMode, std::int32_t opacity, bool alphaLock) noexcept {
    if (!image || !target.hasPixelsOfSize(page.width, page.height)) return false;
    const std::size_t values = saturatingProduct(page.pixelCount(), 4);
    Block<std::uint16_t> plane;
    if (!plane.allocate(values)) return false;
    std::uint16_t* p = plane.data();
    const auto rowValues = static_cast<std::size_t>(page.rowValues);
    parallelRows(page.height, minBandRows(std::int64_t{page.rowValues} * 2), [&](std::int32_t y0, std::int32_t y1) {
        for (std::size_t i = std::size_t(y0) * rowValues; i < std::size_t(y1) * rowValues; ++i)
            p[i] = static_cast<std::uint16_t>(image[i] << 8);
    });
    BlendRequest rq;
    rq.source = p;
    rq.width = page.width;
    rq.height = page.height;
    rq.sourceRowValues = page.rowValues;
    rq.destination = target.pixels.data();
    rq.destRowValues = page.rowValues;
    rq.mode = mode;
    rq.maskMode = maskMode;
    rq.opacity = opacity;
    rq.alphaLock = alphaLock;
    rq.alphaLayerOpacity = page.alphaLayerOpacity;
    blendInBands(rq);
    return true;
}

}  // namespace plr
