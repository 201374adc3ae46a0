// Windows bitmaps, read and written by our own code. Every offset and size
// is checked against the bytes actually read.
// Read: core and info headers (12, 16..64 for OS/2 2.x, 40, 52, 56, 108, 124
// bytes), 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, bit-field
// masks, RLE4 and RLE8, bottom-up or top-down. Embedded JPEG/PNG bitmaps are
// refused. Run-length bitmaps: pixels the stream skips (deltas, early ends of
// line, a stream cut short) keep palette entry 0, as the usual readers leave
// them; uncompressed bitmaps whose pixel rows end early are refused.
// Written: 24 bits (core of the format) or 32 bits with an alpha mask in a
// V4 header, bottom-up, with the resolution in pixels per metre.
#include <cstring>

#include "exchange/formats/byte_io.h"
#include "exchange/formats/dib.h"

namespace plr::formats {
namespace {

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
    // A whole byte of the pixel value: extracted without arithmetic.
    bool isByte() const { return max == 255 && shift % 8 == 0; }
};

enum : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct DibHeader {
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bpp = 0, compression = kRgb, used = 0, headerSize = 0;
    std::int32_t xPelsPerMetre = 0;
};

bool parseHeader(const std::uint8_t* b, std::size_t n, DibHeader& h) {
    if (n < 12) return false;
    h.headerSize = le32(b);
    if (h.headerSize < 12 || h.headerSize > n) return false;
    if (h.headerSize == 12) {
        h.width = le16(b + 4);
        h.height = static_cast<std::int16_t>(le16(b + 6));
        h.bpp = le16(b + 10);
    } else {
        if (h.headerSize < 16) return false;
        h.width = static_cast<std::int32_t>(le32(b + 4));
        h.height = static_cast<std::int32_t>(le32(b + 8));
        h.bpp = le16(b + 14);
        if (h.headerSize >= 20) h.compression = le32(b + 16);
        if (h.headerSize >= 28) h.xPelsPerMetre = static_cast<std::int32_t>(le32(b + 24));
        if (h.headerSize >= 36) h.used = le32(b + 32);
        // OS/2 2.x headers (16..64 bytes, not 40, 52, 56) number Huffman 3 where Windows has bit fields.
        if (h.headerSize != 40 && h.headerSize < 52 && h.compression == 3) return false;
    }
    h.topDown = h.height < 0;
    if (h.topDown) h.height = -h.height;
    return decodeSizeAllowed(h.width, h.height);
}

void decodeRle(const DibHeader& h, const std::uint8_t* src, std::size_t n, std::uint8_t* indices) {
    const std::int64_t w = h.width, rows = h.height;
    std::int64_t x = 0, y = 0;  // y counts from the bottom
    std::size_t i = 0;
    const bool four = h.compression == kRle4;
    auto put = [&](std::uint32_t v) {
        if (x < w && y < rows) indices[(rows - 1 - y) * w + x] = static_cast<std::uint8_t>(v);
        ++x;
    };
    while (i + 1 < n && y < rows) {
        const std::uint32_t count = src[i], value = src[i + 1];
        i += 2;
        if (count) {
            for (std::uint32_t k = 0; k < count && x < w; ++k) put(four ? (k & 1 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= n) break;
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (bytes > n - i) break;
            for (std::uint32_t k = 0; k < value; ++k)
                put(four ? (k & 1 ? src[i + k / 2] & 15 : src[i + k / 2] >> 4) : src[i + k]);
            i += (bytes + 1) & ~std::size_t{1};
        }
    }
}

}  // namespace

bool dibSize(const std::uint8_t* info, std::size_t infoSize, std::int32_t& width, std::int32_t& height) noexcept {
    DibHeader h;
    if (!parseHeader(info, infoSize, h)) return false;
    width = static_cast<std::int32_t>(h.width);
    height = static_cast<std::int32_t>(h.height);
    return true;
}

std::size_t dibInfoBytes(const std::uint8_t* info, std::size_t size) noexcept {
    DibHeader h;
    if (!parseHeader(info, size, h)) return 0;
    std::size_t bytes = h.headerSize;
    if (h.headerSize == 40 && h.compression == kBitFields) bytes += 12;
    if (h.headerSize == 40 && h.compression == kAlphaBitFields) bytes += 16;
    if (h.bpp <= 8) bytes += (h.used && h.used < (1u << h.bpp) ? h.used : (1u << h.bpp)) * (h.headerSize == 12 ? 3 : 4);
    else if (h.used && h.used <= 256) bytes += std::size_t{h.used} * 4;  // an optional palette for the display
    return bytes <= size ? bytes : 0;
}

bool decodeDib(const std::uint8_t* b, std::size_t n, const std::uint8_t* bits, std::size_t bitsSize,
               RgbaImage& out) noexcept {
    DibHeader h;
    if (!parseHeader(b, n, h)) return false;
    const std::uint32_t bpp = h.bpp;
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
    if (!(h.compression == kRgb || (fields && (bpp == 16 || bpp == 32)) || (h.compression == kRle8 && bpp == 8) ||
          (h.compression == kRle4 && bpp == 4)))
        return false;
    if (rle && h.topDown) return false;

    // Bit-field masks: inside headers of 52 bytes and more, else right after a 40-byte one.
    Channel red(0x7C00), green(0x03E0), blue(0x001F), alpha;
    if (bpp == 32) red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF);
    std::size_t afterHeader = h.headerSize;
    if (fields) {
        const std::size_t masks = h.compression == kAlphaBitFields ? 16 : 12;
        if (h.headerSize == 40) afterHeader += masks;
        if (h.headerSize >= 40 && 40 + masks > n) return false;
        if (h.headerSize < 40) return false;
        red = Channel(le32(b + 40));
        green = Channel(le32(b + 44));
        blue = Channel(le32(b + 48));
        if (h.headerSize >= 56 || h.compression == kAlphaBitFields) alpha = Channel(le32(b + 52));
    }
    // Palette: as many entries as declared and present.
    std::uint8_t palette[256][4] = {};
    if (bpp <= 8) {
        const std::size_t entry = h.headerSize == 12 ? 3 : 4;
        std::size_t colours = h.used && h.used < (1u << bpp) ? h.used : (1u << bpp);
        const std::size_t room = afterHeader < n ? (n - afterHeader) / entry : 0;
        if (colours > room) colours = room;
        for (std::size_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = b + afterHeader + i * entry;
            palette[i][0] = e[2];
            palette[i][1] = e[1];
            palette[i][2] = e[0];
            palette[i][3] = 255;
        }
        // Indices beyond the palette read as opaque black.
        for (std::size_t i = colours; i < 256; ++i) palette[i][3] = 255;
    }
    const std::int64_t w = h.width, rows = h.height;
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * bpp + 31) / 32 * 4;
    if (!rle && stride * static_cast<std::uint64_t>(rows) > bitsSize) return false;
    if (!allocateRgba(out, w, rows)) return false;
    std::uint8_t* dst = out.pixels.data();

    if (rle) {
        // Indices first (in the output buffer's last quarter would alias; use the front bytes of each pixel).
        Block<std::uint8_t> indices;
        if (!indices.allocate(static_cast<std::size_t>(w * rows))) return false;
        std::memset(indices.data(), 0, indices.size());
        decodeRle(h, bits, bitsSize, indices.data());
        for (std::size_t i = 0; i < indices.size(); ++i) std::memcpy(dst + i * 4, palette[indices[i]], 4);
        return true;
    }

    // A 32-bit bitmap without an alpha mask: the spare byte is alpha only
    // when some pixel uses it (many writers leave it 0).
    if (bpp == 32 && !alpha.max) {
        bool spareIsAlpha = false;
        for (std::int64_t y = 0; y < rows && !spareIsAlpha; ++y) {
            const std::uint8_t* row = bits + y * stride;
            for (std::int64_t x = 0; x < w; ++x)
                if (row[x * 4 + 3]) {
                    spareIsAlpha = true;
                    break;
                }
        }
        if (spareIsAlpha && red.mask == 0xFF0000 && green.mask == 0xFF00 && blue.mask == 0xFF)
            alpha = Channel(0xFF000000u);
    }
    const bool byteFields = bpp == 32 && red.isByte() && green.isByte() && blue.isByte() && (!alpha.max || alpha.isByte());
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* row = bits + (h.topDown ? y : rows - 1 - y) * stride;
        std::uint8_t* d = dst + y * w * 4;
        if (bpp == 24) {
            for (std::int64_t x = 0; x < w; ++x, d += 4, row += 3) {
                d[0] = row[2];
                d[1] = row[1];
                d[2] = row[0];
                d[3] = 255;
            }
        } else if (byteFields) {
            const int r = red.shift / 8, g = green.shift / 8, bl = blue.shift / 8, a = alpha.shift / 8;
            const bool hasAlpha = alpha.max != 0;
            for (std::int64_t x = 0; x < w; ++x, d += 4, row += 4) {
                d[0] = row[r];
                d[1] = row[g];
                d[2] = row[bl];
                d[3] = hasAlpha ? row[a] : 255;
            }
        } else if (bpp <= 8) {
            const std::uint32_t mask = (1u << bpp) - 1;
            for (std::int64_t x = 0; x < w; ++x, d += 4) {
                const std::uint32_t bit = static_cast<std::uint32_t>(x * bpp);
                std::memcpy(d, palette[(row[bit / 8] >> (8 - bpp - bit % 8)) & mask], 4);
            }
        } else {
            for (std::int64_t x = 0; x < w; ++x, d += 4) {
                const std::uint32_t v = bpp == 16 ? le16(row + x * 2) : le32(row + x * 4);
                d[0] = red.get(v, 0);
                d[1] = green.get(v, 0);
                d[2] = blue.get(v, 0);
                d[3] = alpha.get(v, 255);
            }
        }
    }
    return true;
}

