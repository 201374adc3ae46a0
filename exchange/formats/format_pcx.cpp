// ZSoft PCX, read and written by our own code. Read: 1 bit on 1 plane
// (black and white), 1 bit on 2..4 planes and 2 or 4 bits on 1 plane
// (header palette), 8 bits on 1 plane (the 256-entry palette after the
// 0x0C marker at the end, grey without it), 8 bits on 3 or 4 planes (RGB,
// RGBA). Run-length runs may cross plane and line ends as some writers make
// them; a stream that ends early leaves the remaining rows transparent black.
// Written: 8 bits on 3 planes, run-length coded line by line, with the
// resolution in dots per inch in the header.
#include <cstring>

#include "exchange/formats/byte_io.h"
#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

constexpr std::size_t kHeader = 128;

bool isPcx(const std::uint8_t* b, std::size_t n) noexcept {
    if (n < 66 || b[0] != 0x0A || b[1] > 5 || b[1] == 1 || b[2] > 1) return false;
    const std::uint32_t bits = b[3], planes = b[65];
    const bool known = (bits == 1 && planes >= 1 && planes <= 4) || ((bits == 2 || bits == 4) && planes == 1) ||
                       (bits == 8 && (planes == 1 || planes == 3 || planes == 4));
    return known && le16(b + 8) >= le16(b + 4) && le16(b + 10) >= le16(b + 6);
}

