// Truevision TGA, read and written by our own code. Read: colour-mapped,
// true-colour and grey pictures, raw or run-length (types 1, 2, 3, 9, 10,
// 11), 8-bit grey, 15/16/24/32-bit colour, palettes of 15/16/24/32-bit
// entries with 8- or 16-bit indices, every origin (bottom-up by default,
// top-down and right-to-left by the descriptor bits). 16-bit pixels carry
// alpha only when the descriptor declares one attribute bit; a 32-bit
// picture whose descriptor declares no alpha bits and whose fourth bytes
// are all zero is opaque (writers that leave them unused). A raw picture
// whose pixels end early is refused; a run-length stream that ends early
// leaves the rest transparent black.
// Written: uncompressed 24-bit (3 channels) or 32-bit (4 channels), top-left
// origin, with the version 2 footer.
#include <cstring>
#include <new>

#include "exchange/formats/byte_io.h"
#include "exchange/formats/file_pieces.h"
#include "exchange/formats/image_formats.h"
#include "exchange/formats/row_convert.h"

namespace plr::formats {
namespace {

struct TgaHeader {
    std::uint32_t idLength, mapType, type, mapFirst, mapLength, mapDepth, width, height, depth, descriptor;
};

TgaHeader header(const std::uint8_t* b) {
    return {b[0], b[1], b[2], le16(b + 3), le16(b + 5), b[7], le16(b + 12), le16(b + 14), b[16], b[17]};
}

bool plausible(const TgaHeader& h) {
    const std::uint32_t base = h.type & 7;
    if (h.mapType > 1 || (h.type & ~8u) > 3 || base == 0 || (h.descriptor & 0xC0)) return false;
    if (h.width == 0 || h.height == 0) return false;
    if (base == 1) return h.mapType == 1 && (h.depth == 8 || h.depth == 16) &&
                          (h.mapDepth == 15 || h.mapDepth == 16 || h.mapDepth == 24 || h.mapDepth == 32);
    if (h.mapType == 1 && h.mapDepth != 15 && h.mapDepth != 16 && h.mapDepth != 24 && h.mapDepth != 32) return false;
    if (base == 3) return h.depth == 8 || h.depth == 16;
    return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
}

// TGA has no signature: the 18-byte header must make sense.
bool isTga(const std::uint8_t* b, std::size_t n) noexcept { return n >= 18 && plausible(header(b)); }

std::uint8_t five(std::uint32_t v) { return static_cast<std::uint8_t>(((v & 31) * 255 + 15) / 31); }

// One stored pixel (`size` bytes) to RGBA.
void colour(const std::uint8_t* s, std::uint32_t depth, bool grey, bool alphaBit, std::uint8_t* d) {
    if (grey) {
        d[0] = d[1] = d[2] = s[0];
        d[3] = depth == 16 ? s[1] : 255;
        return;
    }
    switch (depth) {
        case 15:
        case 16: {
            const std::uint32_t v = le16(s);
            d[0] = five(v >> 10);
            d[1] = five(v >> 5);
            d[2] = five(v);
            d[3] = alphaBit && depth == 16 ? ((v & 0x8000) ? 255 : 0) : 255;
            return;
        }
        case 24: d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = 255; return;
        default: d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3]; return;
    }
}

// The header and colour map are read first; raw pixels then come from the
// file a chunk of rows at a time straight into the picture, a run-length
// stream is read whole.
bool readTga(const char* path, RgbaImage& out) noexcept {
    FileReader file(path);
    std::uint8_t head[18];
    if (!file.ok() || !file.readAt(0, head, sizeof head) || !isTga(head, sizeof head)) return false;
    const TgaHeader h = header(head);
    std::uint64_t at = 18 + std::uint64_t{h.idLength};
    if (at > file.size()) return false;
    const std::uint32_t base = h.type & 7;
    const bool rle = h.type & 8, grey = base == 3, mapped = base == 1;
    const std::uint32_t alphaBits = h.descriptor & 15;
    // The colour map (kept even for true-colour pictures, which do not use it).
    std::uint8_t palette[256][4] = {};
    const std::uint32_t entryBytes = (h.mapDepth + 7) / 8;
    if (h.mapType == 1) {
        Block<std::uint8_t> map;
        if (!file.readRange(at, std::size_t{h.mapLength} * entryBytes, map)) return false;
        at += map.size();
        if (mapped && h.depth == 8)
            for (std::uint32_t i = 0; i < h.mapLength; ++i)
                if (h.mapFirst + i < 256)
                    colour(map.data() + i * entryBytes, h.mapDepth, false, h.mapDepth == 16 && alphaBits == 1,
                           palette[h.mapFirst + i]);
        if (mapped && h.depth == 16) return false;  // 16-bit indices: no writer makes them
    }
    const std::uint32_t size = (h.depth + 7) / 8;
    const std::size_t count = std::size_t{h.width} * h.height;
    if (!rle && count * size > file.size() - at) return false;
    if (!allocateRgba(out, h.width, h.height)) return false;
    std::uint8_t* dst = out.pixels.data();
    if (rle) std::memset(dst, 0, count * 4);  // what a short stream leaves
    const bool alphaBit = alphaBits == 1;
    auto store = [&](const std::uint8_t* s, std::uint8_t* d) {
        if (mapped) std::memcpy(d, palette[s[0]], 4);
        else colour(s, h.depth, grey, alphaBit, d);
    };
    // Stored bottom row first unless the descriptor says top.
    const bool topDown = h.descriptor & 0x20;
    const std::size_t rowBytes = std::size_t{h.width} * 4;
    auto rowOut = [&](std::size_t storedRow) { return dst + (topDown ? storedRow : h.height - 1 - storedRow) * rowBytes; };
    if (!rle) {
        StoredRows stored;
        if (!stored.open(file, at, std::size_t{h.width} * size, h.height)) return false;
        for (std::uint32_t y = 0; y < h.height; ++y) {
            const std::uint8_t* s = stored.next();
            if (!s) return false;
            std::uint8_t* d = rowOut(y);
            if (!mapped && !grey && h.depth == 32) {
                bgraToRgba(s, d, h.width);
            } else if (!mapped && !grey && h.depth == 24) {
                bgrToRgba(s, d, h.width);
            } else {
                for (std::uint32_t x = 0; x < h.width; ++x, s += size, d += 4) store(s, d);
            }
        }
    } else {
        // A packet gives at least one pixel for at most one count byte and one
        // pixel's bytes per pixel: bytes past that bound are never used.
        const std::uint64_t most = std::uint64_t{count} * (size + 1), left = file.size() - at;
        Block<std::uint8_t> stream;
        if (!file.readRange(at, static_cast<std::size_t>(left < most ? left : most), stream)) return false;
        Cursor c{stream.data(), stream.size()};
        // Packets may run across the end of a row.
        std::size_t i = 0;
        while (i < count && c.has(1)) {
            const std::uint32_t packet = c.u8();
            const std::size_t n = (packet & 127) + 1;
            const std::uint8_t* s = c.take(packet & 128 ? size : n * size);
            if (!s) break;
            for (std::size_t k = 0; k < n && i < count; ++k, ++i)
                store(packet & 128 ? s : s + k * size, rowOut(i / h.width) + (i % h.width) * 4);
        }
    }
    if (h.depth == 32 && !mapped && alphaBits == 0 && !anyFourthByte(dst, count))
        for (std::size_t i = 0; i < count; ++i) dst[i * 4 + 3] = 255;
    if (h.descriptor & 0x10)
        for (std::uint32_t y = 0; y < h.height; ++y)
            for (std::uint32_t x = 0; x < h.width / 2; ++x) {
                std::uint32_t* row = reinterpret_cast<std::uint32_t*>(dst + y * rowBytes);
                std::swap(row[x], row[h.width - 1 - x]);
            }
    return true;
}

bool tgaInfo(const char* path, ImageInfo& out) noexcept {
    std::uint8_t head[18];
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (!isTga(head, n)) return false;
    const TgaHeader h = header(head);
    out.width = static_cast<std::int32_t>(h.width);
    out.height = static_cast<std::int32_t>(h.height);
    return true;
}

class TgaRows final : public RowWriter {
public:
    TgaRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels)
        : sink_(path), w_(w), channels_(channels) {
        ok_ = sink_.ok() && row_.allocate(static_cast<std::size_t>(w) * channels);
        const std::uint8_t head[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8),
                                       static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                                       static_cast<std::uint8_t>(channels * 8),
                                       static_cast<std::uint8_t>(0x20 | (channels == 4 ? 8 : 0))};
        sink_.put(head, sizeof head);
    }
    bool next(const std::uint8_t* row) noexcept override {
        if (!ok_) return false;
        std::uint8_t* d = row_.data();
        const std::int32_t n = channels_;
        for (std::int32_t x = 0; x < w_; ++x, d += n, row += n) {
            d[0] = row[2];
            d[1] = row[1];
            d[2] = row[0];
            if (n == 4) d[3] = row[3];
        }
        sink_.put(row_.data(), row_.size());
        return ok_ = sink_.ok();
    }
    bool finish() noexcept override {
        if (!ok_) return false;
        sink_.zeros(8);  // no extension area, no developer directory
        sink_.put("TRUEVISION-XFILE.", 18);
        return sink_.close();
    }

private:
    FileSink sink_;
    std::int32_t w_, channels_;
    Block<std::uint8_t> row_;
    bool ok_ = false;
};

std::unique_ptr<RowWriter> openTgaRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels,
                                       const WriteSettings&) noexcept {
    if (!path || w <= 0 || h <= 0 || w > 65535 || h > 65535 || (channels != 3 && channels != 4)) return nullptr;
    return std::unique_ptr<RowWriter>(new (std::nothrow) TgaRows(path, w, h, channels));
}

bool writeTga(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    return writeByRows(openTgaRows(path, image.width, image.height, image.channels, s), image, false);
}

}  // namespace

const ImageFormat kTgaFormat{FileType::Tga, "TGA", {"tga", "targa", "icb", "vst"}, isTga, readTga, tgaInfo, writeTga,
                             openTgaRows};

}  // namespace plr::formats
