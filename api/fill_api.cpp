// Paint bucket, magic wand, mask rectangle and ellipse, and the flood map
// painted into an exchange buffer.
#include "api/export.h"
#include "engine/page_fill.h"
#include "mask/flood_map.h"

using namespace plr;

extern "C" {

void PLR_IPLFloodFill(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, int32_t tolerance,
                      const char* mode) noexcept {
    guardedExport<exported::PLR_IPLFloodFill>([&] { floodFillPage(page(), red, green, blue, x, y, tolerance, mode); });
}

void PLR_IPLMaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t strength, const char* mode) noexcept {
    guardedExport<exported::PLR_IPLMaskWand>([&] { maskWand(page(), x, y, tolerance, strength, mode); });
}

void PLR_IPLMaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength) noexcept {
    guardedExport<exported::PLR_IPLMaskEllipse>([&] { maskEllipse(page(), x0, y0, x1, y1, strength); });
}

void PLR_IPLMaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength) noexcept {
    guardedExport<exported::PLR_IPLMaskRectangle>([&] { maskRectangle(page(), x0, y0, x1, y1, strength); });
}

void PLR_ColorRGBA32FromFloodMask(uint8_t* rgba, const uint8_t* floodMap, int32_t red, int32_t green, int32_t blue,
                                  int32_t alpha) noexcept {
    if (!rgba || !floodMap) return;
    guardedExport<exported::PLR_ColorRGBA32FromFloodMask>(
        [&] { paintFloodMap(rgba, floodMap, page().pixelCount(), red, green, blue, alpha); });
}

}  // extern "C"
