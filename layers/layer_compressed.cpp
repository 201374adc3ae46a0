#include "layers/layer_compressed.h"

#include "adapters/imaging/imaging_library.h"
#include "core/block.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "layers/page_layers.h"
#include "layers/layer_load.h"
#include "layers/layer_read.h"

namespace plr {
namespace {

// Bytes of the packed RGBA32 form of the page, 0 when it has no pixels.
// A page is at most 10000 x 10000, so this fits the library's 32-bit lengths.
std::size_t packedBytes(const PageLayers& page) noexcept {
    return saturatingProduct(static_cast<std::uint64_t>(page.width), static_cast<std::uint64_t>(page.height), 4);
}

}  // namespace

bool loadCompressedLayer(PageLayers& page, const std::uint8_t* src, std::int32_t length, std::int32_t layerIndex) {
    LayerRecord* layer = page.pageLayer(layerIndex);  // bytes == 0 below refuses a page of size 0
    const std::size_t bytes = packedBytes(page);
    if (!layer || !src || length <= 0 || bytes == 0 || bytes > UINT32_MAX) return false;
    Block<std::uint8_t> packed;
    need(packed.allocate(bytes));
    const std::uint32_t got =
        imaging_lib::ZInflateBuffer(src, static_cast<std::uint32_t>(length), packed.data(), static_cast<std::uint32_t>(bytes));
    if (got != bytes) return false;
    return loadRGBA32IntoLayer(page, *layer, packed.data(), page.width * 4, 0, 0, layer->width, layer->height, false);
}

std::uint32_t getCompressedLayer(PageLayers& page, std::uint8_t* dst, std::int32_t capacity, std::int32_t layerIndex,
                                 std::int32_t option) {
    LayerRecord* layer = page.pageLayer(layerIndex);  // bytes == 0 below refuses a page of size 0
    const std::size_t bytes = packedBytes(page);
    if (!layer || !dst || capacity <= 0 || bytes == 0 || bytes > UINT32_MAX) return 0;
    Block<std::uint8_t> packed;
    need(packed.allocate(bytes));
    readRGBA32(page, layer, packed.data(), page.width * 4);
    return imaging_lib::ZDeflateBuffer(packed.data(), static_cast<std::uint32_t>(bytes), dst,
                               static_cast<std::uint32_t>(capacity), option);
}

}  // namespace plr
