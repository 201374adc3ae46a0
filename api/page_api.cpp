// Page lifecycle, last error and randomness.
#include "api/export.h"
#include "core/last_error.h"
#include "engine/page_lifecycle.h"

using namespace plr;

extern "C" {

void PLR_CreateImage(void* ownerWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                     int32_t reserved) noexcept {
    createImage(ownerWindow, width, height, maxBrushSize, reserved);
}

void PLR_NewSize(void* ownerWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                 int32_t reserved) noexcept {
    newSize(ownerWindow, width, height, maxBrushSize, reserved);
}

void PLR_DeleteImage(void) noexcept { deleteImage(); }

int32_t PLR_GetLayerNum(void) noexcept { return page().currentLayerIndex; }

int32_t PLR_GetNewRGBAWidth(void) noexcept { return engine().transfer.width; }
int32_t PLR_GetNewRGBAHeight(void) noexcept { return engine().transfer.height; }

void PLR_SetLastError(const char* text) noexcept { setLastError(text); }
const char* PLR_GetLastError(void) noexcept { return lastError(); }

void PLR_SetRandomSeed(int32_t seed) noexcept {
    engine().randomSeed = seed;
    engine().rng.seed(static_cast<uint32_t>(seed));
}

}  // extern "C"
