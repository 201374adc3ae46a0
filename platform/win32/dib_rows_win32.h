#pragma once
// The 32-bit device-independent bitmap GDI draws into and reads back from:
// top row first, blue-green-red-unused in memory, and its conversion to the
// engine's opaque RGBA.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace plr::platform {

inline BITMAPINFO topDownBgra32(int width, int height) noexcept {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// `count` pixels of GDI's BGRx as opaque RGBA; `bgra` and `rgba` may be the
// same memory.
inline void opaqueRgbaFromBgrx(const std::uint8_t* bgra, std::uint8_t* rgba, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t blue = bgra[i * 4], green = bgra[i * 4 + 1], red = bgra[i * 4 + 2];
        rgba[i * 4] = red;
        rgba[i * 4 + 1] = green;
        rgba[i * 4 + 2] = blue;
        rgba[i * 4 + 3] = 255;
    }
}

}  // namespace plr::platform
