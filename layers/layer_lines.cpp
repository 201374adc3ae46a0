#include "layers/layer_lines.h"

#include "core/rle_codec.h"
#include "layers/page_layers.h"

namespace plr {
namespace {

// Byte address of page row `row` of a layer, or null.
std::uint8_t* layerRow(PageLayers& page, std::int32_t layerIndex, std::int32_t row) noexcept {
    LayerRecord* l = page.pageLayer(layerIndex);
    if (!l || row < 0 || row >= page.height || page.width == 0) return nullptr;
    return reinterpret_cast<std::uint8_t*>(l->pixels.data() + static_cast<std::size_t>(row) * page.width * 4);
}

std::uint8_t* maskRow(PageLayers& page, std::int32_t row) noexcept {
    if (page.mask.plane.empty() || page.mask.plane.size() != page.pixelCount()) return nullptr;
    if (row < 0 || row >= page.height) return nullptr;
    return reinterpret_cast<std::uint8_t*>(page.mask.plane.data() + static_cast<std::size_t>(row) * page.width);
}

}  // namespace

std::size_t getLayerLineRuns(PageLayers& page, std::uint8_t* dst, std::int32_t layerIndex, std::int32_t row) noexcept {
    const std::uint8_t* r = layerRow(page, layerIndex, row);
    return r && dst ? encodeRGBA32Runs(r, static_cast<std::size_t>(page.width), dst) : 0;
}

std::size_t putLayerLineRuns(PageLayers& page, const std::uint8_t* src, std::int32_t layerIndex, std::int32_t row) noexcept {
    std::uint8_t* r = layerRow(page, layerIndex, row);
    if (!r || !src) return 0;
    const std::size_t n = static_cast<std::size_t>(page.width);
    return decodeRGBA32Runs(src, rgba32RunBudget(n), r, n);
}

std::size_t getMaskLineRuns(PageLayers& page, std::uint8_t* dst, std::int32_t row) noexcept {
    const std::uint8_t* r = maskRow(page, row);
    return r && dst ? encodeG8Runs(r, static_cast<std::size_t>(page.width), dst) : 0;
}

std::size_t putMaskLineRuns(PageLayers& page, const std::uint8_t* src, std::int32_t row) noexcept {
    std::uint8_t* r = maskRow(page, row);
    if (!r || !src) return 0;
    const std::size_t n = static_cast<std::size_t>(page.width);
    return decodeG8Runs(src, g8RunBudget(n), r, n);
}

}  // namespace plr
