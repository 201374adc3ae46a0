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
#include <utility>

#include "exchange/formats/byte_io.h"
#include "exchange/formats/dib.h"
#include "exchange/formats/file_pieces.h"
#include "exchange/formats/row_convert.h"

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

namespace {

// What the header, masks and palette say about the pixel bits.
struct DibLayout {
    DibHeader h;
    Channel red, green, blue, alpha;
    std::uint8_t palette[256][4] = {};
    std::uint64_t stride = 0;  // bytes a stored row
    bool rle = false;
    // 32 bits with the usual masks but no alpha mask: the spare byte is
    // alpha only when some pixel uses it (many writers leave it 0).
    bool spareMayBeAlpha = false;
};

bool dibLayout(const std::uint8_t* b, std::size_t n, DibLayout& L) {
    DibHeader& h = L.h;
    if (!parseHeader(b, n, h)) return false;
    const std::uint32_t bpp = h.bpp;
    L.rle = h.compression == kRle8 || h.compression == kRle4;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
    if (!(h.compression == kRgb || (fields && (bpp == 16 || bpp == 32)) || (h.compression == kRle8 && bpp == 8) ||
          (h.compression == kRle4 && bpp == 4)))
        return false;
    if (L.rle && h.topDown) return false;

    // Bit-field masks: inside headers of 52 bytes and more, else right after a 40-byte one.
    L.red = Channel(0x7C00), L.green = Channel(0x03E0), L.blue = Channel(0x001F);
    if (bpp == 32) L.red = Channel(0xFF0000), L.green = Channel(0xFF00), L.blue = Channel(0xFF);
    std::size_t afterHeader = h.headerSize;
    if (fields) {
        const std::size_t masks = h.compression == kAlphaBitFields ? 16 : 12;
        if (h.headerSize == 40) afterHeader += masks;
        if (h.headerSize >= 40 && 40 + masks > n) return false;
        if (h.headerSize < 40) return false;
        L.red = Channel(le32(b + 40));
        L.green = Channel(le32(b + 44));
        L.blue = Channel(le32(b + 48));
        if (h.headerSize >= 56 || h.compression == kAlphaBitFields) L.alpha = Channel(le32(b + 52));
    }
    // Palette: as many entries as declared and present.
    if (bpp <= 8) {
        const std::size_t entry = h.headerSize == 12 ? 3 : 4;
        std::size_t colours = h.used && h.used < (1u << bpp) ? h.used : (1u << bpp);
        const std::size_t room = afterHeader < n ? (n - afterHeader) / entry : 0;
        if (colours > room) colours = room;
        for (std::size_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = b + afterHeader + i * entry;
            L.palette[i][0] = e[2];
            L.palette[i][1] = e[1];
            L.palette[i][2] = e[0];
            L.palette[i][3] = 255;
        }
        // Indices beyond the palette read as opaque black.
        for (std::size_t i = colours; i < 256; ++i) L.palette[i][3] = 255;
    }
    L.spareMayBeAlpha = bpp == 32 && !L.alpha.max && L.red.mask == 0xFF0000 && L.green.mask == 0xFF00 &&
                        L.blue.mask == 0xFF;
    L.stride = (static_cast<std::uint64_t>(h.width) * bpp + 31) / 32 * 4;
    return true;
}

// One stored row of an uncompressed bitmap to RGBA. `spareIsAlpha` applies
// to the layouts that leave it open.
void dibRow(const DibLayout& L, const std::uint8_t* row, std::uint8_t* d, bool spareIsAlpha) {
    const std::uint32_t bpp = L.h.bpp;
    const std::size_t w = static_cast<std::size_t>(L.h.width);
    if (bpp == 24) return bgrToRgba(row, d, w);
    if (L.spareMayBeAlpha) return spareIsAlpha ? bgraToRgba(row, d, w) : bgrxToRgba(row, d, w);
    const Channel& a = L.alpha;
    if (bpp == 32 && L.red.isByte() && L.green.isByte() && L.blue.isByte() && (!a.max || a.isByte())) {
        const int r = L.red.shift / 8, g = L.green.shift / 8, bl = L.blue.shift / 8, as = a.shift / 8;
        const bool hasAlpha = a.max != 0;
        // Blue, green, red in the low three bytes (the usual order, alpha or not in the fourth).
        if (r == 2 && g == 1 && bl == 0 && (!hasAlpha || as == 3))
            return hasAlpha ? bgraToRgba(row, d, w) : bgrxToRgba(row, d, w);
        for (std::size_t x = 0; x < w; ++x, d += 4, row += 4) {
            d[0] = row[r];
            d[1] = row[g];
            d[2] = row[bl];
            d[3] = hasAlpha ? row[as] : 255;
        }
    } else if (bpp <= 8) {
        const std::uint32_t mask = (1u << bpp) - 1;
        for (std::size_t x = 0; x < w; ++x, d += 4) {
            const std::uint32_t bit = static_cast<std::uint32_t>(x * bpp);
            std::memcpy(d, L.palette[(row[bit / 8] >> (8 - bpp - bit % 8)) & mask], 4);
        }
    } else {
        for (std::size_t x = 0; x < w; ++x, d += 4) {
            const std::uint32_t v = bpp == 16 ? le16(row + x * 2) : le32(row + x * 4);
            d[0] = L.red.get(v, 0);
            d[1] = L.green.get(v, 0);
            d[2] = L.blue.get(v, 0);
            d[3] = L.alpha.get(v, 255);
        }
    }
}

// The uncompressed rows, handed out in file order by `nextRow` (null when
// missing), into out (allocated). A spare byte found in use turns alpha on
// from that row, and the rows converted before it, whose spare bytes were
// all 0, take alpha 0 as the stored value says.
template <class NextRow>
bool decodeDibRows(const DibLayout& L, NextRow nextRow, RgbaImage& out) {
    const std::int64_t w = L.h.width, rows = L.h.height;
    std::uint8_t* dst = out.pixels.data();
    bool spareIsAlpha = false;
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::uint8_t* row = nextRow();
        if (!row) return false;
        const std::int64_t y = L.h.topDown ? i : rows - 1 - i;
        if (L.spareMayBeAlpha && !spareIsAlpha && anyFourthByte(row, static_cast<std::size_t>(w))) {
            spareIsAlpha = true;
            for (std::int64_t k = 0; k < i; ++k) {
                std::uint8_t* done = dst + (L.h.topDown ? k : rows - 1 - k) * w * 4;
                for (std::int64_t x = 0; x < w; ++x) done[x * 4 + 3] = 0;
            }
        }
        dibRow(L, row, dst + y * w * 4, spareIsAlpha);
    }
    return true;
}

