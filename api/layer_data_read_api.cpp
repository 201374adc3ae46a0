// Layer pixel data: reads out of layers. The page-sized reads answer the page
// height; the others 1. Every read answers 0 when refused (null destination,
// slot outside 0..63 or without page-sized pixels, no current layer) or failed.
#include "api/export.h"
#include "layers/layer_compressed.h"
#include "layers/layer_read.h"
#include "engine/page.h"

using namespace plr;

namespace {
int32_t heightIf(bool done) noexcept { return done ? page().height : 0; }
}  // namespace

extern "C" {

int32_t PLR_GetRGBA32Layer(uint8_t* destination, int32_t stride, int32_t layer) noexcept {
    return guardedExport<exported::PLR_GetRGBA32Layer>([&] { return heightIf(readRGBA32(page(), page().pageLayer(layer), destination, stride)); });
}

int32_t PLR_GetRGBA32(uint8_t* destination, int32_t stride) noexcept {
    return guardedExport<exported::PLR_GetRGBA32>([&] { return heightIf(readRGBA32(page(), page().currentPageLayer(), destination, stride)); });
}

// The library's result: the compressed size, 0 when it did not fit.
int32_t PLR_GetRGBA32LayerCompressed(uint8_t* destination, int32_t /*unused*/, int32_t capacity, int32_t layer,
                                     int32_t option) noexcept {
    return guardedExport<exported::PLR_GetRGBA32LayerCompressed>([&] {
        return static_cast<int32_t>(getCompressedLayer(page(), destination, capacity, layer, option));
    });
}

int32_t PLR_GetRGB24(uint8_t* destination, int32_t stride) noexcept {
    return guardedExport<exported::PLR_GetRGB24>([&] { return heightIf(readRGB24(page(), page().currentPageLayer(), destination, stride)); });
}

int32_t PLR_GetRGB24Layer(uint8_t* destination, int32_t stride, int32_t layer) noexcept {
    return guardedExport<exported::PLR_GetRGB24Layer>([&] { return heightIf(readRGB24(page(), page().pageLayer(layer), destination, stride)); });
}

int32_t PLR_GetRGB24FromAlpha(uint8_t* destination, int32_t stride) noexcept {
    return guardedExport<exported::PLR_GetRGB24FromAlpha>([&] { return heightIf(readAlphaAsRGB24(page(), page().currentPageLayer(), destination, stride)); });
}

int32_t PLR_GetRGBA64Layer(void* destination, int32_t stride, int32_t layer) noexcept {
    return guardedExport<exported::PLR_GetRGBA64Layer>([&] {
        return heightIf(readRGBA64(page(), page().pageLayer(layer), static_cast<uint8_t*>(destination), stride));
    });
}

int32_t PLR_GetRGBA64LayerRect(void* destination, int32_t stride, int32_t layer, int32_t x, int32_t y, int32_t width,
                               int32_t height) noexcept {
    return guardedExport<exported::PLR_GetRGBA64LayerRect>([&] {
        return readRGBA64Rect(page(), page().pageLayer(layer), static_cast<uint8_t*>(destination), stride, x, y, width,
                              height);
    });
}

int32_t PLR_GetLayerData(void* destination, int32_t layer) noexcept {
    return guardedExport<exported::PLR_GetLayerData>([&] { return readLayerData(page(), page().pageLayer(layer), static_cast<uint8_t*>(destination)); });
}

}  // extern "C"
