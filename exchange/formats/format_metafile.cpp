// Metafiles, enhanced (EMF) and Windows (WMF), by our own record reader:
// only their bitmap records are drawn (EMF StretchDIBits, BitBlt,
// StretchBlt, SetDIBitsToDevice; WMF StretchDIB, DIBStretchBlt, DIBBitBlt,
// SetDIBitsToDevice), each stretched nearest-neighbour from its source
// rectangle onto its destination rectangle, mirrored when an extent is
// negative, over an opaque background. Vector records are skipped. The
// frame: EMF's bounds rectangle; WMF's placeable header, else its window
// origin and extent, else the first bitmap's destination. Records are
// walked with their sizes checked against the file; a record that does not
// fit ends the walk. A file holding drawing this reader skips goes to the
// system's renderer where there is one (Windows GDI), over the same
// background and frame.
// Written: EMF as one StretchDIBits record of a 24-bit bitmap; WMF as a
// placeable metafile with one StretchDIB record.
#include <cstring>

#include "exchange/formats/byte_io.h"
#include "platform/metafile_playback.h"
#include "exchange/formats/dib.h"
#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

struct Rect {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
};

// One bitmap drawing: the packed bitmap parts and both rectangles (extents may be negative).
struct Blit {
    const std::uint8_t* info;
    std::size_t infoSize;
    const std::uint8_t* bits;
    std::size_t bitsSize;
    std::int64_t xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc;
    bool srcFromBottom;  // SetDIBitsToDevice counts source rows from the bottom
};

struct Canvas {
    RgbaImage& out;
    Rect frame;
};

std::int32_t s32(const std::uint8_t* p) { return static_cast<std::int32_t>(le32(p)); }
std::int16_t s16(const std::uint8_t* p) { return static_cast<std::int16_t>(le16(p)); }

void draw(Canvas& canvas, const Blit& b) {
    RgbaImage bitmap;
    if (!decodeDib(b.info, b.infoSize, b.bits, b.bitsSize, bitmap)) return;
    const Rect& f = canvas.frame;
    if (f.width() <= 0 || f.height() <= 0 || b.cxDest == 0 || b.cyDest == 0) return;
    const std::int64_t W = canvas.out.width, H = canvas.out.height;
    // Destination corners in output pixels.
    auto ox = [&](std::int64_t lx) { return (lx - f.left) * W / f.width(); };
    auto oy = [&](std::int64_t ly) { return (ly - f.top) * H / f.height(); };
    std::int64_t x0 = ox(b.xDest), x1 = ox(b.xDest + b.cxDest), y0 = oy(b.yDest), y1 = oy(b.yDest + b.cyDest);
    const bool flipX = x1 < x0, flipY = y1 < y0;
    if (flipX) std::swap(x0, x1);
    if (flipY) std::swap(y0, y1);
    if (x1 == x0 || y1 == y0) return;
    std::int64_t sx = b.xSrc, sy = b.ySrc, sw = b.cxSrc, sh = b.cySrc;
    if (sw < 0) sx += sw, sw = -sw;
    if (sh < 0) sy += sh, sh = -sh;
    if (b.srcFromBottom) sy = bitmap.height - sy - sh;
    for (std::int64_t y = y0 < 0 ? 0 : y0; y < y1 && y < H; ++y) {
        const std::int64_t ty = flipY ? y1 - 1 - y : y - y0;
        const std::int64_t srcY = sy + ty * sh / (y1 - y0);
        if (srcY < 0 || srcY >= bitmap.height) continue;
        const std::uint8_t* srcRow = bitmap.pixels.data() + srcY * bitmap.width * 4;
        std::uint8_t* d = canvas.out.pixels.data() + y * W * 4;
        for (std::int64_t x = x0 < 0 ? 0 : x0; x < x1 && x < W; ++x) {
            const std::int64_t tx = flipX ? x1 - 1 - x : x - x0;
            const std::int64_t srcX = sx + tx * sw / (x1 - x0);
            if (srcX < 0 || srcX >= bitmap.width) continue;
            std::memcpy(d + x * 4, srcRow + srcX * 4, 3);
            d[x * 4 + 3] = 255;
        }
    }
}

