#pragma once
// Reading and writing picture files the way the host's file exports ask:
// pictures decoded to RGBA32, metafiles rendered at a given size over a
// given colour, resolutions read as snapped dots per inch, writers chosen by
// extension with their resolution records, thumbnails and web pictures.
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr {

// Where a metafile is drawn: its size (its own frame size when 0) and the
// background colour (red, green, blue).
struct MetafileCanvas {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t background[3] = {};
};

// Decodes the file into `out`: metafiles rendered on the canvas (opaque),
// every other format as its reader gives it. False, `out` empty, when the
// file cannot be opened or decoded.
bool readPictureFile(const char* path, const MetafileCanvas& canvas, formats::RgbaImage& out) noexcept;

// The file's horizontal resolution in dots per inch, snapped to one of 72,
// 96, 150, 200, 300, 450 and 600: values within one of 96, 150, ... take
// that value, all others (and files without a resolution) 72.
std::int32_t dpiFromFile(const char* path) noexcept;

// Writes host pixels (`channels` 3: RGB24, 4: RGBA32, rows packed) to
// `path` with the writer the extension names (".bmp", ".png", ".emf",
// ".gif", ".jpg", ".pcx", ".psd", ".wmf" for RGB24; ".png", ".tga", ".tif"
// for RGBA32; compared without regard to case) and the resolution record
// made from `dpi`. 1 when written; 0 when the extension names no writer
// (the file is not touched) or writing failed.
std::int32_t writePictureByExtension(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                     std::int32_t channels, const char* path, const char* extension,
                                     std::int32_t dpi) noexcept;

// Streaming page saves: the row writer the extension names for the page's
// RGB24 (".bmp", ".png", ".jpg") or RGBA32 (".png", ".tga", ".tif") rows,
// with its resolution record; null for any other extension. `bottomUp` says
// the writer takes the bottom row first.
std::unique_ptr<formats::RowWriter> openPageRowWriter(const char* path, const char* extension, std::int32_t channels,
                                                      std::int32_t width, std::int32_t height, std::int32_t dpi,
                                                      bool& bottomUp) noexcept;

// A thumbnail of the picture in `source`: fully transparent pixels white,
// scaled so that its longer side (the height when both are equal) is
// `size`, written as a 24-bit BMP. Nothing is written on failure.
void makeThumbnail(const char* source, const char* destination, std::int32_t size) noexcept;
// The picture scaled down (never up) to fit maxWidth x maxHeight, written
// as a JPEG of quality 75. Nothing is written on failure.
void makeWebPicture(const char* source, const char* destination, std::int32_t maxWidth,
                    std::int32_t maxHeight) noexcept;

// The target sizes of the two above (exposed for tests).
void thumbnailSize(std::int32_t width, std::int32_t height, std::int32_t size, std::int32_t& outWidth,
                   std::int32_t& outHeight) noexcept;
void webPictureSize(std::int32_t width, std::int32_t height, std::int32_t maxWidth, std::int32_t maxHeight,
                    std::int32_t& outWidth, std::int32_t& outHeight) noexcept;

}  // namespace plr
