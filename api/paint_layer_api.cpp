// Paint layer and alpha operations.
#include "api/export.h"
#include "brush/alpha_ops.h"
#include "brush/paint_layer.h"
#include "core/sizes.h"

using namespace plr;

namespace {
// Pixels of a host buffer of width x height, 0 for sizes below 1.
std::size_t bufferPixels(int32_t width, int32_t height) noexcept {
    if (width <= 0 || height <= 0) return 0;
    return saturatingProduct(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
}
}  // namespace

extern "C" {

int32_t PLR_CreatePaintLayer(int32_t opacityPercent, const char* modeName) noexcept {
    return guarded("CreatePaintLayer", int32_t{0}, [&] { return createPaintLayer(page(), opacityPercent, modeName); });
}

void PLR_ClearPaintLayer(void) noexcept {
    guardedVoid("ClearPaintLayer", [] { clearPaintLayer(page()); });
}

void PLR_ClearPaintLayer_old(void) noexcept {
    guardedVoid("ClearPaintLayer", [] { clearPaintLayerOld(page()); });
}

void PLR_DeletePaintLayer(void) noexcept {
    guardedVoid("DeletePaintLayer", [] { deletePaintLayer(page()); });
}

void PLR_MergePaintLayer(int32_t targetIndex) noexcept {
    guardedVoid("MergePaintLayer", [&] { mergePaintLayer(page(), targetIndex); });
}

void PLR_BlurPaintLayerAlpha(void) noexcept {
    guardedVoid("BlurPaintLayerAlpha", [] { blurPaintLayerAlpha(page()); });
}

void PLR_SetAlphaLayerOpacity(int32_t percent) noexcept { setAlphaLayerOpacity(page(), percent); }

void PLR_SetLayerAlpha(int32_t index, int32_t alpha) noexcept {
    guardedVoid("SetLayerAlpha", [&] { setLayerAlpha(page(), index, static_cast<uint16_t>(alpha)); });
}

void PLR_InvertAlpha(int32_t index) noexcept {
    guardedVoid("InvertAlpha", [&] { invertLayerAlpha(page(), index); });
}

void PLR_NormalizeLayerAlpha(int32_t index) noexcept {
    guardedVoid("NormalizeLayerAlpha", [&] { normalizeLayerAlpha(page(), index); });
}

void PLR_SetColorAlpha(int32_t red, int32_t green, int32_t blue) noexcept {
    guardedVoid("SetColorAlpha", [&] { setColorAlpha(page(), red, green, blue); });
}

void PLR_InvertAlpha_RGBA32(uint8_t* rgba) noexcept {
    guardedVoid("InvertAlpha_RGBA32", [&] {
        if (rgba) invertAlphaRGBA32(rgba, page().pixelCount());
    });
}

void PLR_SetColorAlphaRGBABuf(uint8_t* rgba, int32_t width, int32_t height, int32_t red, int32_t green,
                              int32_t blue) noexcept {
    guardedVoid("SetColorAlphaRGBABuf", [&] {
        if (rgba) setColorWhereTransparent(rgba, bufferPixels(width, height), red, green, blue);
    });
}

void PLR_SetColorRGBABuf(uint8_t* rgba, int32_t width, int32_t height, int32_t red, int32_t green,
                         int32_t blue) noexcept {
    guardedVoid("SetColorRGBABuf", [&] {
        if (rgba) setColorKeepAlpha(rgba, bufferPixels(width, height), red, green, blue);
    });
}

void PLR_SetAlphaFromRGBAImageColor(uint8_t* rgba, int32_t red, int32_t green, int32_t blue) noexcept {
    guardedVoid("SetAlphaFromRGBAImageColor", [&] {
        if (rgba) clearAlphaOfColor(rgba, page().pixelCount(), red, green, blue);
    });
}

}  // extern "C"
