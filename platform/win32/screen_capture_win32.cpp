// The primary screen through GDI: BitBlt into a compatible bitmap, read back
// as 32-bit top-down rows.
#include <windows.h>

#include "platform/screen_capture.h"

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
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;  // top row first
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            ok = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS) == height;
            if (ok) {
                const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
                for (std::size_t i = 0; i < count; ++i) {
                    std::uint8_t* p = pixels + i * 4;
                    const std::uint8_t blue = p[0];
                    p[0] = p[2];
                    p[2] = blue;
                    p[3] = 255;
                }
            }
        }
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace plr::platform
