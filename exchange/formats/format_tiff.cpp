// TIFF through libtiff, first directory only. 8-bit contiguous RGB and RGBA
// (strips or tiles, any compression libtiff decodes) are read sample for
// sample; every other layout (grey, palette, 16-bit, planar, CMYK, YCbCr)
// goes through libtiff's RGBA interface, which keeps the high byte of
// 16-bit samples after rounding and gives premultiplied alpha: that is
// divided back out so the picture has straight alpha like every other. A
// truncated or corrupt file is refused. Library messages are silenced.
// Written: 8-bit RGB or RGBA (unassociated alpha), uncompressed strips of
// about 64 KB, with the resolution record (unit 2 inch, 3 centimetre).
#include <tiffio.h>

#include <cstring>
#include <new>

#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

// Little-endian "II*\0" or big-endian "MM\0*" (BigTIFF uses 43).
bool isTiff(const std::uint8_t* b, std::size_t n) noexcept {
    return n >= 4 && (std::memcmp(b, "II*\0", 4) == 0 || std::memcmp(b, "MM\0*", 4) == 0 ||
                      std::memcmp(b, "II+\0", 4) == 0 || std::memcmp(b, "MM\0+", 4) == 0);
}

TIFF* openQuietly(const char* path, const char* mode) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return TIFFOpen(path, mode);
}

std::uint16_t field16(TIFF* tif, ttag_t tag, std::uint16_t fallback) {
    std::uint16_t v = fallback;
    return TIFFGetFieldDefaulted(tif, tag, &v) == 1 ? v : fallback;
}

// 8-bit contiguous RGB or RGBA with unassociated (or no) alpha, read as stored.
bool readDirect(TIFF* tif, std::uint32_t w, std::uint32_t h, int spp, RgbaImage& out) {
    std::uint8_t* dst = out.pixels.data();
    const auto rowOut = [&](const std::uint8_t* src, std::uint32_t y, std::uint32_t x0, std::uint32_t n) {
        std::uint8_t* d = dst + (static_cast<std::size_t>(y) * w + x0) * 4;
        for (std::uint32_t x = 0; x < n; ++x, d += 4, src += spp) {
            d[0] = src[0];
            d[1] = src[1];
            d[2] = src[2];
            d[3] = spp == 4 ? src[3] : 255;
        }
    };
    Block<std::uint8_t> buffer;
    if (TIFFIsTiled(tif)) {
        std::uint32_t tw = 0, th = 0;
        if (TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw) != 1 || TIFFGetField(tif, TIFFTAG_TILELENGTH, &th) != 1 ||
            tw == 0 || th == 0 || static_cast<std::uint64_t>(TIFFTileSize(tif)) != std::uint64_t{tw} * th * spp ||
            !buffer.allocate(static_cast<std::size_t>(TIFFTileSize(tif))))
            return false;
        for (std::uint32_t ty = 0; ty < h; ty += th)
            for (std::uint32_t tx = 0; tx < w; tx += tw) {
                if (TIFFReadTile(tif, buffer.data(), tx, ty, 0, 0) < 0) return false;
                const std::uint32_t cw = tx + tw > w ? w - tx : tw, ch = ty + th > h ? h - ty : th;
                for (std::uint32_t y = 0; y < ch; ++y)
                    rowOut(buffer.data() + static_cast<std::size_t>(y) * tw * spp, ty + y, tx, cw);
            }
        return true;
    }
    if (static_cast<std::uint64_t>(TIFFScanlineSize(tif)) != std::uint64_t{w} * spp) return false;
    if (spp == 4) {
        // Rows stored as RGBA bytes already: straight into the picture.
        for (std::uint32_t y = 0; y < h; ++y)
            if (TIFFReadScanline(tif, dst + static_cast<std::size_t>(y) * w * 4, y, 0) < 0) return false;
        return true;
    }
    if (!buffer.allocate(static_cast<std::size_t>(TIFFScanlineSize(tif)))) return false;
    for (std::uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, buffer.data(), y, 0) < 0) return false;
        rowOut(buffer.data(), y, 0, w);
    }
    return true;
}

