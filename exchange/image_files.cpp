#include "exchange/image_files.h"

#include <cstring>
#include <string_view>

#include "adapters/imaging/raster_resize.h"
#include "core/sizes.h"

namespace plr {

using formats::FileType;

bool readPictureFile(const char* path, const MetafileCanvas& canvas, formats::RgbaImage& out) noexcept {
    out.outOfMemory = false;
    const FileType type = formats::sniffFile(path);
    if (type == FileType::Emf || type == FileType::Wmf)
        return formats::renderMetafile(path, canvas.width, canvas.height, canvas.background, out);
    return formats::readImage(path, out);
}

namespace {

// Dots per inch from the resolution a dimension query gives: per format,
// the unit code and the factor that turns it into dots per inch.
struct DpiRule {
    FileType type;
    std::int32_t unit;
    double factor;
};
constexpr double kCentimetres = 2.5400000025908;  // per centimetre to per inch
constexpr double kMetres = 0.025400000025908;     // per metre to per inch
constexpr DpiRule kDpiRules[] = {
    {FileType::Bmp, 1, kCentimetres}, {FileType::Bmp, 2, kMetres},        {FileType::Jpeg, 1, 1.0},
    {FileType::Jpeg, 2, kCentimetres}, {FileType::Png, 1, kMetres},        {FileType::Tiff, 2, 1.0},
    {FileType::Tiff, 3, kCentimetres}, {FileType::Psd, 2, 1.0},            {FileType::Psd, 3, kCentimetres},
};

// The resolutions hosts offer; a value within one of them snaps to it.
constexpr std::int32_t kSnapped[] = {96, 150, 200, 300, 450, 600};

}  // namespace

std::int32_t dpiFromFile(const char* path) noexcept {
    formats::ImageInfo info;
    const FileType type = formats::sniffFile(path);
    if (type == FileType::Unknown || !formats::readImageInfo(path, info)) return 72;
    std::int64_t dpi = 72;
    for (const DpiRule& rule : kDpiRules)
        if (rule.type == type && rule.unit == info.unit) {
            const double v = info.resolution * rule.factor;
            dpi = v > -1e9 && v < 1e9 ? static_cast<std::int64_t>(v) : 72;
        }
    for (std::int32_t s : kSnapped)
        if (dpi >= s - 1 && dpi <= s + 1) return s;
    return 72;
}

namespace {

char lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool sameExtension(const char* a, std::string_view b) noexcept {
    if (!a) return false;
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i)
        if (lower(a[i]) != b[i]) return false;
    return !a[i] && i == b.size();
}

// How a writer's resolution record is made from the dots per inch.
enum class Record { None, PerMetre, PerInch };
constexpr double kMetresPerInch = 39.3700787;

formats::Resolution record(Record kind, std::int32_t unit, std::int32_t dpi, bool truncate) {
    formats::Resolution r;
    if (kind == Record::None) return r;
    const double v = kind == Record::PerInch ? dpi : dpi * kMetresPerInch;
    r.x = r.y = truncate ? static_cast<double>(static_cast<std::int64_t>(v)) : v;
    r.unit = unit;
    return r;
}

struct BufferWriter {
    std::int32_t channels;
    std::string_view extension;
    FileType type;
    Record kind;
    std::int32_t unit;
};

// In the order the extensions are tried.
constexpr BufferWriter kBufferWriters[] = {
    {3, ".bmp", FileType::Bmp, Record::PerMetre, 0}, {3, ".png", FileType::Png, Record::PerMetre, 1},
    {3, ".emf", FileType::Emf, Record::None, 0},     {3, ".gif", FileType::Gif, Record::None, 0},
    {3, ".jpg", FileType::Jpeg, Record::PerInch, 1}, {3, ".pcx", FileType::Pcx, Record::None, 0},
    {3, ".psd", FileType::Psd, Record::None, 0},     {3, ".wmf", FileType::Wmf, Record::None, 0},
    {4, ".png", FileType::Png, Record::PerMetre, 1}, {4, ".tga", FileType::Tga, Record::None, 0},
    {4, ".tif", FileType::Tiff, Record::PerInch, 2},
};

struct PageWriter {
    std::int32_t channels;
    std::string_view extension;
    FileType type;
    bool bottomUp;
    Record kind;
    std::int32_t unit;
};

constexpr PageWriter kPageWriters[] = {
    {3, ".bmp", FileType::Bmp, true, Record::PerMetre, 0},  {3, ".png", FileType::Png, false, Record::PerMetre, 1},
    {3, ".jpg", FileType::Jpeg, false, Record::PerInch, 1}, {4, ".png", FileType::Png, false, Record::PerMetre, 1},
    {4, ".tga", FileType::Tga, false, Record::None, 0},     {4, ".tif", FileType::Tiff, false, Record::PerInch, 2},
};

}  // namespace

