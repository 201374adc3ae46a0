#include "exchange/movie_frames.h"

#include "adapters/imaging/bitmap.h"
#include "exchange/formats/image_formats.h"

namespace plr {

MovieFrame DibFrame::frame() const noexcept {
    MovieFrame f;
    if (dib.empty()) return f;
    f.format = dib.data();
    f.formatBytes = imaging_lib::kDibHeaderBytes;
    f.bits = dib.data() + imaging_lib::kDibHeaderBytes;
    f.imageBytes = static_cast<std::uint32_t>(dib.size() - imaging_lib::kDibHeaderBytes);
    f.width = width;
    f.height = height;
    return f;
}

bool dibFrameFromRGB24(const std::uint8_t* rgb, std::int32_t width, std::int32_t height, DibFrame& out) noexcept {
    out.dib.reset();
    const std::int64_t bytes = imaging_lib::DIBBytes(width, height, 24);
    if (!rgb || bytes <= 0 || !out.dib.allocate(static_cast<std::size_t>(bytes))) return false;
    out.width = width;
    out.height = height;
    std::uint8_t* h = out.dib.data();
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::uint32_t image = static_cast<std::uint32_t>(row * static_cast<std::size_t>(height));
    const std::uint32_t fields[] = {40, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    for (int i = 0; i < 40; ++i) h[i] = 0;
    for (int f = 0; f < 3; ++f)
        for (int b = 0; b < 4; ++b) h[f * 4 + b] = static_cast<std::uint8_t>(fields[f] >> (8 * b));
    h[12] = 1;   // planes
    h[14] = 24;  // bits a pixel
    for (int b = 0; b < 4; ++b) h[20 + b] = static_cast<std::uint8_t>(image >> (8 * b));
    // Bottom row first, blue-green-red, the padding zeroed.
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = rgb + static_cast<std::size_t>(height - 1 - y) * width * 3;
        std::uint8_t* d = h + 40 + static_cast<std::size_t>(y) * row;
        for (std::int32_t x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
        for (std::size_t p = static_cast<std::size_t>(width) * 3; p < row; ++p) *d++ = 0;
    }
    return true;
}

bool dibFrameFromBmpFile(const char* path, DibFrame& out, bool& outOfMemory) noexcept {
    outOfMemory = false;
    out.dib.reset();
    if (!path || formats::sniffFile(path) != formats::FileType::Bmp) return false;
    formats::RgbaImage picture;
    if (!formats::readImage(path, picture)) {
        outOfMemory = picture.outOfMemory;
        return false;
    }
    const std::int64_t bytes = imaging_lib::DIBBytes(picture.width, picture.height, 24);
    if (bytes <= 0 || !out.dib.allocate(static_cast<std::size_t>(bytes))) {
        outOfMemory = bytes > 0;
        return false;
    }
    imaging_lib::RGBAToDIBFormat(picture.pixels.data(), picture.width, picture.height, 24, false, out.dib.data());
    out.width = picture.width;
    out.height = picture.height;
    return true;
}

}  // namespace plr
