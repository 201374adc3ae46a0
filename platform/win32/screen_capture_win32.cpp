// The primary screen through GDI: BitBlt into a compatible bitmap, read back
// as 32-bit top-down rows.
#include <windows.h>

#include "platform/screen_capture.h"
#include "platform/win32/dib_rows_win32.h"

namespace plr::platform {

bool captureScreen(CaptureTarget target, void* context) noexcept {
    if (!target) return false;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    bool ok = false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        SelectObject(memory, old);
        std::uint8_t* pixels = copied ? target(context, width, height) : nullptr;
        if (pixels) {
            BITMAPINFO info = topDownBgra32(width, height);
            ok = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS) == height;
            if (ok) opaqueRgbaFromBgrx(pixels, pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        }
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace plr::platform
