#include "engine/displacement_bump.h"

#include <algorithm>

#include "adapters/effects/displacement.h"
#include "adapters/imaging/raster_grey.h"
#include "brush/source_image.h"
#include "core/block.h"
#include "core/failure.h"
#include "engine/page.h"
#include "engine/texture_tiles.h"
#include "imaging/alpha_premultiply.h"
#include "layers/layer_load.h"

namespace plr {

void displacementBump(Page& page, const char* path, double amount, std::uint32_t fillColour) {
    const std::int32_t w = page.width, h = page.height;
    const std::size_t n = std::max<std::size_t>(page.pixelCount(), 1);
    Block<std::uint8_t> map;
    need(map.allocate(n * 4));
    formats::RgbaImage tile;
    if (!renderScriptSource(path, tile)) return;
    tileOverPicture(tile, map.data(), w, h);
    Block<std::uint8_t> plane;
    need(plane.allocate(n));
    ProcessingBuffers& b = page.processing;
    if (b.src32.empty() || b.dst32.empty() || w < 1 || h < 1) return;
    if (!imaging_lib::ImageToGrayScale8Bit(map.data(), w, h, 4, w * 4, plane.data(), w, 0)) return;
    if (!effect_lib::BumpMapDisplacement(b.src32.data(), w, h, w * 4, b.dst32.data(), w * 4, amount, plane.data(), w,
                                         h, 1, fillColour))
        return;
    unpremultiplyRGBA32(b.dst32.data(), page.pixelCount());
    if (LayerRecord* layer = page.currentLayer)
        loadRGBA32Layer(page, b.dst32.data(), w * 4, page.currentLayerIndex, 0, 0, layer->width, layer->height, true);
}

}  // namespace plr