bool prepare(Canvas& canvas, std::int32_t width, std::int32_t height, const std::uint8_t background[3]) {
    const std::int64_t w = width > 0 && height > 0 ? width : canvas.frame.width();
    const std::int64_t h = width > 0 && height > 0 ? height : canvas.frame.height();
    if (!allocateRgba(canvas.out, w, h)) return false;
    // The first row pixel by pixel, every other row copied from it: a frame
    // of a hundred million pixels is filled at the speed of a block copy.
    std::uint8_t* first = canvas.out.pixels.data();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    for (std::size_t x = 0; x < rowBytes; x += 4) {
        std::memcpy(first + x, background, 3);
        first[x + 3] = 255;
    }
    for (std::int64_t y = 1; y < h; ++y) std::memcpy(first + static_cast<std::size_t>(y) * rowBytes, first, rowBytes);
    return true;
}

// ---- EMF ----

bool isEmf(const std::uint8_t* b, std::size_t n) noexcept { return n >= 44 && le32(b) == 1 && le32(b + 40) == kEmfSignature; }

bool emfFrame(const std::uint8_t* b, std::size_t n, Rect& frame) {
    if (!isEmf(b, n) || le32(b + 4) < 88 || le32(b + 4) > n) return false;
    frame = {s32(b + 8), s32(b + 12), std::int64_t{s32(b + 16)} + 1, std::int64_t{s32(b + 20)} + 1};
    return frame.width() > 0 && frame.height() > 0 && decodeSizeAllowed(frame.width(), frame.height());
}

// The bitmap parts at offsets from the record's start, checked against the record.
bool parts(const std::uint8_t* rec, std::size_t size, std::uint32_t offInfo, std::uint32_t infoBytes,
           std::uint32_t offBits, std::uint32_t bitsBytes, Blit& b) {
    if (offInfo > size || infoBytes > size - offInfo || offBits > size || bitsBytes > size - offBits || !infoBytes)
        return false;
    b.info = rec + offInfo;
    b.infoSize = infoBytes;
    b.bits = rec + offBits;
    b.bitsSize = bitsBytes;
    return true;
}

void emfRecords(const std::uint8_t* data, std::size_t size, Canvas& canvas) {
    Cursor c{data, size};
    while (c.has(8)) {
        const std::uint8_t* rec = data + c.at;
        const std::uint32_t type = le32(rec), length = le32(rec + 4);
        if (length < 8 || length % 4 || length > c.left()) break;
        Blit b{};
        bool blit = false;
        switch (type) {
            case 81:  // StretchDIBits
                if (length >= 80 && parts(rec, length, le32(rec + 48), le32(rec + 52), le32(rec + 56), le32(rec + 60), b)) {
                    b.xDest = s32(rec + 24), b.yDest = s32(rec + 28), b.xSrc = s32(rec + 32), b.ySrc = s32(rec + 36);
                    b.cxSrc = s32(rec + 40), b.cySrc = s32(rec + 44), b.cxDest = s32(rec + 72), b.cyDest = s32(rec + 76);
                    b.srcFromBottom = true;
                    blit = true;
                }
                break;
            case 76:  // BitBlt
            case 77:  // StretchBlt
                if (length >= (type == 77 ? 108u : 100u) &&
                    parts(rec, length, le32(rec + 84), le32(rec + 88), le32(rec + 92), le32(rec + 96), b)) {
                    b.xDest = s32(rec + 24), b.yDest = s32(rec + 28), b.cxDest = s32(rec + 32), b.cyDest = s32(rec + 36);
                    b.xSrc = s32(rec + 44), b.ySrc = s32(rec + 48);
                    b.cxSrc = type == 77 ? s32(rec + 100) : b.cxDest;
                    b.cySrc = type == 77 ? s32(rec + 104) : b.cyDest;
                    b.srcFromBottom = true;
                    blit = true;
                }
                break;
            case 80:  // SetDIBitsToDevice
                if (length >= 76 && parts(rec, length, le32(rec + 48), le32(rec + 52), le32(rec + 56), le32(rec + 60), b)) {
                    b.xDest = s32(rec + 24), b.yDest = s32(rec + 28), b.xSrc = s32(rec + 32), b.ySrc = s32(rec + 36);
                    b.cxSrc = b.cxDest = s32(rec + 40);
                    b.cySrc = b.cyDest = s32(rec + 44);
                    b.srcFromBottom = true;
                    blit = true;
                }
                break;
            case 14: return;  // end of file
            default: break;
        }
        if (blit) draw(canvas, b);
        c.skip(length);
    }
}

// ---- WMF ----

bool isWmf(const std::uint8_t* b, std::size_t n) noexcept {
    if (n >= 4 && le32(b) == kPlaceableKey) return true;
    return n >= 18 && (le16(b) == 1 || le16(b) == 2) && le16(b + 2) == 9 && (le16(b + 4) == 0x300 || le16(b + 4) == 0x100);
}

