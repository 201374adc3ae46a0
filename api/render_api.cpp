// Render and view: the canvas render, the view settings, the window redraw
// calls and the flattened colour of one pixel.
#include "api/export.h"
#include "layers/render.h"
#include "platform/platform.h"

using namespace plr;

extern "C" {

void PLR_Render(uint8_t* bitmap, int32_t stride, int32_t x, int32_t y, int32_t width, int32_t height) noexcept {
    guardedExport<exported::PLR_Render>([&] { render(page(), bitmap, stride, x, y, width, height); });
}

void PLR_SetScale(int32_t scale, float zoom) noexcept {
    page().view.scale = scale;
    page().view.zoom = zoom;
}

void PLR_SetOffset(int32_t x, int32_t y) noexcept {
    page().view.offsetX = x;
    page().view.offsetY = y;
}

void PLR_SetViewSize(int32_t width, int32_t height) noexcept {
    page().view.viewWidth = width;
    page().view.viewHeight = height;
}

void PLR_SetTracingMode(int32_t mode) noexcept { page().tracingMode = static_cast<uint8_t>(mode & 0xFF); }

// The grid is drawn by the host; both names stay exported as the same empty operation.
void PLR_SetGrid(int32_t) noexcept {}
void PLR_SetGridSpacing(int32_t value) noexcept { PLR_SetGrid(value); }

void PLR_SetWindowRedraw(void* window, int32_t on) noexcept {
    platform::setWindowRedraw(window, static_cast<uint32_t>(on) & 0xFF);
}

void PLR_RedrawWindow(void* window) noexcept { platform::redrawWindow(window); }

uint32_t PLR_GetColorAtMerged(int32_t x, int32_t y) noexcept {
    return guardedExport<exported::PLR_GetColorAtMerged>([&] { return colorAtMerged(page(), x, y); });
}

}  // extern "C"
