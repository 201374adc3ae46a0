// Layer pixel data: single-pixel reads (no walk, no allocation: unguarded).
#include "api/export.h"
#include "history/history.h"
#include "layers/single_pixel.h"

using namespace plr;

namespace {
const uint16_t* plane16(const void* p) noexcept { return static_cast<const uint16_t*>(p); }
}  // namespace

extern "C" {

int32_t PLR_GetRed64(int32_t x, int32_t y) noexcept { return currentChannelAt(page(), x, y, 0); }
int32_t PLR_GetGreen64(int32_t x, int32_t y) noexcept { return currentChannelAt(page(), x, y, 1); }
int32_t PLR_GetBlue64(int32_t x, int32_t y) noexcept { return currentChannelAt(page(), x, y, 2); }
int32_t PLR_GetAlpha64(int32_t x, int32_t y) noexcept { return currentChannelAt(page(), x, y, 3); }

uint32_t PLR_GetRGBAAt(int32_t x, int32_t y, const void* plane) noexcept {
    return rgbaValueAt(page(), plane16(plane), x, y);
}
uint32_t PLR_GetRGBAAtSurface(int32_t x, int32_t y) noexcept { return rgbaValueAt(page(), surfacePlane(page()), x, y); }
uint32_t PLR_GetRGBAAtUnderLayer(int32_t x, int32_t y) noexcept {
    return rgbaValueAt(page(), underLayerPlane(page()), x, y);
}
uint32_t PLR_GetRGBAAtTrace(int32_t x, int32_t y) noexcept { return rgbaValueAt(page(), tracePlane(page()), x, y); }
uint32_t PLR_GetRGBAAtLayer(int32_t x, int32_t y, int32_t layer) noexcept {
    return rgbaValueAt(page(), layerPlane(page(), layer), x, y);
}

uint32_t PLR_GetColorAt(int32_t x, int32_t y, const void* plane) noexcept {
    return colorValueAt(page(), plane16(plane), x, y);
}
uint32_t PLR_GetColorAtSurface(int32_t x, int32_t y) noexcept {
    return colorValueAt(page(), surfacePlane(page()), x, y);
}
uint32_t PLR_GetColorAtUnderLayer(int32_t x, int32_t y) noexcept {
    return colorValueAt(page(), underLayerPlane(page()), x, y);
}
uint32_t PLR_GetColorAtTrace(int32_t x, int32_t y) noexcept { return colorValueAt(page(), tracePlane(page()), x, y); }
uint32_t PLR_GetColorAtLayer(int32_t x, int32_t y, int32_t layer) noexcept {
    return colorValueAt(page(), layerPlane(page(), layer), x, y);
}

}  // extern "C"
