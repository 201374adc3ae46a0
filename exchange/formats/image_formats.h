#pragma once
// Reading family: an image file to packed 8-bit RGBA. PNG, JPEG, TIFF and GIF
// go through libpng, libjpeg-turbo, libtiff and giflib; BMP through our own
// bounded reader. The format is recognised by the file's first bytes, not by
// its name.
//
// Size cap: a file whose header asks for more than kMaxDecodeSide pixels on a
// side or kMaxDecodePixels pixels in all is refused before anything is
// allocated, so a hostile header cannot make the engine ask for gigabytes.
// 32768 x 32768 covers the page limit of 10000 x 10000 with room to spare;
// 2^27 pixels (512 MB of RGBA) is the most one decoded picture may take.
#include <cstdint>

#include "core/block.h"

namespace plr::imaging_lib {

constexpr std::int32_t kMaxDecodeSide = 32768;
constexpr std::uint64_t kMaxDecodePixels = std::uint64_t{1} << 27;

enum class FileType { Unknown, Bmp, Jpeg, Png, Tiff, Gif };

// A decoded picture: width x height pixels of red, green, blue, alpha bytes,
// rows top to bottom, row length width * 4. Pixels come from the engine heap.
struct RgbaImage {
    Block<std::uint8_t> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// True when width x height is positive and within the cap above.
bool decodeSizeAllowed(std::int64_t width, std::int64_t height) noexcept;

// The file's type from its first bytes; Unknown when unreadable.
FileType GuessFileType(const char* path) noexcept;

// Decodes the first picture of the file into `out` (replacing its contents).
// Nonzero on success; zero, with `out` empty, for a missing, unknown,
// truncated, corrupt or oversized file or when memory runs out.
std::int32_t ReadImageToRGBA(const char* path, RgbaImage& out) noexcept;

// The per-format readers behind ReadImageToRGBA (same contract).
bool readPng(const char* path, RgbaImage& out) noexcept;
bool readJpeg(const char* path, RgbaImage& out) noexcept;
bool readTiff(const char* path, RgbaImage& out) noexcept;
bool readGif(const char* path, RgbaImage& out) noexcept;
bool readBmp(const char* path, RgbaImage& out) noexcept;

// Allocates out.pixels for width x height RGBA after the size check.
bool allocateRgba(RgbaImage& out, std::int64_t width, std::int64_t height) noexcept;

}  // namespace plr::imaging_lib