// Walks the records; with `canvas` null only finds the frame.
void wmfRecords(const std::uint8_t* data, std::size_t size, Rect& frame, bool framed, Canvas* canvas) {
    Cursor c{data, size};
    std::int64_t orgX = 0, orgY = 0, extX = 0, extY = 0;
    while (c.has(6)) {
        const std::uint8_t* rec = data + c.at;
        const std::uint64_t length = std::uint64_t{le32(rec)} * 2;
        const std::uint32_t function = le16(rec + 4);
        if (length < 6 || length > c.left() || function == 0) break;
        const std::uint8_t* p = rec + 6;
        const std::size_t n = static_cast<std::size_t>(length) - 6;
        Blit b{};
        bool blit = false;
        switch (function) {
            case 0x020B: if (n >= 4) orgY = s16(p), orgX = s16(p + 2); break;  // SetWindowOrg
            case 0x020C: if (n >= 4) extY = s16(p), extX = s16(p + 2); break;  // SetWindowExt
            case 0x0F43:  // StretchDIB
                if (n > 22) {
                    b = {p + 22, n - 22, nullptr, 0, s16(p + 20), s16(p + 18), s16(p + 16), s16(p + 14),
                         s16(p + 12), s16(p + 10), s16(p + 8), s16(p + 6), true};
                    blit = true;
                }
                break;
            case 0x0B41:  // DIBStretchBlt
                if (n > 20) {
                    b = {p + 20, n - 20, nullptr, 0, s16(p + 18), s16(p + 16), s16(p + 14), s16(p + 12),
                         s16(p + 10), s16(p + 8), s16(p + 6), s16(p + 4), true};
                    blit = true;
                }
                break;
            case 0x0940:  // DIBBitBlt
                if (n > 16) {
                    b = {p + 16, n - 16, nullptr, 0, s16(p + 14), s16(p + 12), s16(p + 10), s16(p + 8),
                         s16(p + 6), s16(p + 4), s16(p + 10), s16(p + 8), true};
                    blit = true;
                }
                break;
            case 0x0D33:  // SetDIBitsToDevice
                if (n > 18) {
                    b = {p + 18, n - 18, nullptr, 0, s16(p + 16), s16(p + 14), s16(p + 12), s16(p + 10),
                         s16(p + 8), s16(p + 6), s16(p + 12), s16(p + 10), true};
                    blit = true;
                }
                break;
            default: break;
        }
        if (blit) {
            // The bits follow the header, masks and palette of the packed bitmap.
            const std::size_t info = dibInfoBytes(b.info, b.infoSize);
            if (info) {
                b.bits = b.info + info;
                b.bitsSize = b.infoSize - info;
                b.infoSize = info;
                if (!framed && !canvas) {
                    if (extX && extY) frame = {orgX, orgY, orgX + extX, orgY + extY};
                    else frame = {b.xDest, b.yDest, b.xDest + b.cxDest, b.yDest + b.cyDest};
                    if (frame.width() < 0) std::swap(frame.left, frame.right);
                    if (frame.height() < 0) std::swap(frame.top, frame.bottom);
                    return;
                }
                if (canvas) draw(*canvas, b);
            }
        }
        c.skip(length);
    }
    if (!framed && !canvas && extX && extY) {
        frame = {orgX, orgY, orgX + extX, orgY + extY};
        if (frame.width() < 0) std::swap(frame.left, frame.right);
        if (frame.height() < 0) std::swap(frame.top, frame.bottom);
    }
}

// The records' start and the frame.
bool wmfFrame(const std::uint8_t* b, std::size_t n, std::size_t& records, Rect& frame) {
    if (!isWmf(b, n)) return false;
    std::size_t at = 0;
    bool framed = false;
    if (le32(b) == kPlaceableKey) {
        if (n < 22) return false;
        frame = {s16(b + 6), s16(b + 8), s16(b + 10), s16(b + 12)};
        framed = frame.width() > 0 && frame.height() > 0;
        at = 22;
    }
    if (n - at < 18 || le16(b + at + 2) != 9) return false;
    records = at + 18;
    frame = framed ? frame : Rect{};
    if (!framed) wmfRecords(b + records, n - records, frame, false, nullptr);
    return frame.width() > 0 && frame.height() > 0 && decodeSizeAllowed(frame.width(), frame.height());
}

