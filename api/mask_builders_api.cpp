// Mask builders from page-sized exchange buffers, the mask applied to alpha,
// the alpha-range replace and the RGB/RGBA repacking operations.
#include "api/export.h"
#include "core/sizes.h"
#include "mask/builders.h"
#include "mask/mask_apply.h"
#include "mask/mask_values.h"
#include "mask/repack.h"

using namespace plr;

namespace {

// Runs build(mask, pixel count) when the page has a page-sized mask plane and
// every buffer the builder reads is present.
template <class Export, class F>
void build(bool buffersPresent, F&& body) noexcept {
    Page& p = page();
    std::uint16_t* mask = pageMask(p.maskPage());
    if (!mask || !buffersPresent) return;
    guardedExport<Export>([&] { body(mask, p.pixelCount()); });
}

// width * height pixels of a host buffer pair, or 0 when either is missing or
// the size cannot be addressed.
std::size_t repackCount(const void* a, const void* b, int32_t width, int32_t height) noexcept {
    if (!a || !b || width <= 0 || height <= 0) return 0;
    const std::size_t n = saturatingProduct(static_cast<uint64_t>(width), static_cast<uint64_t>(height), 4);
    return n == SIZE_MAX ? 0 : static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

extern "C" {

void PLR_CreateMaskFromDiff_RGBA32(const uint8_t* imageA, const uint8_t* imageB, int32_t value) noexcept {
    build<exported::PLR_CreateMaskFromDiff_RGBA32>(imageA && imageB, [&](uint16_t* m, std::size_t n) {
        maskFromDiff(m, n, imageA, imageB, static_cast<uint16_t>(value));
    });
}

void PLR_CreateMaskFromRGBAImageColor(const uint8_t* rgba, int32_t red, int32_t green, int32_t blue,
                                      int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageColor>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromColourRGBA(m, n, rgba, red, green, blue, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromRGB24ImageColor(const uint8_t* rgb, int32_t red, int32_t green, int32_t blue,
                                       int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGB24ImageColor>(rgb, [&](uint16_t* m, std::size_t n) {
        maskFromColourRGB24(m, n, rgb, red, green, blue, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromFloodMask(const uint8_t* floodMap, int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromFloodMask>(floodMap,
          [&](uint16_t* m, std::size_t n) { maskFromFloodMap(m, n, floodMap, strengthToMask(strength)); });
}

void PLR_CreateMaskFromRGBAImageColorRange(const uint8_t* rgba, int32_t red, int32_t green, int32_t blue,
                                           int32_t tolerance, int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageColorRange>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromColourRange(m, n, rgba, red, green, blue, tolerance, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromRGBAImageAlphaRange(const uint8_t* rgba, int32_t alpha, int32_t tolerance,
                                           int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageAlphaRange>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromAlphaRange(m, n, rgba, alpha, tolerance, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromRGBAImageLuminanceRange(const uint8_t* rgba, int32_t red, int32_t green, int32_t blue,
                                               int32_t tolerance, int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageLuminanceRange>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromLuminanceRange(m, n, rgba, red, green, blue, tolerance, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromRGBAImageHueRange(const uint8_t* rgba, int32_t red, int32_t green, int32_t blue,
                                         int32_t tolerance, int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageHueRange>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromHueRange(m, n, rgba, red, green, blue, tolerance, strengthToMask(strength));
    });
}

void PLR_CreateMaskFromRGBAImageHSLRange(const uint8_t* rgba, int32_t red, int32_t green, int32_t blue,
                                         double hueTolerance, double saturationTolerance,
                                         double lightnessTolerance, int32_t strength) noexcept {
    build<exported::PLR_CreateMaskFromRGBAImageHSLRange>(rgba, [&](uint16_t* m, std::size_t n) {
        maskFromHslRange(m, n, rgba, red, green, blue, hueTolerance, saturationTolerance, lightnessTolerance,
                         strengthToMask(strength));
    });
}

void PLR_ApplyMaskToAlphaRect_RGBA32(uint8_t* rgba, int32_t stride, int32_t x0, int32_t y0, int32_t x1,
                                     int32_t y1) noexcept {
    guardedExport<exported::PLR_ApplyMaskToAlphaRect_RGBA32>([&] { applyMaskToAlphaRect(page().maskPage(), rgba, stride, x0, y0, x1, y1); });
}

void PLR_ApplyMaskToAlpha_RGBA32(uint8_t* rgba) noexcept {
    guardedExport<exported::PLR_ApplyMaskToAlpha_RGBA32>([&] { applyMaskToAlpha(page().maskPage(), rgba); });
}

void PLR_ReplaceFromRGBAImageAlphaRange(uint8_t* rgba, int32_t alpha, int32_t tolerance, int32_t red, int32_t green,
                                        int32_t blue, int32_t newAlpha) noexcept {
    if (!rgba) return;
    guardedExport<exported::PLR_ReplaceFromRGBAImageAlphaRange>([&] {
        replaceAlphaRange(rgba, page().pixelCount(), alpha, tolerance, red, green, blue, newAlpha);
    });
}

void PLR_RGBAlphaToRGB(uint8_t* destinationRGB, int32_t width, int32_t height, const uint8_t* sourceRGBA) noexcept {
    const std::size_t n = repackCount(destinationRGB, sourceRGBA, width, height);
    guardedExport<exported::PLR_RGBAlphaToRGB>([&] { rgbAlphaToRgb(destinationRGB, n, sourceRGBA); });
}

void PLR_RGBToRGBAlpha(uint8_t* destinationRGBA, int32_t width, int32_t height, const uint8_t* sourceRGB) noexcept {
    const std::size_t n = repackCount(destinationRGBA, sourceRGB, width, height);
    guardedExport<exported::PLR_RGBToRGBAlpha>([&] { rgbToRgbAlpha(destinationRGBA, n, sourceRGB); });
}

void PLR_RGBToRGBA(uint8_t* destinationRGBA, int32_t width, int32_t height, const uint8_t* sourceRGB) noexcept {
    const std::size_t n = repackCount(destinationRGBA, sourceRGB, width, height);
    guardedExport<exported::PLR_RGBToRGBA>([&] { rgbToRgba(destinationRGBA, n, sourceRGB); });
}

void PLR_RGBAToRGB(uint8_t* destinationRGB, int32_t width, int32_t height, const uint8_t* sourceRGBA) noexcept {
    const std::size_t n = repackCount(destinationRGB, sourceRGBA, width, height);
    guardedExport<exported::PLR_RGBAToRGB>([&] { rgbaToRgb(destinationRGB, n, sourceRGBA); });
}

}  // extern "C"
