// Layer pixel data: loads into layers. Results: 1 when the load ran, 0 when
// it was refused (null source, slot outside 0..63 or without page-sized
// pixels, no current layer) or failed; PLR_SetRGBA64Layer answers the page
// height instead of 1.
#include "api/export.h"
#include "layers/layer_compressed.h"
#include "layers/layer_load.h"

using namespace plr;

extern "C" {

int32_t PLR_LoadRGBA32Layer(const uint8_t* source, int32_t stride, int32_t layer, int32_t x, int32_t y, int32_t width,
                            int32_t height, int32_t useMaskAndTexture) noexcept {
    return guardedExport<exported::PLR_LoadRGBA32Layer>([&] {
        LayerRecord* l = page().slot(layer);
        return l && loadRGBA32IntoLayer(page(), *l, source, stride, x, y, width, height, useMaskAndTexture != 0);
    });
}

int32_t PLR_LoadRGBA32(const uint8_t* source, int32_t stride, int32_t useMaskAndTexture) noexcept {
    return guardedExport<exported::PLR_LoadRGBA32>([&] {
        LayerRecord* l = page().currentLayer;
        return l && loadRGBA32IntoLayer(page(), *l, source, stride, 0, 0, l->width, l->height, useMaskAndTexture != 0);
    });
}

int32_t PLR_LoadRGBA32Into(const uint8_t* source, int32_t stride, int32_t layer, int32_t x, int32_t y, int32_t width,
                           int32_t height) noexcept {
    return guardedExport<exported::PLR_LoadRGBA32Into>([&] {
        LayerRecord* l = page().slot(layer);
        return l && loadRGBA32IntoLayer(page(), *l, source, stride, x, y, width, height, true);
    });
}

int32_t PLR_LoadRGBA32LayerCompressed(const uint8_t* source, int32_t /*unused*/, int32_t length,
                                      int32_t layer) noexcept {
    return guardedExport<exported::PLR_LoadRGBA32LayerCompressed>([&] { return loadCompressedLayer(page(), source, length, layer); });
}

int32_t PLR_Load(const uint8_t* source, int32_t stride, int32_t width, int32_t height) noexcept {
    return guardedExport<exported::PLR_Load>([&] { return loadBGR24(page(), source, stride, width, height); });
}

int32_t PLR_LoadRGB24(const uint8_t* source, int32_t stride, int32_t useMaskAndTexture) noexcept {
    return guardedExport<exported::PLR_LoadRGB24>([&] { return loadRGB24(page(), source, stride, useMaskAndTexture != 0); });
}

int32_t PLR_LoadRGB24ToAlpha(const uint8_t* source, int32_t stride, int32_t useMaskAndTexture) noexcept {
    return guardedExport<exported::PLR_LoadRGB24ToAlpha>([&] { return loadRGB24ToAlpha(page(), source, stride, useMaskAndTexture != 0); });
}

int32_t PLR_SetRGBA64Layer(const void* source, int32_t stride, int32_t layer) noexcept {
    return guardedExport<exported::PLR_SetRGBA64Layer>([&] {
        return setRGBA64Layer(page(), static_cast<const uint8_t*>(source), stride, layer) ? page().height : 0;
    });
}

int32_t PLR_SetLayerData(const void* source, int32_t layer) noexcept {
    return guardedExport<exported::PLR_SetLayerData>([&] { return setLayerData(page(), static_cast<const uint8_t*>(source), layer); });
}

}  // extern "C"
