#include "exchange/formats/image_formats.h"

#include <cstdio>

#include "core/sizes.h"

namespace plr::formats {
namespace {

// In sniffing order: the weakest signatures last (BMP's two letters, PCX's
// header plausibility, TGA's, which has no signature at all).
const ImageFormat* const kFormats[] = {&kPngFormat, &kJpegFormat, &kTiffFormat, &kGifFormat, &kPsdFormat,
                                       &kEmfFormat, &kWmfFormat, &kBmpFormat, &kPcxFormat, &kTgaFormat};

char lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// The text after the last dot of the last path element ("" when none); a
// bare extension is its own extension.
std::string_view extensionOf(std::string_view path) noexcept {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? path : path.substr(dot + 1);
}

}  // namespace

std::span<const ImageFormat* const> imageFormats() noexcept { return kFormats; }

const ImageFormat* formatOfBytes(const std::uint8_t* bytes, std::size_t length) noexcept {
    if (!bytes) return nullptr;
    for (const ImageFormat* f : kFormats)
        if (f->isA(bytes, length)) return f;
    return nullptr;
}

const ImageFormat* formatOfExtension(std::string_view path) noexcept {
    const std::string_view ext = extensionOf(path);
    if (ext.empty()) return nullptr;
    for (const ImageFormat* f : kFormats)
        for (std::string_view e : f->extensions)
            if (!e.empty() && sameIgnoringCase(e, ext)) return f;
    return nullptr;
}

const ImageFormat* formatOfType(FileType type) noexcept {
    for (const ImageFormat* f : kFormats)
        if (f->type == type) return f;
    return nullptr;
}

namespace {

const ImageFormat* sniffedFormat(const char* path) noexcept {
    if (!path || !*path) return nullptr;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    std::uint8_t head[kSniffBytes] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return formatOfBytes(head, n);
}

}  // namespace

FileType sniffFile(const char* path) noexcept {
    const ImageFormat* f = sniffedFormat(path);
    return f ? f->type : FileType::Unknown;
}

bool readImage(const char* path, RgbaImage& out) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    out.outOfMemory = false;
    const ImageFormat* f = sniffedFormat(path);
    const bool ok = f && f->read(path, out);
    if (!ok) {
        out.pixels.reset();
        out.width = out.height = 0;
    }
    return ok;
}

bool readImageInfo(const char* path, ImageInfo& out) noexcept {
    out = {};
    const ImageFormat* f = sniffedFormat(path);
    const bool ok = f && f->info && f->info(path, out);
    if (!ok) out = {};
    return ok;
}

bool writeImage(const ImageFormat& format, const char* path, const ImageView& image,
                const WriteSettings& settings) noexcept {
    if (!format.write || !path || !image.pixels || (image.channels != 3 && image.channels != 4) ||
        image.width <= 0 || image.height <= 0 || image.stride < image.width * image.channels)
        return false;
    return format.write(path, image, settings);
}

bool writeByRows(std::unique_ptr<RowWriter> rows, const ImageView& image, bool bottomUp) noexcept {
    if (!rows) return false;
    for (std::int32_t i = 0; i < image.height; ++i)
        if (!rows->next(image.row(bottomUp ? image.height - 1 - i : i))) return false;
    return rows->finish();
}

bool readFileBytes(const char* path, Block<std::uint8_t>& data) noexcept {
    data.reset();
    if (!path) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    // No picture within the decode cap needs a larger file (16-bit RGBA plus headers).
    ok = ok && size > 0 && static_cast<std::uint64_t>(size) <= kMaxDecodePixels * 8 + 65536 &&
         std::fseek(f, 0, SEEK_SET) == 0 && data.allocate(static_cast<std::size_t>(size)) &&
         std::fread(data.data(), 1, data.size(), f) == data.size();
    std::fclose(f);
    if (!ok) data.reset();
    return ok;
}

bool decodeSizeAllowed(std::int64_t width, std::int64_t height) noexcept {
    if (width <= 0 || height <= 0 || width > kMaxDecodeSide || height > kMaxDecodeSide) return false;
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxDecodePixels;
}

bool allocateRgba(RgbaImage& out, std::int64_t width, std::int64_t height) noexcept {
    out.pixels.reset();
    out.width = out.height = 0;
    if (!decodeSizeAllowed(width, height)) return false;
    // Every reader writes the whole picture.
    if (!out.pixels.allocateToFill(saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4))) {
        out.outOfMemory = true;
        return false;
    }
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    return true;
}

}  // namespace plr::formats