bool readGeneric(TIFF* tif, std::uint32_t w, std::uint32_t h, bool alpha, RgbaImage& out) {
    auto* raster = reinterpret_cast<std::uint32_t*>(out.pixels.data());
    if (TIFFReadRGBAImageOriented(tif, w, h, raster, ORIENTATION_TOPLEFT, 0) != 1) return false;
    // The raster holds packed values; store them as bytes in RGBA order, alpha straight.
    std::uint8_t* p = out.pixels.data();
    const std::size_t n = static_cast<std::size_t>(w) * h;
    for (std::size_t i = 0; i < n; ++i, p += 4) {
        const std::uint32_t v = raster[i];
        const std::uint32_t a = TIFFGetA(v);
        std::uint32_t r = TIFFGetR(v), g = TIFFGetG(v), b = TIFFGetB(v);
        if (alpha && a && a < 255) {
            r = (r * 255 + a / 2) / a;
            g = (g * 255 + a / 2) / a;
            b = (b * 255 + a / 2) / a;
        }
        p[0] = static_cast<std::uint8_t>(r > 255 ? 255 : r);
        p[1] = static_cast<std::uint8_t>(g > 255 ? 255 : g);
        p[2] = static_cast<std::uint8_t>(b > 255 ? 255 : b);
        p[3] = static_cast<std::uint8_t>(a);
    }
    return true;
}

bool readTiff(const char* path, RgbaImage& out) noexcept {
    TIFF* tif = openQuietly(path, "r");
    if (!tif) return false;
    std::uint32_t w = 0, h = 0;
    bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) == 1 && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) == 1 &&
              allocateRgba(out, w, h);
    if (ok) {
        const int spp = field16(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        std::uint16_t extraCount = 0;
        std::uint16_t* extra = nullptr;
        TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
        const bool unassociated = extraCount == 1 && extra && extra[0] == EXTRASAMPLE_UNASSALPHA;
        const bool hasAlpha = extraCount >= 1;
        const bool direct = field16(tif, TIFFTAG_PHOTOMETRIC, 0) == PHOTOMETRIC_RGB &&
                            field16(tif, TIFFTAG_BITSPERSAMPLE, 1) == 8 &&
                            field16(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_CONTIG &&
                            field16(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == ORIENTATION_TOPLEFT &&
                            (spp == 3 || (spp == 4 && unassociated));
        ok = direct ? readDirect(tif, w, h, spp, out) : readGeneric(tif, w, h, hasAlpha, out);
    }
    TIFFClose(tif);
    return ok;
}

bool tiffInfo(const char* path, ImageInfo& out) noexcept {
    TIFF* tif = openQuietly(path, "r");
    if (!tif) return false;
    std::uint32_t w = 0, h = 0;
    const bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) == 1 && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) == 1;
    if (ok) {
        out.width = static_cast<std::int32_t>(w);
        out.height = static_cast<std::int32_t>(h);
        float x = 0;
        if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) == 1 && x > 0) {
            out.resolution = x;
            out.unit = field16(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
    }
    TIFFClose(tif);
    return ok;
}

class TiffRows final : public RowWriter {
public:
    TiffRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels, const Resolution& res) {
        tif_ = openQuietly(path, "w");
        if (!tif_) return;
        TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(w));
        TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(h));
        TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(channels));
        TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(8));
        TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif_, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif_, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        if (channels == 4) {
            const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
            TIFFSetField(tif_, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        const std::uint32_t rows = static_cast<std::uint32_t>(65536 / (static_cast<std::int64_t>(w) * channels));
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, rows ? rows : 1u);
        if (res.present() && res.unit >= 1 && res.unit <= 3) {
            TIFFSetField(tif_, TIFFTAG_XRESOLUTION, static_cast<float>(res.x));
            TIFFSetField(tif_, TIFFTAG_YRESOLUTION, static_cast<float>(res.y));
            TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, static_cast<std::uint16_t>(res.unit));
        }
        ok_ = true;
    }
    ~TiffRows() override {
        if (tif_) TIFFClose(tif_);
    }
    bool next(const std::uint8_t* row) noexcept override {
        if (!ok_) return false;
        return ok_ = TIFFWriteScanline(tif_, const_cast<std::uint8_t*>(row), y_++, 0) == 1;
    }
    bool finish() noexcept override {
        if (!ok_) return false;
        ok_ = TIFFWriteDirectory(tif_) == 1 && TIFFFlush(tif_) == 1;
        TIFFClose(tif_);
        tif_ = nullptr;
        return ok_;
    }

private:
    TIFF* tif_ = nullptr;
    std::uint32_t y_ = 0;
    bool ok_ = false;
};

std::unique_ptr<RowWriter> openTiffRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels,
                                        const WriteSettings& s) noexcept {
    if (!path || w <= 0 || h <= 0 || (channels != 3 && channels != 4)) return nullptr;
    return std::unique_ptr<RowWriter>(new (std::nothrow) TiffRows(path, w, h, channels, s.resolution));
}

bool writeTiff(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    return writeByRows(openTiffRows(path, image.width, image.height, image.channels, s), image, false);
}

}  // namespace

const ImageFormat kTiffFormat{FileType::Tiff, "TIFF", {"tif", "tiff"}, isTiff, readTiff, tiffInfo, writeTiff, openTiffRows};

}  // namespace plr::formats
