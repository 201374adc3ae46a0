// Photoshop documents, the flattened composite only, read and written by
// our own code. Read: greyscale and RGB, 8 or 16 bits a channel (16-bit
// samples keep their high byte), an alpha channel when the file has one more
// channel than its colour needs, raw or PackBits image data. The resolution
// comes from the ResolutionInfo resource (unit 2 per inch, 3 per
// centimetre). Raw data that ends early is refused; run-length rows missing
// from a short file stay black (alpha rows transparent).
// Written: 8-bit RGB, or RGBA with the alpha as fourth channel, PackBits
// compressed, no layers, with the ResolutionInfo resource when a resolution
// is given.
#include <cstring>

#include "exchange/formats/byte_io.h"
#include "exchange/formats/file_pieces.h"
#include "exchange/formats/image_formats.h"
#include "exchange/formats/row_convert.h"

namespace plr::formats {
namespace {

constexpr std::uint32_t kResolutionInfo = 0x03ED;

bool isPsd(const std::uint8_t* b, std::size_t n) noexcept {
    return n >= 6 && std::memcmp(b, "8BPS", 4) == 0 && be16(b + 4) == 1;
}

struct PsdHeader {
    std::uint32_t channels = 0, width = 0, height = 0, depth = 0, mode = 0;
    double resolution = 0;
    std::int32_t unit = 0;
};

bool u32At(FileReader& f, std::uint64_t at, std::uint32_t& v) {
    std::uint8_t b[4];
    if (!f.readAt(at, b, 4)) return false;
    v = be32(b);
    return true;
}

// Header, colour-mode data, resources (the resolution) and the layer section
// skipped: `at` ends at the image data.
bool parse(FileReader& f, std::uint64_t& at, PsdHeader& h) {
    std::uint8_t head[26];
    if (!f.readAt(0, head, sizeof head) || !isPsd(head, sizeof head)) return false;
    h.channels = be16(head + 12);
    h.height = be32(head + 14);
    h.width = be32(head + 18);
    h.depth = be16(head + 22);
    h.mode = be16(head + 24);
    if (h.channels < 1 || h.channels > 56 || (h.depth != 8 && h.depth != 16) || (h.mode != 1 && h.mode != 3)) return false;
    if (h.channels < (h.mode == 3 ? 3u : 1u) || !decodeSizeAllowed(h.width, h.height)) return false;
    std::uint32_t length = 0;
    at = 26;
    if (!u32At(f, at, length) || length > f.size() - at - 4) return false;  // colour-mode data
    at += 4 + std::uint64_t{length};
    Block<std::uint8_t> resources;
    if (!u32At(f, at, length) || !f.readRange(at + 4, length, resources)) return false;
    at += 4 + std::uint64_t{length};
    Cursor r{resources.data(), resources.size()};
    while (r.has(12)) {
        const std::uint8_t* sig = r.take(4);
        if (std::memcmp(sig, "8BIM", 4) != 0) break;
        const std::uint32_t id = r.u16be();
        const std::uint32_t nameLength = r.u8();
        r.skip(nameLength + ((nameLength + 1) & 1));  // the Pascal name padded to even
        const std::uint32_t size = r.u32be();
        const std::uint8_t* data = r.take(size);
        if (!data) break;
        r.skip(size & 1);
        if (id == kResolutionInfo && size >= 16) {
            h.resolution = be32(data) / 65536.0;
            h.unit = be16(data + 4) == 1 ? 2 : be16(data + 4) == 2 ? 3 : 0;
        }
    }
    // Then the layer and mask section.
    if (!u32At(f, at, length) || length > f.size() - at - 4) return false;
    at += 4 + std::uint64_t{length};
    return true;
}

// Raw data is planar, every channel's rows in turn: each channel's plane is
// read a chunk of rows at a time and the rows are put together straight into
// the picture.
bool readPsd(const char* path, RgbaImage& out) noexcept {
    FileReader file(path);
    std::uint64_t at = 0;
    PsdHeader h;
    std::uint8_t word[2];
    if (!file.ok() || !parse(file, at, h) || !file.readAt(at, word, 2)) return false;
    at += 2;
    const std::uint32_t compression = be16(word);
    if (compression > 1) return false;
    const std::uint32_t colours = h.mode == 3 ? 3 : 1;
    const std::uint32_t used = h.channels > colours ? colours + 1 : colours;
    const std::size_t bytes = h.depth / 8;
    const std::size_t rowBytes = std::size_t{h.width} * bytes;
    const std::uint64_t plane = std::uint64_t{rowBytes} * h.height;
    if (compression == 0 && plane * used > file.size() - at) return false;
    if (!allocateRgba(out, h.width, h.height)) return false;
    std::uint8_t* dst = out.pixels.data();
    const std::size_t count = std::size_t{h.width} * h.height;
    // Channel `ch`'s row: samples to the channel's byte of every pixel (grey fills red, green and blue).
    auto storeRow = [&](std::uint32_t ch, std::uint32_t y, const std::uint8_t* src) {
        std::uint8_t* d = dst + std::size_t{y} * h.width * 4;
        const std::size_t to = ch < colours ? ch : 3;
        if (colours == 1 && ch == 0) {
            for (std::uint32_t x = 0; x < h.width; ++x, d += 4, src += bytes) d[0] = d[1] = d[2] = src[0];
        } else {
            for (std::uint32_t x = 0; x < h.width; ++x, d += 4, src += bytes) d[to] = src[0];
        }
    };
    if (compression == 0) {
        StoredRows planes[4];
        for (std::uint32_t ch = 0; ch < used; ++ch)
            if (!planes[ch].open(file, at + ch * plane, rowBytes, h.height)) return false;
        const std::uint8_t* rows[4] = {};
        for (std::uint32_t y = 0; y < h.height; ++y) {
            for (std::uint32_t ch = 0; ch < used; ++ch)
                if (!(rows[ch] = planes[ch].next())) return false;
            std::uint8_t* d = dst + std::size_t{y} * h.width * 4;
            if (used == 3 && bytes == 1) {
                planesToRgba(rows[0], rows[1], rows[2], d, h.width);
                continue;
            }
            if (used == colours)
                for (std::uint32_t x = 0; x < h.width; ++x) d[x * 4 + 3] = 255;
            for (std::uint32_t ch = 0; ch < used; ++ch) storeRow(ch, y, rows[ch]);
        }
        return true;
    }
    // PackBits: a table of every row's length (all channels), then the rows.
    Block<std::uint8_t> rest;
    if (!file.readRange(at, static_cast<std::size_t>(file.size() - at), rest)) return false;
    Cursor c{rest.data(), rest.size()};
    const std::uint8_t* lengths = c.take(std::size_t{h.channels} * h.height * 2);
    if (!lengths) return false;
    Block<std::uint8_t> row;
    if (!row.allocate(rowBytes)) return false;
    std::memset(dst, 0, out.pixels.size());
    if (used == colours)
        for (std::size_t i = 0; i < count; ++i) dst[i * 4 + 3] = 255;
    for (std::uint32_t ch = 0; ch < used; ++ch)
        for (std::uint32_t y = 0; y < h.height; ++y) {
            const std::uint8_t* packed = c.take(be16(lengths + (std::size_t{ch} * h.height + y) * 2));
            if (!packed) return true;  // a short file: the rest stays as it is
            const std::size_t n = be16(lengths + (std::size_t{ch} * h.height + y) * 2);
            std::size_t i = 0, o = 0;
            while (i < n && o < rowBytes) {
                const std::int32_t k = static_cast<std::int8_t>(packed[i++]);
                if (k >= 0) {
                    const std::size_t len = std::size_t(k) + 1;
                    if (len > n - i || len > rowBytes - o) break;
                    std::memcpy(row.data() + o, packed + i, len);
                    i += len;
                    o += len;
                } else if (k != -128) {
                    const std::size_t len = std::size_t(1 - k);
                    if (i >= n || len > rowBytes - o) break;
                    std::memset(row.data() + o, packed[i++], len);
                    o += len;
                }
            }
            std::memset(row.data() + o, 0, rowBytes - o);
            storeRow(ch, y, row.data());
        }
    return true;
}

bool psdInfo(const char* path, ImageInfo& out) noexcept {
    FileReader file(path);
    std::uint64_t at = 0;
    PsdHeader h;
    if (!file.ok() || !parse(file, at, h)) return false;
    out.width = static_cast<std::int32_t>(h.width);
    out.height = static_cast<std::int32_t>(h.height);
    out.resolution = h.resolution;
    out.unit = h.unit;
    return true;
}

// PackBits: literal runs of up to 128 bytes, repeats of 2..128.
std::size_t packBits(const std::uint8_t* src, std::size_t n, std::uint8_t* out) {
    std::size_t o = 0, i = 0;
    while (i < n) {
        std::size_t r = 1;
        while (i + r < n && r < 128 && src[i + r] == src[i]) ++r;
        if (r >= 2) {
            out[o++] = static_cast<std::uint8_t>(257 - r);
            out[o++] = src[i];
            i += r;
            continue;
        }
        std::size_t l = 1;
        while (i + l < n && l < 128 && !(i + l + 1 < n && src[i + l] == src[i + l + 1])) ++l;
        out[o++] = static_cast<std::uint8_t>(l - 1);
        std::memcpy(out + o, src + i, l);
        o += l;
        i += l;
    }
    return o;
}

bool writePsd(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width), h = static_cast<std::uint32_t>(image.height);
    const std::uint32_t channels = static_cast<std::uint32_t>(image.channels);
    if (w > 30000 || h > 30000) return false;
    // Worst case of packBits for one row: a repeat never grows, a literal
    // costs one count byte, and a short literal ends only where a repeat of
    // two or more begins: a one-byte literal and a two-byte repeat make four
    // bytes of three. Half as much again, plus the last literal's count, holds.
    const std::size_t worst = w + w / 2 + 2;
    Block<std::uint8_t> plane, packed;
    Block<std::uint16_t> lengths;
    if (!plane.allocate(w) || !packed.allocate(worst * h * channels) ||
        !lengths.allocate(std::size_t{h} * channels))
        return false;
    std::size_t total = 0;
    for (std::uint32_t ch = 0; ch < channels; ++ch)
        for (std::uint32_t y = 0; y < h; ++y) {
            const std::uint8_t* row = image.row(static_cast<std::int32_t>(y));
            for (std::uint32_t x = 0; x < w; ++x) plane[x] = row[x * channels + ch];
            const std::size_t n = packBits(plane.data(), w, packed.data() + total);
            lengths[std::size_t{ch} * h + y] = static_cast<std::uint16_t>(n);
            total += n;
        }
    FileSink sink(path);
    sink.put("8BPS", 4);
    sink.u16be(1);
    sink.zeros(6);
    sink.u16be(channels);
    sink.u32be(h);
    sink.u32be(w);
    sink.u16be(8);
    sink.u16be(3);  // RGB
    sink.u32be(0);  // no colour-mode data
    if (s.resolution.present()) {
        const std::uint32_t unit = s.resolution.unit == 3 ? 2 : 1;
        sink.u32be(28);
        sink.put("8BIM", 4);
        sink.u16be(kResolutionInfo);
        sink.u16be(0);  // empty name, padded
        sink.u32be(16);
        sink.u32be(static_cast<std::uint32_t>(s.resolution.x * 65536.0));
        sink.u16be(unit);
        sink.u16be(unit);
        sink.u32be(static_cast<std::uint32_t>(s.resolution.y * 65536.0));
        sink.u16be(unit);
        sink.u16be(unit);
    } else {
        sink.u32be(0);
    }
    sink.u32be(0);  // no layers
    sink.u16be(1);  // PackBits
    for (std::size_t i = 0; i < lengths.size(); ++i) sink.u16be(lengths[i]);
    sink.put(packed.data(), total);
    return sink.close();
}

}  // namespace

const ImageFormat kPsdFormat{FileType::Psd, "PSD", {"psd"}, isPsd, readPsd, psdInfo, writePsd, nullptr};

}  // namespace plr::formats