namespace {

bool isBmp(const std::uint8_t* b, std::size_t n) noexcept { return n >= 2 && b[0] == 'B' && b[1] == 'M'; }

bool readBmp(const char* path, RgbaImage& out) noexcept {
    Block<std::uint8_t> file;
    if (!readFileBytes(path, file) || file.size() < 26 || !isBmp(file.data(), file.size())) return false;
    const std::uint8_t* b = file.data();
    const std::size_t size = file.size();
    const std::uint64_t pixelOffset = le32(b + 10);
    if (pixelOffset > size || pixelOffset < 14) return false;
    // The header, masks and palette lie between the file header and the bits.
    return decodeDib(b + 14, static_cast<std::size_t>(pixelOffset - 14), b + pixelOffset,
                     static_cast<std::size_t>(size - pixelOffset), out);
}

bool bmpInfo(const char* path, ImageInfo& out) noexcept {
    std::uint8_t head[14 + 124] = {};
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n < 26 || !isBmp(head, n)) return false;
    DibHeader h;
    if (!parseHeader(head + 14, n - 14, h)) return false;
    out.width = static_cast<std::int32_t>(h.width);
    out.height = static_cast<std::int32_t>(h.height);
    out.resolution = h.xPelsPerMetre;
    out.unit = h.xPelsPerMetre > 0 ? 2 : 0;
    return true;
}

