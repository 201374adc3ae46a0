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
    return guardedExport<exported::PLR_CreatePaintLayer>([&] { return createPaintLayer(page(), opacityPercent, modeName); });
}

void PLR_ClearPaintLayer(void) noexcept {
    guardedExport<exported::PLR_ClearPaintLayer>([] { clearPaintLayer(page()); });
}

void PLR_ClearPaintLayer_old(void) noexcept {
    guardedExport<exported::PLR_ClearPaintLayer_old>([] { clearPaintLayerOld(page()); });
}

void PLR_DeletePaintLayer(void) noexcept {
    guardedExport<exported::PLR_DeletePaintLayer>([] { deletePaintLayer(page()); });
}

void PLR_MergePaintLayer(int32_t targetIndex) noexcept {
    guardedExport<exported::PLR_MergePaintLayer>([&] { mergePaintLayer(page(), targetIndex); });
}

void PLR_BlurPaintLayerAlpha(void) noexcept {
    guardedExport<exported::PLR_BlurPaintLayerAlpha>([] { blurPaintLayerAlpha(page()); });
}

void PLR_SetAlphaLayerOpacity(int32_t percent) noexcept { setAlphaLayerOpacity(page(), percent); }

void PLR_SetLayerAlpha(int32_t index, int32_t alpha) noexcept {
    guardedExport<exported::PLR_SetLayerAlpha>([&] { setLayerAlpha(page(), index, static_cast<uint16_t>(alpha)); });
}

void PLR_InvertAlpha(int32_t index) noexcept {
    guardedExport<exported::PLR_InvertAlpha>([&] { invertLayerAlpha(page(), index); });
}

void PLR_NormalizeLayerAlpha(int32_t index) noexcept {
    guardedExport<exported::PLR_NormalizeLayerAlpha>([&] { normalizeLayerAlpha(page(), index); });
}

void PLR_SetColorAlpha(int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_SetColorAlpha>([&] { setColorAlpha(page(), red, green, blue); });
}

void PLR_InvertAlpha_RGBA32(uint8_t* rgba) noexcept {
    guardedExport<exported::PLR_InvertAlpha_RGBA32>([&] {
        if (rgba) invertAlphaRGBA32(rgba, page().pixelCount());
    });
}

void PLR_SetColorAlphaRGBABuf(uint8_t* rgba, int32_t width, int32_t height, int32_t red, int32_t green,
                              int32_t blue) noexcept {
    guardedExport<exported::PLR_SetColorAlphaRGBABuf>([&] {
        if (rgba) setColorWhereTransparent(rgba, bufferPixels(width, height), red, green, blue);
    });
}

void PLR_SetColorRGBABuf(uint8_t* rgba, int32_t width, int32_t height, int32_t red, int32_t green,
                         int32_t blue) noexcept {
    guardedExport<exported::PLR_SetColorRGBABuf>([&] {
        if (rgba) setColorKeepAlpha(rgba, bufferPixels(width, height), red, green, blue);
    });
}

void PLR_SetAlphaFromRGBAImageColor(uint8_t* rgba, int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_SetAlphaFromRGBAImageColor>([&] {
        if (rgba) clearAlphaOfColor(rgba, page().pixelCount(), red, green, blue);
    });
}

}  // extern "C"