// True when an enhanced file holds records this reader does not draw (vector
// drawing, text, state that changes how bitmaps land), not only its header,
// bitmap records, comments and end.
bool emfHasOtherRecords(const std::uint8_t* data, std::size_t size) {
    Cursor c{data, size};
    while (c.has(8)) {
        const std::uint8_t* rec = data + c.at;
        const std::uint32_t type = le32(rec), length = le32(rec + 4);
        if (length < 8 || length % 4 || length > c.left()) return false;
        switch (type) {
            case 1: case 70: case 76: case 77: case 80: case 81: break;  // header, comment, bitmaps
            case 14: return false;
            default: return true;
        }
        c.skip(length);
    }
    return false;
}

// The same for a Windows file's records: window origin and extent and the
// bitmap records are this reader's.
bool wmfHasOtherRecords(const std::uint8_t* data, std::size_t size) {
    Cursor c{data, size};
    while (c.has(6)) {
        const std::uint8_t* rec = data + c.at;
        const std::uint64_t length = std::uint64_t{le32(rec)} * 2;
        const std::uint32_t function = le16(rec + 4);
        if (length < 6 || length > c.left() || function == 0) return false;
        switch (function) {
            case 0x020B: case 0x020C: case 0x0F43: case 0x0B41: case 0x0940: case 0x0D33: break;
            default: return true;
        }
        c.skip(length);
    }
    return false;
}

// A file with drawing this reader skips goes to the system's renderer where
// there is one; files of bitmap records only are drawn here, the same on
// every system.
bool playedBySystem(const std::uint8_t* b, std::size_t n, bool enhanced, std::size_t records, Canvas& canvas) {
    const bool other = enhanced ? emfHasOtherRecords(b, n) : wmfHasOtherRecords(b + records, n - records);
    if (!other) return false;
    const bool placeable = !enhanced && n >= 22 && le32(b) == kPlaceableKey;
    return platform::playMetafile(b, n, enhanced, placeable ? static_cast<std::int32_t>(canvas.frame.width()) : 0,
                                  placeable ? static_cast<std::int32_t>(canvas.frame.height()) : 0,
                                  placeable ? le16(b + 14) : 0, canvas.out.width, canvas.out.height,
                                  canvas.out.pixels.data());
}

bool renderFile(const char* path, std::int32_t width, std::int32_t height, const std::uint8_t background[3],
                RgbaImage& out) {
    Block<std::uint8_t> file;
    if (!readFileBytes(path, file)) return false;
    const std::uint8_t* b = file.data();
    const std::size_t n = file.size();
    Canvas canvas{out, {}};
    if (isEmf(b, n)) {
        if (!emfFrame(b, n, canvas.frame) || !prepare(canvas, width, height, background)) return false;
        if (!playedBySystem(b, n, true, 0, canvas)) emfRecords(b, n, canvas);
        return true;
    }
    std::size_t records = 0;
    if (!wmfFrame(b, n, records, canvas.frame) || !prepare(canvas, width, height, background)) return false;
    if (!playedBySystem(b, n, false, records, canvas)) wmfRecords(b + records, n - records, canvas.frame, true, &canvas);
    return true;
}

const std::uint8_t kWhite[3] = {255, 255, 255};

bool readMetafile(const char* path, RgbaImage& out) noexcept { return renderFile(path, 0, 0, kWhite, out); }

bool metafileInfo(const char* path, ImageInfo& out) noexcept {
    Block<std::uint8_t> file;
    if (!readFileBytes(path, file)) return false;
    Rect frame;
    std::size_t records = 0;
    const bool ok = isEmf(file.data(), file.size()) ? emfFrame(file.data(), file.size(), frame)
                                                     : wmfFrame(file.data(), file.size(), records, frame);
    if (!ok) return false;
    out.width = static_cast<std::int32_t>(frame.width());
    out.height = static_cast<std::int32_t>(frame.height());
    return true;
}

// A bottom-up 24-bit packed DIB of the picture: 40-byte header then rows.
void putDib(FileSink& sink, const ImageView& image, std::uint32_t stride) {
    sink.u32le(40);
    sink.u32le(static_cast<std::uint32_t>(image.width));
    sink.u32le(static_cast<std::uint32_t>(image.height));
    sink.u16le(1);
    sink.u16le(24);
    sink.u32le(0);
    sink.u32le(stride * static_cast<std::uint32_t>(image.height));
    sink.zeros(16);
    std::uint8_t pad[3] = {};
    for (std::int32_t y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += image.channels) {
            const std::uint8_t bgr[3] = {p[2], p[1], p[0]};
            sink.put(bgr, 3);
        }
        sink.put(pad, stride - static_cast<std::uint32_t>(image.width) * 3);
    }
}

constexpr std::uint32_t kSrcCopy = 0x00CC0020;

