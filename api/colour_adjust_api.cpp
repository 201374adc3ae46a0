// Hue, saturation and lightness/value adjustment of host RGBA32 buffers.
#include "api/export.h"
#include "core/sizes.h"
#include "imaging/hsl_adjust.h"

using namespace plr;

namespace {

// Packed width * height pixels; sizes whose byte count cannot be addressed are refused.
bool walkable(const uint8_t* buffer, int32_t width, int32_t height) noexcept {
    if (!buffer || width <= 0 || height <= 0) return false;
    return saturatingProduct(static_cast<uint64_t>(width), static_cast<uint64_t>(height), 4) != SIZE_MAX;
}

}  // namespace

extern "C" {

void PLR_ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                 int32_t saturationShift, int32_t lightnessShift) noexcept {
    if (!walkable(buffer, width, height)) return;
    guardedExport<exported::PLR_ProcessBuffer_HSLAdjust>([&] { hslAdjust(buffer, width, height, ColourShift{hueShift, saturationShift, lightnessShift}); });
}

void PLR_ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hueShift,
                                 int32_t saturationShift, int32_t valueShift) noexcept {
    if (!walkable(buffer, width, height)) return;
    guardedExport<exported::PLR_ProcessBuffer_HSVAdjust>([&] { hsvAdjust(buffer, width, height, ColourShift{hueShift, saturationShift, valueShift}); });
}

}  // extern "C"
