// The imaging library's start and end, the whole-page geometry and pan.
#include "adapters/effects/transforms.h"
#include "adapters/imaging/library_life.h"
#include "api/export.h"
#include "core/alloc.h"
#include "engine/engine.h"
#include "engine/page_geometry.h"
#include "platform/thread_pool.h"

using namespace plr;

extern "C" {

void PLR_IPLInit(int32_t /*unused*/) noexcept {
    imaging_lib::Initialize();
    effect_lib::ClearAllTransforms(engine().effectLibrary.transforms);
}
// The host is done with the engine: the pool's workers end here, outside any
// loader lock (they start again if the host goes on calling).
void PLR_IPLExit(void) noexcept {
    imaging_lib::Exit();
    platform::stopThreadPool();
    mem::releaseRetained();
}

void PLR_IPLFlipHorizontal(void) noexcept {
    guardedExport<exported::PLR_IPLFlipHorizontal>([] { flipPage(page(), true); });
}
void PLR_IPLFlipVertical(void) noexcept {
    guardedExport<exported::PLR_IPLFlipVertical>([] { flipPage(page(), false); });
}
void PLR_IPLRotateLeft(void) noexcept {
    guardedExport<exported::PLR_IPLRotateLeft>([] { rotatePage(page(), true); });
}
void PLR_IPLRotateRight(void) noexcept {
    guardedExport<exported::PLR_IPLRotateRight>([] { rotatePage(page(), false); });
}
void PLR_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept {
    guardedExport<exported::PLR_IPLCrop>([&] { cropPage(page(), left, top, right, bottom); });
}
void PLR_IPLResize(int32_t width, int32_t height, const char* method) noexcept {
    guardedExport<exported::PLR_IPLResize>([&] { resizePage(page(), width, height, method); });
}
void PLR_IPLResizePage(int32_t width, int32_t height, const char* anchor, int32_t red, int32_t green,
                       int32_t blue) noexcept {
    guardedExport<exported::PLR_IPLResizePage>(
        [&] { resizeCanvas(page(), width, height, anchor, red, green, blue); });
}
void PLR_IPLSeamCarvingRGBA(int32_t width, int32_t height, int32_t /*unused*/) noexcept {
    guardedExport<exported::PLR_IPLSeamCarvingRGBA>([&] { seamCarvePage(page(), width, height); });
}
void PLR_IPLPan(int32_t dx, int32_t dy, int32_t edgeMode, int32_t red, int32_t green, int32_t blue, int32_t alpha,
                int32_t applyMask) noexcept {
    // Red in the low byte, then green, blue and alpha in the high byte.
    const uint32_t fill = uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16 |
                          uint32_t(alpha & 0xFF) << 24;
    guardedExport<exported::PLR_IPLPan>([&] { panPage(page(), dx, dy, edgeMode, fill, (applyMask & 0xFF) != 0); });
}

}  // extern "C"
