// The clipboard and screen capture: copies of the current layer or a host
// buffer, pastes into the transfer image or the current layer.
#include "api/export.h"
#include "engine/page_clipboard.h"

using namespace plr;

extern "C" {

void PLR_ToClipboard(void) noexcept {
    guardedExport<exported::PLR_ToClipboard>([] { copyLayerToClipboard(engine()); });
}

void PLR_ToClipboardRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1) noexcept {
    guardedExport<exported::PLR_ToClipboardRect>([&] { copyLayerRectToClipboard(engine(), x0, y0, x1, y1); });
}

void PLR_RGBA32ToClipboardRect(uint8_t* pixels, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t applyMask) noexcept {
    guardedExport<exported::PLR_RGBA32ToClipboardRect>(
        [&] { copyBufferToClipboard(engine(), pixels, x, y, width, height, (applyMask & 0xFF) != 0); });
}

void PLR_ToClipboardFromFile(const char* path) noexcept {
    guardedExport<exported::PLR_ToClipboardFromFile>([&] { copyFileToClipboard(engine(), path); });
}

int32_t PLR_FromClipboard(void) noexcept {
    return guardedExport<exported::PLR_FromClipboard>([] { return pasteIntoTransfer(engine()) ? 1 : 0; });
}

int32_t PLR_FromClipboardInto(int32_t x, int32_t y, int32_t centred) noexcept {
    return guardedExport<exported::PLR_FromClipboardInto>(
        [&] { return pasteInto(engine(), x, y, centred == 1) ? 1 : 0; });
}

namespace {
Placement placement(int32_t x, int32_t y, int32_t angle, int32_t centred, int32_t smooth) {
    Placement p;
    p.x = x;
    p.y = y;
    p.angle = angle;
    p.centred = centred == 1;
    p.smooth = smooth != 0;
    return p;
}
}  // namespace

// The extended pastes answer 0 whatever happens.
int32_t PLR_FromClipboardIntoEX(int32_t x, int32_t y, float scale, int32_t angle, int32_t centred,
                                int32_t smooth) noexcept {
    return guardedExport<exported::PLR_FromClipboardIntoEX>([&] {
        Placement p = placement(x, y, angle, centred, smooth);
        p.scale = scale;
        pastePlaced(engine(), PlacedPaste::ByScale, p);
        return 0;
    });
}

int32_t PLR_FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centred, int32_t smooth,
                                 int32_t opacity) noexcept {
    return guardedExport<exported::PLR_FromClipboardIntoEX2>([&] {
        Placement p = placement(x, y, angle, centred, smooth);
        p.size = size;
        p.opacity = opacity;
        pastePlaced(engine(), PlacedPaste::BySize, p);
        return 0;
    });
}

int32_t PLR_FromClipboardIntoEX2_1602(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centred,
                                      int32_t smooth) noexcept {
    return guardedExport<exported::PLR_FromClipboardIntoEX2_1602>([&] {
        Placement p = placement(x, y, angle, centred, smooth);
        p.size = size;
        pastePlaced(engine(), PlacedPaste::BySize1602, p);
        return 0;
    });
}

void PLR_FromClipboardToFile(const char* path, const char* extension, int32_t dpi) noexcept {
    guardedExport<exported::PLR_FromClipboardToFile>([&] { pasteToFile(engine(), path, extension, dpi); });
}

int32_t PLR_ScreenCapture(void) noexcept {
    return guardedExport<exported::PLR_ScreenCapture>([] { return captureScreenToTransfer(engine()) ? 1 : 0; });
}

int32_t PLR_ScreenCaptureInto(void) noexcept {
    return guardedExport<exported::PLR_ScreenCaptureInto>([] { return captureScreenIntoLayer(engine()) ? 1 : 0; });
}

}  // extern "C"
