#include "platform/metafile_playback.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/dib_rows_win32.h"

namespace plr::platform {
namespace {

constexpr std::size_t kPlaceableBytes = 22;

// The file as an enhanced metafile handle: enhanced files as they are,
// Windows files (after their placeable header) converted by the system with
// the frame, in hundredths of a millimetre, as their picture size.
HENHMETAFILE openMetafile(const std::uint8_t* file, std::size_t n, bool enhanced, std::int32_t frameWidth,
                          std::int32_t frameHeight, std::int32_t unitsPerInch) {
    if (n > 0x7FFFFFFF) return nullptr;
    if (enhanced) return SetEnhMetaFileBits(static_cast<UINT>(n), file);
    const bool placeable = n >= kPlaceableBytes && file[0] == 0xD7 && file[1] == 0xCD && file[2] == 0xC6 && file[3] == 0x9A;
    const std::uint8_t* bits = placeable ? file + kPlaceableBytes : file;
    const std::size_t size = placeable ? n - kPlaceableBytes : n;
    METAFILEPICT pict{};
    pict.mm = MM_ANISOTROPIC;
    if (placeable && frameWidth > 0 && frameHeight > 0 && unitsPerInch > 0) {
        pict.xExt = MulDiv(frameWidth, 2540, unitsPerInch);
        pict.yExt = MulDiv(frameHeight, 2540, unitsPerInch);
    }
    return SetWinMetaFileBits(static_cast<UINT>(size), bits, nullptr, &pict);
}

}  // namespace

bool playMetafile(const std::uint8_t* file, std::size_t n, bool enhanced, std::int32_t frameWidth,
                  std::int32_t frameHeight, std::int32_t unitsPerInch, std::int32_t width, std::int32_t height,
                  std::uint8_t* rgba) noexcept {
    if (!file || !rgba || width <= 0 || height <= 0) return false;
    HENHMETAFILE meta = openMetafile(file, n, enhanced, frameWidth, frameHeight, unitsPerInch);
    if (!meta) return false;
    bool ok = false;
    HDC dc = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = topDownBgra32(width, height);
    void* pixels = nullptr;
    HBITMAP section = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0) : nullptr;
    if (section && pixels) {
        HGDIOBJ old = SelectObject(dc, section);
        const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        auto* bgra = static_cast<std::uint8_t*>(pixels);
        for (std::size_t i = 0; i < count; ++i) {
            bgra[i * 4] = rgba[i * 4 + 2];
            bgra[i * 4 + 1] = rgba[i * 4 + 1];
            bgra[i * 4 + 2] = rgba[i * 4];
            bgra[i * 4 + 3] = 0;
        }
        // Bitmaps scaled down keep their colours instead of being ANDed together.
        SetStretchBltMode(dc, COLORONCOLOR);
        const RECT whole{0, 0, width, height};
        if (PlayEnhMetaFile(dc, meta, &whole)) {
            GdiFlush();
            opaqueRgbaFromBgrx(bgra, rgba, count);
            ok = true;
        }
        SelectObject(dc, old);
    }
    if (section) DeleteObject(section);
    if (dc) DeleteDC(dc);
    DeleteEnhMetaFile(meta);
    return ok;
}

}  // namespace plr::platform