bool readPcx(const char* path, RgbaImage& out) noexcept {
    Block<std::uint8_t> file;
    if (!readFileBytes(path, file) || file.size() < kHeader || !isPcx(file.data(), file.size())) return false;
    const std::uint8_t* b = file.data();
    const std::size_t size = file.size();
    const std::uint32_t bits = b[3], planes = b[65], bytesPerLine = le16(b + 66);
    const std::int64_t w = std::int64_t{le16(b + 8)} - le16(b + 4) + 1, h = std::int64_t{le16(b + 10)} - le16(b + 6) + 1;
    if (std::uint64_t{bytesPerLine} * 8 < static_cast<std::uint64_t>(w) * bits) return false;
    // The palette: 16 entries in the header, or 256 after the data.
    std::uint8_t palette[256][4] = {};
    std::size_t dataEnd = size;
    if (bits * planes <= 4) {
        for (int i = 0; i < 16; ++i) std::memcpy(palette[i], b + 16 + i * 3, 3);
        if (bits == 1 && planes == 1) {
            std::memset(palette[0], 0, 3);
            std::memset(palette[1], 255, 3);
        }
    } else if (bits == 8 && planes == 1) {
        const bool marked = size >= kHeader + 769 && b[size - 769] == 0x0C;
        for (int i = 0; i < 256; ++i) {
            if (marked) std::memcpy(palette[i], b + size - 768 + i * 3, 3);
            else palette[i][0] = palette[i][1] = palette[i][2] = static_cast<std::uint8_t>(i);
        }
        if (marked) dataEnd = size - 769;
    }
    for (auto& e : palette) e[3] = 255;
    if (!allocateRgba(out, w, h)) return false;
    const std::size_t lineBytes = std::size_t{bytesPerLine} * planes;
    Block<std::uint8_t> line;
    if (!line.allocate(lineBytes)) return false;
    std::uint8_t* dst = out.pixels.data();
    std::memset(dst, 0, out.pixels.size());
    std::size_t at = kHeader;
    std::uint32_t run = 0, value = 0;  // a run may continue into the next line
    for (std::int64_t y = 0; y < h; ++y) {
        std::size_t filled = 0;
        while (filled < lineBytes) {
            if (!run) {
                if (at >= dataEnd) break;
                const std::uint32_t c = b[at++];
                if ((c & 0xC0) == 0xC0) {
                    if (at >= dataEnd) break;
                    run = c & 0x3F;
                    value = b[at++];
                } else {
                    run = 1;
                    value = c;
                }
            }
            const std::size_t n = run < lineBytes - filled ? run : lineBytes - filled;
            std::memset(line.data() + filled, static_cast<int>(value), n);
            filled += n;
            run -= static_cast<std::uint32_t>(n);
        }
        if (filled < lineBytes) break;  // the stream ended: the rest stays black
        std::uint8_t* d = dst + y * w * 4;
        const std::uint8_t* l = line.data();
        if (bits == 8 && planes >= 3) {
            for (std::int64_t x = 0; x < w; ++x, d += 4) {
                d[0] = l[x];
                d[1] = l[bytesPerLine + x];
                d[2] = l[2 * bytesPerLine + x];
                d[3] = planes == 4 ? l[3 * bytesPerLine + x] : 255;
            }
        } else {
            for (std::int64_t x = 0; x < w; ++x, d += 4) {
                std::uint32_t index = 0;
                if (planes == 1) {
                    const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
                    index = (l[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                } else {
                    for (std::uint32_t p = 0; p < planes; ++p)
                        index |= ((l[p * bytesPerLine + x / 8] >> (7 - x % 8)) & 1u) << p;
                }
                std::memcpy(d, palette[index], 4);
            }
        }
        if (!run && at >= dataEnd && y + 1 < h) break;
    }
    return true;
}

bool pcxInfo(const char* path, ImageInfo& out) noexcept {
    std::uint8_t head[kHeader];
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n < kHeader || !isPcx(head, n)) return false;
    out.width = static_cast<std::int32_t>(le16(head + 8) - le16(head + 4) + 1);
    out.height = static_cast<std::int32_t>(le16(head + 10) - le16(head + 6) + 1);
    out.resolution = le16(head + 12);
    out.unit = out.resolution > 0 ? 1 : 0;
    return true;
}

// One plane's line, run-length coded: runs of up to 63, and single bytes
// with both top bits set written as runs of one.
void encodeLine(const std::uint8_t* src, std::size_t n, FileSink& sink, std::uint8_t* scratch) {
    std::size_t o = 0;
    for (std::size_t i = 0; i < n;) {
        std::size_t r = 1;
        while (i + r < n && r < 63 && src[i + r] == src[i]) ++r;
        if (r > 1 || (src[i] & 0xC0) == 0xC0) scratch[o++] = static_cast<std::uint8_t>(0xC0 | r);
        scratch[o++] = src[i];
        i += r;
    }
    sink.put(scratch, o);
}

bool writePcx(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    if (image.width > 65535 || image.height > 65535) return false;
    const std::uint32_t bytesPerLine = (static_cast<std::uint32_t>(image.width) + 1) & ~1u;
    Block<std::uint8_t> plane, scratch;
    if (!plane.allocate(bytesPerLine) || !scratch.allocate(std::size_t{bytesPerLine} * 2)) return false;
    FileSink sink(path);
    std::uint8_t head[kHeader] = {0x0A, 5, 1, 8};
    const std::uint32_t dpi = s.resolution.present() && s.resolution.x <= 65535 ? static_cast<std::uint32_t>(s.resolution.x) : 0;
    const std::uint32_t dpiY = s.resolution.present() && s.resolution.y <= 65535 ? static_cast<std::uint32_t>(s.resolution.y) : 0;
    const std::uint32_t fields[] = {0, 0, static_cast<std::uint32_t>(image.width - 1),
                                    static_cast<std::uint32_t>(image.height - 1), dpi, dpiY};
    for (int i = 0; i < 6; ++i) {
        head[4 + i * 2] = static_cast<std::uint8_t>(fields[i]);
        head[5 + i * 2] = static_cast<std::uint8_t>(fields[i] >> 8);
    }
    head[65] = 3;
    head[66] = static_cast<std::uint8_t>(bytesPerLine);
    head[67] = static_cast<std::uint8_t>(bytesPerLine >> 8);
    head[68] = 1;  // colour
    sink.put(head, sizeof head);
    plane[bytesPerLine - 1] = 0;  // the pad byte of odd widths
    for (std::int32_t y = 0; y < image.height && sink.ok(); ++y) {
        const std::uint8_t* row = image.row(y);
        for (int c = 0; c < 3; ++c) {
            for (std::int32_t x = 0; x < image.width; ++x) plane[static_cast<std::size_t>(x)] = row[x * image.channels + c];
            encodeLine(plane.data(), bytesPerLine, sink, scratch.data());
        }
    }
    return sink.close();
}

}  // namespace

const ImageFormat kPcxFormat{FileType::Pcx, "PCX", {"pcx"}, isPcx, readPcx, pcxInfo, writePcx, nullptr};

}  // namespace plr::formats
