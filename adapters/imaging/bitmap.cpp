#include "adapters/imaging/bitmap.h"

#include <cstring>

namespace plr::imaging_lib {
namespace {

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;

std::uint32_t read32(const std::uint8_t* p) noexcept {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t read16(const std::uint8_t* p) noexcept { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
void write32(std::uint8_t* p, std::uint32_t v) noexcept {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void write16(std::uint8_t* p, std::uint16_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::int64_t rowBytes(std::int32_t width, std::int32_t bits) noexcept {
    return (std::int64_t{width} * bits + 31) / 32 * 4;
}

// What DIBToRGBA needs from a header, or ok = false.
struct DibLayout {
    bool ok = false;
    std::int32_t width = 0, height = 0, bits = 0;
    bool topDown = false;
    std::int64_t pixelOffset = 0;
};

DibLayout layoutOf(const void* dib) noexcept {
    DibLayout l;
    if (!dib) return l;
    const auto* h = static_cast<const std::uint8_t*>(dib);
    const std::uint32_t headerSize = read32(h);
    if (headerSize < 40 || headerSize > 4096) return l;
    const auto width = static_cast<std::int32_t>(read32(h + 4));
    const auto height = static_cast<std::int32_t>(read32(h + 8));
    const std::uint16_t bits = read16(h + 14);
    const std::uint32_t compression = read32(h + 16);
    const std::uint32_t coloursUsed = read32(h + 32);
    if (width <= 0 || height == 0 || height == INT32_MIN || (bits != 24 && bits != 32)) return l;
    if (compression == kBiBitfields) {
        // Only the usual masks: red 0x00FF0000, green 0x0000FF00, blue 0x000000FF.
        const std::uint8_t* masks = h + 40;
        if (bits != 32 || read32(masks) != 0x00FF0000u || read32(masks + 4) != 0x0000FF00u ||
            read32(masks + 8) != 0x000000FFu)
            return l;
    } else if (compression != kBiRgb) {
        return l;
    }
    if (coloursUsed > 256) return l;
    l.ok = true;
    l.width = width;
    l.height = height < 0 ? -height : height;
    l.topDown = height < 0;
    l.bits = bits;
    // Masks follow a 40-byte header (later headers hold them), then any colour table.
    l.pixelOffset = std::int64_t{headerSize} + (compression == kBiBitfields && headerSize == 40 ? 12 : 0) +
                    std::int64_t{coloursUsed} * 4;
    return l;
}

}  // namespace

std::int64_t DIBBytes(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) noexcept {
    if (width < 1 || height < 1 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return 0;
    const std::int64_t bytes = kDibHeaderBytes + rowBytes(width, bitsPerPixel) * height;
    return bytes > INT32_MAX ? 0 : bytes;
}

std::int32_t RGBAToDIB(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, void* dib) noexcept {
    return RGBAToDIBFormat(rgba, width, height, 32, false, dib);
}

std::int32_t RGBAToDIBFormat(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                             std::int32_t bitsPerPixel, bool topDown, void* dib) noexcept {
    const std::int64_t bytes = DIBBytes(width, height, bitsPerPixel);
    if (!rgba || !dib || bytes == 0) return 0;
    auto* h = static_cast<std::uint8_t*>(dib);
    std::memset(h, 0, kDibHeaderBytes);
    const std::int64_t stride = rowBytes(width, bitsPerPixel);
    write32(h, kDibHeaderBytes);
    write32(h + 4, static_cast<std::uint32_t>(width));
    write32(h + 8, static_cast<std::uint32_t>(topDown ? -height : height));
    write16(h + 12, 1);
    write16(h + 14, static_cast<std::uint16_t>(bitsPerPixel));
    write32(h + 16, kBiRgb);
    write32(h + 20, static_cast<std::uint32_t>(stride * height));
    write32(h + 24, 2835);  // 72 dots per inch
    write32(h + 28, 2835);
    const int n = bitsPerPixel / 8;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = rgba + std::int64_t{y} * width * 4;
        std::uint8_t* d = h + kDibHeaderBytes + (topDown ? y : height - 1 - y) * stride;
        for (std::int32_t x = 0; x < width; ++x, s += 4, d += n) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            if (n == 4) d[3] = s[3];
        }
        std::memset(d, 0, static_cast<std::size_t>(stride - std::int64_t{width} * n));  // row padding
    }
    return 1;
}

std::int32_t DIBWidth(const void* dib) noexcept {
    const DibLayout l = layoutOf(dib);
    return l.ok ? l.width : 0;
}

std::int32_t DIBHeight(const void* dib) noexcept {
    const DibLayout l = layoutOf(dib);
    return l.ok ? l.height : 0;
}

std::int32_t DIBToRGBA(const void* dib, std::uint8_t alpha, std::uint8_t* rgba) noexcept {
    const DibLayout l = layoutOf(dib);
    if (!l.ok || !rgba) return 0;
    const auto* pixels = static_cast<const std::uint8_t*>(dib) + l.pixelOffset;
    const std::int64_t stride = rowBytes(l.width, l.bits);
    const int n = l.bits / 8;
    bool anyAlpha = false;
    for (std::int32_t y = 0; y < l.height; ++y) {
        const std::uint8_t* s = pixels + (l.topDown ? y : l.height - 1 - y) * stride;
        std::uint8_t* d = rgba + std::int64_t{y} * l.width * 4;
        for (std::int32_t x = 0; x < l.width; ++x, s += n, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = n == 4 ? s[3] : alpha;
            anyAlpha |= n == 4 && s[3] != 0;
        }
    }
    if (n == 4 && !anyAlpha) {
        const std::int64_t count = std::int64_t{l.width} * l.height;
        for (std::int64_t i = 0; i < count; ++i) rgba[i * 4 + 3] = alpha;
    }
    return 1;
}

}  // namespace plr::imaging_lib
