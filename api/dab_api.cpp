// Dabs: the brush stamped into the paint layer, the current layer or the mask.
#include "api/export.h"
#include "brush/dab.h"

using namespace plr;

extern "C" {

void PLR_DrawDabGrit(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_DrawDabGrit>([&] { drawDab(page(), x, y, red, green, blue); });
}

void PLR_DrawDabGritMask(int32_t x, int32_t y) noexcept {
    guardedExport<exported::PLR_DrawDabGritMask>([&] { drawMaskDab(page(), x, y); });
}

}  // extern "C"
