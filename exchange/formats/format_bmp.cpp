// Windows bitmaps, read by our own code: no library of the engine's reads
// them. Every offset and size is checked against the bytes actually read.
// Supported: core and info headers (12, 40, 52, 56, 108, 124 bytes), 1, 4,
// 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field masks,
// bottom-up or top-down. Run-length and embedded JPEG/PNG bitmaps are refused.
#include <cstdio>
#include <cstring>

#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

std::uint32_t u16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1u)) ++shift;
        max = m >> shift;
    }
    std::uint8_t get(std::uint32_t v, std::uint8_t none) const {
        if (!max) return none;
        return static_cast<std::uint8_t>((std::uint64_t{(v & mask) >> shift} * 255 + max / 2) / max);
    }
};

bool readWholeFile(const char* path, Block<std::uint8_t>& data) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    // No legal bitmap within the decode cap is larger than this.
    ok = ok && size > 0 && static_cast<std::uint64_t>(size) <= kMaxDecodePixels * 4 + 65536 &&
         std::fseek(f, 0, SEEK_SET) == 0 && data.allocate(static_cast<std::size_t>(size)) &&
         std::fread(data.data(), 1, data.size(), f) == data.size();
    std::fclose(f);
    return ok;
}

bool isBmp(const std::uint8_t* b, std::size_t n) noexcept { return n >= 2 && b[0] == 'B' && b[1] == 'M'; }

bool readBmp(const char* path, RgbaImage& out) noexcept {
    Block<std::uint8_t> file;
    if (!readWholeFile(path, file) || file.size() < 26) return false;
    const std::uint8_t* b = file.data();
    const std::size_t size = file.size();
    if (b[0] != 'B' || b[1] != 'M') return false;
    const std::uint64_t pixelOffset = u32(b + 10);
    const std::uint32_t headerSize = u32(b + 14);
    if (headerSize < 12 || 14ull + headerSize > size) return false;
    std::int64_t w, h;
    std::uint32_t bpp, compression = 0, used = 0;
    if (headerSize == 12) {
        w = u16(b + 18);
        h = static_cast<std::int16_t>(u16(b + 20));
        bpp = u16(b + 24);
    } else {
        if (headerSize < 40) return false;
        w = static_cast<std::int32_t>(u32(b + 18));
        h = static_cast<std::int32_t>(u32(b + 22));
        bpp = u16(b + 28);
        compression = u32(b + 30);
        used = u32(b + 46);
    }
    const bool topDown = h < 0;
    if (topDown) h = -h;
    if (!decodeSizeAllowed(w, h)) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) return false;

    // Bit-field masks: inside headers of 52 bytes and more, else right after a 40-byte one.
    Channel red(0x7C00), green(0x03E0), blue(0x001F), alpha;
    if (bpp == 32) red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF);
    if (compression == 3) {
        if (14ull + 40 + 12 > size) return false;
        red = Channel(u32(b + 54));
        green = Channel(u32(b + 58));
        blue = Channel(u32(b + 62));
        if (headerSize >= 56) alpha = Channel(u32(b + 66));
    }
    // Palette.
    std::uint8_t palette[256][3] = {};
    std::uint32_t colours = 0;
    if (bpp <= 8) {
        const std::uint32_t entry = headerSize == 12 ? 3 : 4;
        const std::uint64_t at = 14ull + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
        colours = used && used < (1u << bpp) ? used : (1u << bpp);
        const std::uint64_t room = pixelOffset > at ? (pixelOffset - at) / entry : 0;
        const std::uint64_t inFile = at < size ? (size - at) / entry : 0;
        if (colours > room) colours = static_cast<std::uint32_t>(room);
        if (colours > inFile) colours = static_cast<std::uint32_t>(inFile);
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = b + at + i * entry;
            palette[i][0] = e[2];
            palette[i][1] = e[1];
            palette[i][2] = e[0];
        }
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * bpp + 31) / 32 * 4;
    if (pixelOffset > size || stride * static_cast<std::uint64_t>(h) > size - pixelOffset) return false;
    if (!allocateRgba(out, w, h)) return false;

    // A 32-bit bitmap without an alpha mask: the spare byte is alpha only
    // when some pixel uses it (many writers leave it 0).
    bool spareIsAlpha = false;
    if (bpp == 32 && compression == 0) {
        for (std::int64_t y = 0; y < h && !spareIsAlpha; ++y)
            for (std::int64_t x = 0; x < w; ++x)
                if (b[pixelOffset + y * stride + x * 4 + 3]) {
                    spareIsAlpha = true;
                    break;
                }
        if (spareIsAlpha) alpha = Channel(0xFF000000u);
    }
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* row = b + pixelOffset + (topDown ? y : h - 1 - y) * stride;
        std::uint8_t* d = out.pixels.data() + y * w * 4;
        for (std::int64_t x = 0; x < w; ++x, d += 4) {
            if (bpp <= 8) {
                const std::uint32_t bit = static_cast<std::uint32_t>(x * bpp);
                const std::uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                const bool known = index < colours;
                d[0] = known ? palette[index][0] : 0;
                d[1] = known ? palette[index][1] : 0;
                d[2] = known ? palette[index][2] : 0;
                d[3] = 255;
            } else if (bpp == 24) {
                d[0] = row[x * 3 + 2];
                d[1] = row[x * 3 + 1];
                d[2] = row[x * 3];
                d[3] = 255;
            } else {
                const std::uint32_t v = bpp == 16 ? u16(row + x * 2) : u32(row + x * 4);
                d[0] = red.get(v, 0);
                d[1] = green.get(v, 0);
                d[2] = blue.get(v, 0);
                d[3] = alpha.get(v, 255);
            }
        }
    }
    return true;
}

}  // namespace

const ImageFormat kBmpFormat{FileType::Bmp, "BMP", {"bmp", "dib"}, isBmp, readBmp, nullptr};

}  // namespace plr::formats
