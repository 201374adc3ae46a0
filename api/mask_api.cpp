// The mask: switches, overlay settings, whole-mask operations, data exchange
// and the conversions with the current layer.
#include "api/export.h"
#include "mask/mask_data.h"
#include "mask/mask_layer.h"
#include "mask/mask_switches.h"

using namespace plr;

extern "C" {

void PLR_EnableMask(int32_t flag) noexcept { enableMask(page().mask, flag); }
void PLR_DisplayMask(int32_t flag) noexcept { displayMask(page().mask, flag); }
void PLR_SetMaskMakerOn(void) noexcept { setMaskMaker(page().mask, true); }

void PLR_SetMaskOptions(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2, int32_t blue2,
                        int32_t solid) noexcept {
    const int32_t c1[3] = {red1, green1, blue1}, c2[3] = {red2, green2, blue2};
    setMaskOptions(page().mask, c1, c2, solid);
}

void PLR_InvertMask(void) noexcept {
    guardedExport<exported::PLR_InvertMask>([] { invertMask(page().maskPage()); });
}

void PLR_ClearMask(int32_t red, int32_t green, int32_t blue) noexcept {
    guardedExport<exported::PLR_ClearMask>([&] { clearMask(page().maskPage(), red, green, blue); });
}

void PLR_GetMaskData16(void* destination) noexcept {
    guardedExport<exported::PLR_GetMaskData16>([&] { getMaskData16(page().maskPage(), destination); });
}

void PLR_SetMaskData16(const void* source) noexcept {
    guardedExport<exported::PLR_SetMaskData16>([&] { setMaskData16(page().maskPage(), source); });
}

int32_t PLR_GetMask64(int32_t x, int32_t y) noexcept { return maskAmountAt(page().maskPage(), x, y); }

void PLR_SaveMask(uint8_t* destination, int32_t stride) noexcept {
    guardedExport<exported::PLR_SaveMask>([&] { saveMask(page().maskPage(), destination, stride); });
}

void PLR_LoadMask(const uint8_t* source, int32_t stride, int32_t width, int32_t height) noexcept {
    guardedExport<exported::PLR_LoadMask>([&] { loadMask(page().maskPage(), source, stride, width, height); });
}

void PLR_CreateImageFromMask(void) noexcept {
    guardedExport<exported::PLR_CreateImageFromMask>([] { createImageFromMask(page().maskPage()); });
}

void PLR_CreateAlphaFromMask(void) noexcept {
    guardedExport<exported::PLR_CreateAlphaFromMask>([] { createAlphaFromMask(page().maskPage()); });
}

void PLR_CreateMaskFromAlpha(void) noexcept {
    guardedExport<exported::PLR_CreateMaskFromAlpha>([] { createMaskFromAlpha(page().maskPage()); });
}

void PLR_CreateMaskFromImage(void) noexcept {
    guardedExport<exported::PLR_CreateMaskFromImage>([] { createMaskFromImage(page().maskPage()); });
}

void PLR_CreateMaskFromImageLuma(void) noexcept {
    guardedExport<exported::PLR_CreateMaskFromImageLuma>([] { createMaskFromImageLuma(page().maskPage()); });
}

}  // extern "C"