bool decodeDibRle(const DibLayout& L, const std::uint8_t* bits, std::size_t bitsSize, RgbaImage& out) {
    const std::int64_t w = L.h.width, rows = L.h.height;
    if (!allocateRgba(out, w, rows)) return false;
    Block<std::uint8_t> indices;
    if (!indices.allocate(static_cast<std::size_t>(w * rows))) return false;
    std::memset(indices.data(), 0, indices.size());
    decodeRle(L.h, bits, bitsSize, indices.data());
    std::uint8_t* dst = out.pixels.data();
    for (std::size_t i = 0; i < indices.size(); ++i) std::memcpy(dst + i * 4, L.palette[indices[i]], 4);
    return true;
}

}  // namespace

bool decodeDib(const std::uint8_t* b, std::size_t n, const std::uint8_t* bits, std::size_t bitsSize,
               RgbaImage& out) noexcept {
    DibLayout L;
    if (!dibLayout(b, n, L)) return false;
    if (L.rle) return decodeDibRle(L, bits, bitsSize, out);
    const std::uint64_t rows = static_cast<std::uint64_t>(L.h.height);
    if (L.stride * rows > bitsSize) return false;
    if (!allocateRgba(out, L.h.width, L.h.height)) return false;
    const std::uint8_t* next = bits;
    return decodeDibRows(L, [&] { return std::exchange(next, next + L.stride); }, out);
}

namespace {

bool isBmp(const std::uint8_t* b, std::size_t n) noexcept { return n >= 2 && b[0] == 'B' && b[1] == 'M'; }

// The header, masks and palette are read first; uncompressed rows then come
// from the file a chunk at a time straight into the picture, run-length
// bits are read whole.
bool readBmp(const char* path, RgbaImage& out) noexcept {
    FileReader file(path);
    std::uint8_t fileHeader[14];
    if (!file.ok() || file.size() < 26 || !file.readAt(0, fileHeader, sizeof fileHeader) ||
        !isBmp(fileHeader, sizeof fileHeader))
        return false;
    const std::uint64_t size = file.size();
    const std::uint64_t pixelOffset = le32(fileHeader + 10);
    if (pixelOffset > size || pixelOffset < 14) return false;
    // The header, masks and palette lie between the file header and the bits.
    Block<std::uint8_t> info;
    if (!file.readRange(14, static_cast<std::size_t>(pixelOffset - 14), info)) return false;
    DibLayout L;
    if (!dibLayout(info.data(), info.size(), L)) return false;
    const std::uint64_t bitsSize = size - pixelOffset;
    if (L.rle) {
        Block<std::uint8_t> bits;
        return file.readRange(pixelOffset, static_cast<std::size_t>(bitsSize), bits) &&
               decodeDibRle(L, bits.data(), bits.size(), out);
    }
    const std::uint64_t rows = static_cast<std::uint64_t>(L.h.height);
    if (L.stride * rows > bitsSize) return false;
    if (!allocateRgba(out, L.h.width, L.h.height)) return false;
    StoredRows stored;
    return stored.open(file, pixelOffset, static_cast<std::size_t>(L.stride), static_cast<std::size_t>(rows)) &&
           decodeDibRows(L, [&] { return stored.next(); }, out);
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
