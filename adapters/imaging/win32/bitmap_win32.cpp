#include <windows.h>

#include <cstring>

#include "adapters/imaging/bitmap.h"
#include "adapters/imaging/bitmap_win32.h"

namespace plr::imaging_lib {

void* HBITMAPToDIB(void* bitmap, void* palette) noexcept {
    BITMAP info{};
    if (!bitmap || !GetObjectA(static_cast<HBITMAP>(bitmap), sizeof info, &info)) return nullptr;
    const std::int64_t bytes = DIBBytes(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight, 32);
    if (bytes == 0) return nullptr;
    auto* dib = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(bytes)));
    if (!dib) return nullptr;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib);
    std::memset(header, 0, sizeof *header);
    header->biSize = sizeof *header;
    header->biWidth = info.bmWidth;
    header->biHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    HPALETTE old = palette ? SelectPalette(dc, static_cast<HPALETTE>(palette), FALSE) : nullptr;
    if (palette) RealizePalette(dc);
    const int rows = GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(header->biHeight),
                               dib + sizeof *header, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (old) SelectPalette(dc, old, FALSE);
    ReleaseDC(nullptr, dc);
    if (rows != header->biHeight) {
        GlobalFree(dib);
        return nullptr;
    }
    header->biSize = sizeof *header;  // GetDIBits may rewrite parts of the header
    header->biCompression = BI_RGB;
    header->biClrUsed = 0;
    return dib;
}

void* RGBToHBITMAP(const std::uint8_t* rgb, std::int32_t width, std::int32_t height, std::int32_t stride,
                   void* palette, void* dc) noexcept {
    if (!rgb || width < 1 || height < 1 || stride < width * 3) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, like the source
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC target = dc ? static_cast<HDC>(dc) : GetDC(nullptr);
    HPALETTE old = palette ? SelectPalette(target, static_cast<HPALETTE>(palette), FALSE) : nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (old) SelectPalette(target, old, FALSE);
    if (!dc) ReleaseDC(nullptr, target);
    if (!bitmap || !bits) return nullptr;
    const std::int64_t rowBytes = (std::int64_t{width} * 3 + 3) / 4 * 4;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = rgb + std::int64_t{y} * stride;
        auto* d = static_cast<std::uint8_t*>(bits) + y * rowBytes;
        for (std::int32_t x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    GdiFlush();
    return bitmap;
}

}  // namespace plr::imaging_lib
