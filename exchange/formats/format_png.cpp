// PNG through libpng. Every colour type and depth: palettes and greys are
// expanded, tRNS becomes alpha, 16-bit samples keep their high byte (the
// engine's 16-to-8 rule), interlaced files are read whole. Library errors
// jump back to the function that set the jump point; nothing with a
// destructor lives between the jump point and the library calls. A
// truncated or corrupt file is refused.
// Written: 8-bit RGB or RGBA, default compression, with a pHYs chunk when a
// resolution is given (pixels per metre, unit 1).
#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

void quietWarning(png_structp, png_const_charp) {}
void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool isPng(const std::uint8_t* b, std::size_t n) noexcept { return n >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0; }

// Reads header and pixels; the caller owns the structures and the file.
bool decode(png_structp png, png_infop info, RgbaImage& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (!decodeSizeAllowed(w, h)) return false;
    const int type = png_get_color_type(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    else if (!(type & PNG_COLOR_MASK_ALPHA)) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 4) return false;
    if (!allocateRgba(out, w, h)) return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y) png_read_row(png, out.pixels.data() + static_cast<std::size_t>(y) * w * 4, nullptr);
    png_read_end(png, nullptr);
    return true;
}

// Opens the file for reading and runs `body` (decode or header) on it.
template <class Body>
bool withReader(const char* path, Body body) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, quietWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info) {
        png_init_io(png, f);
        // Hostile headers are refused by the engine's own cap before any pixel memory.
        png_set_user_limits(png, kMaxDecodeSide, kMaxDecodeSide);
        ok = body(png, info);
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    std::fclose(f);
    return ok;
}

bool readPng(const char* path, RgbaImage& out) noexcept {
    return withReader(path, [&](png_structp png, png_infop info) { return decode(png, info, out); });
}

bool readHeader(png_structp png, png_infop info, ImageInfo& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    out.width = static_cast<std::int32_t>(png_get_image_width(png, info));
    out.height = static_cast<std::int32_t>(png_get_image_height(png, info));
    png_uint_32 rx = 0, ry = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &rx, &ry, &unit)) {
        out.resolution = rx;
        out.unit = unit == PNG_RESOLUTION_METER ? 1 : 0;
    }
    return true;
}

bool pngInfo(const char* path, ImageInfo& out) noexcept {
    return withReader(path, [&](png_structp png, png_infop info) { return readHeader(png, info, out); });
}

class PngRows final : public RowWriter {
public:
    PngRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels, const Resolution& res) {
        f_ = std::fopen(path, "wb");
        if (!f_) return;
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, quietWarning);
        info_ = png_ ? png_create_info_struct(png_) : nullptr;
        ok_ = info_ && start(w, h, channels, res);
    }
    ~PngRows() override {
        png_destroy_write_struct(png_ ? &png_ : nullptr, info_ ? &info_ : nullptr);
        if (f_) std::fclose(f_);
    }
    bool next(const std::uint8_t* row) noexcept override {
        if (!ok_) return false;
        if (setjmp(png_jmpbuf(png_))) return ok_ = false;
        png_write_row(png_, row);
        return true;
    }
    bool finish() noexcept override {
        if (!ok_) return false;
        if (setjmp(png_jmpbuf(png_))) return ok_ = false;
        png_write_end(png_, info_);
        ok_ = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok_;
    }

private:
    bool start(std::int32_t w, std::int32_t h, std::int32_t channels, const Resolution& res) {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_init_io(png_, f_);
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                     channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (res.present())
            png_set_pHYs(png_, info_, static_cast<png_uint_32>(res.x), static_cast<png_uint_32>(res.y),
                         res.unit == 1 ? PNG_RESOLUTION_METER : PNG_RESOLUTION_UNKNOWN);
        png_write_info(png_, info_);
        return true;
    }
    std::FILE* f_ = nullptr;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    bool ok_ = false;
};

std::unique_ptr<RowWriter> openPngRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels,
                                       const WriteSettings& s) noexcept {
    if (!path || w <= 0 || h <= 0 || (channels != 3 && channels != 4)) return nullptr;
    return std::unique_ptr<RowWriter>(new (std::nothrow) PngRows(path, w, h, channels, s.resolution));
}

bool writePng(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    return writeByRows(openPngRows(path, image.width, image.height, image.channels, s), image, false);
}

}  // namespace

const ImageFormat kPngFormat{FileType::Png, "PNG", {"png"}, isPng, readPng, pngInfo, writePng, openPngRows};

}  // namespace plr::formats