bool writeEmf(const char* path, const ImageView& image, const WriteSettings&) noexcept {
    const std::uint32_t w = static_cast<std::uint32_t>(image.width), h = static_cast<std::uint32_t>(image.height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint64_t bits = std::uint64_t{stride} * h;
    const std::uint64_t blit = 80 + 40 + bits, total = 88 + blit + 20;
    if (total > 0x7FFFFFFF) return false;
    FileSink sink(path);
    // Header: bounds in pixels, frame in hundredths of a millimetre at 96 pixels an inch.
    sink.u32le(1);
    sink.u32le(88);
    const std::uint32_t header[] = {0, 0, w - 1, h - 1, 0, 0, (w * 2540 + 48) / 96 - 1, (h * 2540 + 48) / 96 - 1,
                                    kEmfSignature, 0x10000, static_cast<std::uint32_t>(total), 3};
    for (std::uint32_t v : header) sink.u32le(v);
    sink.u16le(1);  // handles: the metafile's own
    sink.u16le(0);
    sink.u32le(0);
    sink.u32le(0);
    sink.u32le(0);
    const std::uint32_t device[] = {1024, 768, 271, 203};  // reference device pixels and millimetres
    for (std::uint32_t v : device) sink.u32le(v);
    // StretchDIBits.
    sink.u32le(81);
    sink.u32le(static_cast<std::uint32_t>(blit));
    const std::uint32_t record[] = {0, 0, w - 1, h - 1, 0, 0, 0, 0, w, h, 80, 40, 120, static_cast<std::uint32_t>(bits),
                                    0, kSrcCopy, w, h};
    for (std::uint32_t v : record) sink.u32le(v);
    putDib(sink, image, stride);
    // End of file: no palette entries.
    const std::uint32_t eof[] = {14, 20, 0, 16, 20};
    for (std::uint32_t v : eof) sink.u32le(v);
    return sink.close();
}

bool writeWmf(const char* path, const ImageView& image, const WriteSettings&) noexcept {
    if (image.width > 32767 || image.height > 32767) return false;
    const std::uint32_t w = static_cast<std::uint32_t>(image.width), h = static_cast<std::uint32_t>(image.height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint64_t blitWords = (6 + 22 + 40 + std::uint64_t{stride} * h + 1) / 2;
    const std::uint64_t totalWords = 9 + 5 + 5 + blitWords + 3;
    if (totalWords > 0x7FFFFFFF) return false;
    FileSink sink(path);
    // Placeable header: the frame in pixels at 96 units an inch, with its checksum.
    std::uint16_t placeable[10] = {static_cast<std::uint16_t>(kPlaceableKey), static_cast<std::uint16_t>(kPlaceableKey >> 16),
                                   0, 0, 0, static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 96, 0, 0};
    std::uint16_t sum = 0;
    for (std::uint16_t v : placeable) sum ^= v;
    for (std::uint16_t v : placeable) sink.u16le(v);
    sink.u16le(sum);
    // Header, window origin and extent, the bitmap, end of file.
    sink.u16le(1);
    sink.u16le(9);
    sink.u16le(0x300);
    sink.u32le(static_cast<std::uint32_t>(totalWords));
    sink.u16le(0);
    sink.u32le(static_cast<std::uint32_t>(blitWords));
    sink.u16le(0);
    const std::uint16_t window[] = {5, 0, 0x020B, 0, 0, 5, 0, 0x020C, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(w)};
    for (std::uint16_t v : window) sink.u16le(v);
    sink.u32le(static_cast<std::uint32_t>(blitWords));
    sink.u16le(0x0F43);
    sink.u32le(kSrcCopy);
    const std::uint16_t params[] = {0, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(w), 0, 0,
                                    static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(w), 0, 0};
    for (std::uint16_t v : params) sink.u16le(v);
    putDib(sink, image, stride);
    if ((stride * h) & 1) sink.u8(0);  // records are whole words
    sink.u32le(3);
    sink.u16le(0);
    return sink.close();
}

}  // namespace

bool renderMetafile(const char* path, std::int32_t width, std::int32_t height, const std::uint8_t background[3],
                    RgbaImage& out) noexcept {
    const bool ok = path && background && renderFile(path, width, height, background, out);
    if (!ok) {
        out.pixels.reset();
        out.width = out.height = 0;
    }
    return ok;
}

const ImageFormat kEmfFormat{FileType::Emf, "EMF", {"emf"}, isEmf, readMetafile, metafileInfo, writeEmf, nullptr};
const ImageFormat kWmfFormat{FileType::Wmf, "WMF", {"wmf"}, isWmf, readMetafile, metafileInfo, writeWmf, nullptr};

}  // namespace plr::formats