std::int32_t writePictureByExtension(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                     std::int32_t channels, const char* path, const char* extension,
                                     std::int32_t dpi) noexcept {
    for (const BufferWriter& w : kBufferWriters) {
        if (w.channels != channels || !sameExtension(extension, w.extension)) continue;
        formats::WriteSettings settings;
        settings.resolution = record(w.kind, w.unit, dpi, true);
        settings.jpeg.quality = 97;
        const formats::ImageView view{pixels, width, height, width * channels, channels};
        const formats::ImageFormat* f = formats::formatOfType(w.type);
        return f && formats::writeImage(*f, path, view, settings) ? 1 : 0;
    }
    return 0;
}

std::unique_ptr<formats::RowWriter> openPageRowWriter(const char* path, const char* extension, std::int32_t channels,
                                                      std::int32_t width, std::int32_t height, std::int32_t dpi,
                                                      bool& bottomUp) noexcept {
    for (const PageWriter& w : kPageWriters) {
        if (w.channels != channels || !sameExtension(extension, w.extension)) continue;
        formats::WriteSettings settings;
        settings.resolution = record(w.kind, w.unit, dpi, false);
        // The page's JPEG: quality 97, the exact integer DCT, no smoothing, no chroma subsampling.
        settings.jpeg = {97, formats::DctMethod::Best, 0, {{1, 1}, {1, 1}, {1, 1}}};
        bottomUp = w.bottomUp;
        const formats::ImageFormat* f = formats::formatOfType(w.type);
        return f && f->openRows && path ? f->openRows(path, width, height, channels, settings) : nullptr;
    }
    return nullptr;
}

void thumbnailSize(std::int32_t width, std::int32_t height, std::int32_t size, std::int32_t& outWidth,
                   std::int32_t& outHeight) noexcept {
    if (height < width) {
        outWidth = size;
        outHeight = static_cast<std::int32_t>(static_cast<double>(size) / width * height);
    } else {
        outHeight = size;
        outWidth = static_cast<std::int32_t>(static_cast<double>(size) / height * width);
    }
}

void webPictureSize(std::int32_t width, std::int32_t height, std::int32_t maxWidth, std::int32_t maxHeight,
                    std::int32_t& outWidth, std::int32_t& outHeight) noexcept {
    outWidth = width;
    outHeight = height;
    if (static_cast<double>(maxWidth) / maxHeight > static_cast<double>(width) / height) {
        if (maxHeight < height) {
            outWidth = static_cast<std::int32_t>(static_cast<std::int64_t>(width) * maxHeight / height);
            outHeight = maxHeight;
        }
    } else if (maxWidth < width) {
        outWidth = maxWidth;
        outHeight = static_cast<std::int32_t>(static_cast<double>(maxWidth) / width * height);
    }
}

namespace {

// Reads the picture, drops alpha and writes it scaled to width x height
// (area averaging when both sides shrink, bilinear otherwise).
bool scaleAndWrite(formats::RgbaImage& picture, std::int32_t width, std::int32_t height, FileType type,
                   const formats::WriteSettings& settings, const char* destination) {
    if (width <= 0 || height <= 0 || !formats::decodeSizeAllowed(width, height)) return false;
    Block<std::uint8_t> rgb, scaled;
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
    if (!rgb.allocate(pixels * 3) ||
        !scaled.allocate(saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 3)))
        return false;
    const std::uint8_t* s = picture.pixels.data();
    for (std::size_t i = 0; i < pixels; ++i, s += 4) std::memcpy(rgb.data() + i * 3, s, 3);
    const bool shrink = width < picture.width && height < picture.height;
    const bool ok = shrink ? imaging_lib::DecimateImage(rgb.data(), picture.width, picture.height, picture.width * 3,
                                                       scaled.data(), width, height, width * 3, 3, 1) != 0
                           : imaging_lib::ResizeImage(rgb.data(), picture.width, picture.height, picture.width * 3,
                                                     scaled.data(), width, height, width * 3, 3) != 0;
    const formats::ImageFormat* f = formats::formatOfType(type);
    return ok && f && formats::writeImage(*f, destination, {scaled.data(), width, height, width * 3, 3}, settings);
}

}  // namespace

void makeThumbnail(const char* source, const char* destination, std::int32_t size) noexcept {
    formats::RgbaImage picture;
    if (size <= 0 || !formats::readImage(source, picture)) return;
    // Transparent pixels show white.
    std::uint8_t* p = picture.pixels.data();
    for (std::size_t i = 0; i < picture.pixels.size(); i += 4)
        if (p[i + 3] == 0) p[i] = p[i + 1] = p[i + 2] = 255;
    std::int32_t w = 0, h = 0;
    thumbnailSize(picture.width, picture.height, size, w, h);
    scaleAndWrite(picture, w, h, FileType::Bmp, {}, destination);
}

void makeWebPicture(const char* source, const char* destination, std::int32_t maxWidth,
                    std::int32_t maxHeight) noexcept {
    formats::RgbaImage picture;
    if (maxWidth <= 0 || maxHeight <= 0 || !formats::readImage(source, picture)) return;
    std::int32_t w = 0, h = 0;
    webPictureSize(picture.width, picture.height, maxWidth, maxHeight, w, h);
    formats::WriteSettings settings;
    settings.jpeg.quality = 75;
    scaleAndWrite(picture, w, h, FileType::Jpeg, settings, destination);
}

}  // namespace plr
