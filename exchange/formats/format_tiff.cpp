// TIFF through libtiff's RGBA interface (any photometric it understands,
// first directory only). Library messages are silenced; failures are results.
#include <tiffio.h>

#include <cstring>

#include "exchange/formats/image_formats.h"

namespace plr::formats {

namespace {

// Little-endian "II*\0" or big-endian "MM\0*".
bool isTiff(const std::uint8_t* b, std::size_t n) noexcept {
    return n >= 4 && (std::memcmp(b, "II*\0", 4) == 0 || std::memcmp(b, "MM\0*", 4) == 0);
}

bool readTiff(const char* path, RgbaImage& out) noexcept {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path, "r");
    if (!tif) return false;
    std::uint32_t w = 0, h = 0;
    bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) == 1 && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) == 1 &&
              allocateRgba(out, w, h);
    if (ok) {
        auto* raster = reinterpret_cast<std::uint32_t*>(out.pixels.data());
        ok = TIFFReadRGBAImageOriented(tif, w, h, raster, ORIENTATION_TOPLEFT, 0) == 1;
        // The raster holds packed values; store them as bytes in RGBA order.
        std::uint8_t* p = out.pixels.data();
        const std::size_t n = static_cast<std::size_t>(w) * h;
        for (std::size_t i = 0; ok && i < n; ++i, p += 4) {
            const std::uint32_t v = raster[i];
            p[0] = static_cast<std::uint8_t>(TIFFGetR(v));
            p[1] = static_cast<std::uint8_t>(TIFFGetG(v));
            p[2] = static_cast<std::uint8_t>(TIFFGetB(v));
            p[3] = static_cast<std::uint8_t>(TIFFGetA(v));
        }
    }
    TIFFClose(tif);
    return ok;
}

}  // namespace

const ImageFormat kTiffFormat{FileType::Tiff, "TIFF", {"tif", "tiff"}, isTiff, readTiff, nullptr};

}  // namespace plr::formats
