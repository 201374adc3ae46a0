#include "exchange/formats/image_formats.h"

#include <cstdio>
#include <cstring>

#include "core/sizes.h"

namespace plr::imaging_lib {

bool decodeSizeAllowed(std::int64_t width, std::int64_t height) noexcept {
    if (width <= 0 || height <= 0 || width > kMaxDecodeSide || height > kMaxDecodeSide) return false;
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxDecodePixels;
}

bool allocateRgba(RgbaImage& out, std::int64_t width, std::int64_t height) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    if (!decodeSizeAllowed(width, height)) return false;
    if (!out.pixels.allocate(saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4)))
        return false;
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    return true;
}

FileType GuessFileType(const char* path) noexcept {
    if (!path || !*path) return FileType::Unknown;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return FileType::Unknown;
    unsigned char m[8] = {};
    const std::size_t n = std::fread(m, 1, sizeof m, f);
    std::fclose(f);
    if (n >= 8 && std::memcmp(m, "\x89PNG\r\n\x1a\n", 8) == 0) return FileType::Png;
    if (n >= 3 && m[0] == 0xFF && m[1] == 0xD8 && m[2] == 0xFF) return FileType::Jpeg;
    if (n >= 4 && (std::memcmp(m, "II*\0", 4) == 0 || std::memcmp(m, "MM\0*", 4) == 0)) return FileType::Tiff;
    if (n >= 6 && (std::memcmp(m, "GIF87a", 6) == 0 || std::memcmp(m, "GIF89a", 6) == 0)) return FileType::Gif;
    if (n >= 2 && m[0] == 'B' && m[1] == 'M') return FileType::Bmp;
    return FileType::Unknown;
}

std::int32_t ReadImageToRGBA(const char* path, RgbaImage& out) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    bool ok = false;
    switch (GuessFileType(path)) {
        case FileType::Png: ok = readPng(path, out); break;
        case FileType::Jpeg: ok = readJpeg(path, out); break;
        case FileType::Tiff: ok = readTiff(path, out); break;
        case FileType::Gif: ok = readGif(path, out); break;
        case FileType::Bmp: ok = readBmp(path, out); break;
        case FileType::Unknown: break;
    }
    if (!ok) {
        out.pixels.reset();
        out.width = out.height = 0;
    }
    return ok ? 1 : 0;
}

}  // namespace plr::imaging_lib
