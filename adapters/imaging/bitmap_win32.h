#pragma once
// Bitmap family, Windows only: GDI bitmaps to and from the DIBs and RGB
// pixels of bitmap.h. Handles travel as void* so the header needs no
// windows.h. Built only for Windows (adapters/imaging/win32/).
#include <cstdint>

namespace plr::imaging_lib {

// A DIB of the GDI bitmap `bitmap` (an HBITMAP) in the layout bitmap.h reads:
// 32-bit bottom-up, in one fixed global memory block the caller releases
// with GlobalFree. `palette` (an HPALETTE) may be null. Null on failure.
void* HBITMAPToDIB(void* bitmap, void* palette) noexcept;

// A 24-bit DIB section (an HBITMAP the caller deletes with DeleteObject)
// holding the width x height RGB24 pixels (rows `stride` bytes apart, top
// row first), made for the device context `dc` (null: the screen's).
// `palette` may be null. Null on failure.
void* RGBToHBITMAP(const std::uint8_t* rgb, std::int32_t width, std::int32_t height, std::int32_t stride,
                   void* palette, void* dc) noexcept;

}  // namespace plr::imaging_lib