// Rows arrive bottom row first, as the file stores them.
class BmpRows final : public RowWriter {
public:
    BmpRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels, const Resolution& res)
        : sink_(path), w_(w), channels_(channels) {
        const std::uint32_t bpp = channels == 4 ? 32 : 24;
        stride_ = (static_cast<std::uint32_t>(w) * bpp + 31) / 32 * 4;
        const std::uint32_t header = channels == 4 ? 108 : 40;
        const std::uint64_t image = std::uint64_t{stride_} * static_cast<std::uint32_t>(h);
        const std::uint64_t total = 14 + header + image;
        ok_ = sink_.ok() && total <= 0xFFFFFFFFu && row_.allocate(stride_);
        if (!ok_) return;
        std::memset(row_.data(), 0, stride_);
        const std::int32_t ppm = res.present() ? static_cast<std::int32_t>(res.x) : 0;
        const std::int32_t ppmY = res.present() ? static_cast<std::int32_t>(res.y) : 0;
        sink_.u8('B');
        sink_.u8('M');
        sink_.u32le(static_cast<std::uint32_t>(total));
        sink_.u32le(0);
        sink_.u32le(14 + header);
        sink_.u32le(header);
        sink_.u32le(static_cast<std::uint32_t>(w));
        sink_.u32le(static_cast<std::uint32_t>(h));
        sink_.u16le(1);
        sink_.u16le(bpp);
        sink_.u32le(channels == 4 ? kBitFields : kRgb);
        sink_.u32le(static_cast<std::uint32_t>(image));
        sink_.u32le(static_cast<std::uint32_t>(ppm));
        sink_.u32le(static_cast<std::uint32_t>(ppmY));
        sink_.u32le(0);
        sink_.u32le(0);
        if (channels == 4) {
            sink_.u32le(0x00FF0000);
            sink_.u32le(0x0000FF00);
            sink_.u32le(0x000000FF);
            sink_.u32le(0xFF000000);
            sink_.u32le(0x73524742);  // "sRGB"
            sink_.zeros(36 + 12);     // endpoints and gamma, unused for sRGB
        }
    }
    bool next(const std::uint8_t* row) noexcept override {
        if (!ok_) return false;
        std::uint8_t* d = row_.data();
        if (channels_ == 4) {
            for (std::int32_t x = 0; x < w_; ++x, d += 4, row += 4) {
                d[0] = row[2];
                d[1] = row[1];
                d[2] = row[0];
                d[3] = row[3];
            }
        } else {
            for (std::int32_t x = 0; x < w_; ++x, d += 3, row += 3) {
                d[0] = row[2];
                d[1] = row[1];
                d[2] = row[0];
            }
        }
        sink_.put(row_.data(), stride_);
        return ok_ = sink_.ok();
    }
    bool finish() noexcept override { return sink_.close() && ok_; }

private:
    FileSink sink_;
    std::int32_t w_, channels_;
    std::uint32_t stride_ = 0;
    Block<std::uint8_t> row_;
    bool ok_ = false;
};

std::unique_ptr<RowWriter> openBmpRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels,
                                       const WriteSettings& s) noexcept {
    if (w <= 0 || h <= 0 || (channels != 3 && channels != 4)) return nullptr;
    return std::unique_ptr<RowWriter>(new (std::nothrow) BmpRows(path, w, h, channels, s.resolution));
}

bool writeBmp(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    return writeByRows(openBmpRows(path, image.width, image.height, image.channels, s), image, true);
}

}  // namespace

const ImageFormat kBmpFormat{FileType::Bmp, "BMP", {"bmp", "dib"}, isBmp, readBmp, bmpInfo, writeBmp, openBmpRows};

}  // namespace plr::formats
