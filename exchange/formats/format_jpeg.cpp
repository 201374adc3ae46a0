// JPEG through libjpeg-turbo: baseline and progressive, greyscale, colour,
// CMYK and YCCK. CMYK samples written by Adobe's programs (an APP14 "Adobe"
// marker) are stored inverted; without the marker they are plain. Library
// errors jump back to the function that set the jump point; nothing with a
// destructor lives between the jump point and the library calls. A
// truncated file gives what the library decodes: the rows present, the rest
// grey (the library pads the missing data).
// Written: 8-bit RGB (alpha dropped) with the quality, DCT method,
// smoothing and sampling factors of the settings and a JFIF density when a
// resolution is given.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "exchange/formats/image_formats.h"

namespace plr::formats {
namespace {

struct ErrorTrap {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1); }
void quiet(j_common_ptr) {}

void trapErrors(jpeg_common_struct& c, ErrorTrap& trap) {
    c.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = onError;
    trap.mgr.output_message = quiet;
}

// CMYK to RGB: each colour channel is its ink's complement times black's.
void cmykRowToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t n, bool inverted) {
    for (std::size_t i = 0; i < n; ++i, src += 4, dst += 4) {
        const unsigned c = inverted ? src[0] : 255 - src[0], m = inverted ? src[1] : 255 - src[1],
                       y = inverted ? src[2] : 255 - src[2], k = inverted ? src[3] : 255 - src[3];
        dst[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
        dst[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        dst[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        dst[3] = 255;
    }
}

// Everything after the header, kept apart so that the jump does not cross
// any object with a destructor.
bool decode(jpeg_decompress_struct& cinfo, ErrorTrap& trap, RgbaImage& out) {
    if (setjmp(trap.jump)) return false;
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    if (!allocateRgba(out, cinfo.image_width, cinfo.image_height)) return false;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != static_cast<JDIMENSION>(out.width) ||
        cinfo.output_height != static_cast<JDIMENSION>(out.height) || cinfo.output_components != 4)
        return false;
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * out.width * 4;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
        // In place: each pixel is read before it is written.
        if (cmyk) cmykRowToRgba(row, row, static_cast<std::size_t>(out.width), inverted);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool isJpeg(const std::uint8_t* b, std::size_t n) noexcept { return n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF; }

// Opens the file for decoding and runs `body` (decode or header) on it.
template <class Body>
bool withDecompressor(const char* path, Body body) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    jpeg_decompress_struct cinfo{};
    ErrorTrap trap{};
    trapErrors(*reinterpret_cast<jpeg_common_struct*>(&cinfo), trap);
    volatile bool ok = false;
    if (!setjmp(trap.jump)) {
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        ok = body(cinfo, trap);
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return ok;
}

bool readJpeg(const char* path, RgbaImage& out) noexcept {
    return withDecompressor(path, [&](jpeg_decompress_struct& c, ErrorTrap& t) { return decode(c, t, out); });
}

bool header(jpeg_decompress_struct& cinfo, ErrorTrap& trap, ImageInfo& out) {
    if (setjmp(trap.jump)) return false;
    jpeg_read_header(&cinfo, TRUE);
    out.width = static_cast<std::int32_t>(cinfo.image_width);
    out.height = static_cast<std::int32_t>(cinfo.image_height);
    if (cinfo.saw_JFIF_marker) {
        out.resolution = cinfo.X_density;
        out.unit = cinfo.density_unit;
    }
    return true;
}

bool jpegInfo(const char* path, ImageInfo& out) noexcept {
    return withDecompressor(path, [&](jpeg_decompress_struct& c, ErrorTrap& t) { return header(c, t, out); });
}

constexpr J_DCT_METHOD kDct[] = {JDCT_ISLOW, JDCT_IFAST, JDCT_FLOAT, JDCT_ISLOW};

class JpegRows final : public RowWriter {
public:
    JpegRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels, const WriteSettings& s) {
        f_ = std::fopen(path, "wb");
        if (!f_) return;
        trapErrors(*reinterpret_cast<jpeg_common_struct*>(&cinfo_), trap_);
        created_ = true;
        ok_ = start(w, h, channels, s);
    }
    ~JpegRows() override {
        if (created_) jpeg_destroy_compress(&cinfo_);
        if (f_) std::fclose(f_);
    }
    bool next(const std::uint8_t* row) noexcept override {
        if (!ok_) return false;
        if (setjmp(trap_.jump)) return ok_ = false;
        JSAMPROW r = const_cast<JSAMPROW>(row);
        jpeg_write_scanlines(&cinfo_, &r, 1);
        return true;
    }
    bool finish() noexcept override {
        if (!ok_) return false;
        if (setjmp(trap_.jump)) return ok_ = false;
        jpeg_finish_compress(&cinfo_);
        ok_ = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok_;
    }

private:
    bool start(std::int32_t w, std::int32_t h, std::int32_t channels, const WriteSettings& s) {
        if (setjmp(trap_.jump)) return false;
        jpeg_create_compress(&cinfo_);
        jpeg_stdio_dest(&cinfo_, f_);
        cinfo_.image_width = static_cast<JDIMENSION>(w);
        cinfo_.image_height = static_cast<JDIMENSION>(h);
        cinfo_.input_components = channels;
        cinfo_.in_color_space = channels == 4 ? JCS_EXT_RGBX : JCS_RGB;
        jpeg_set_defaults(&cinfo_);
        const JpegSettings& j = s.jpeg;
        jpeg_set_quality(&cinfo_, j.quality < 1 ? 1 : j.quality > 100 ? 100 : j.quality, TRUE);
        const int dct = static_cast<int>(j.dct);
        cinfo_.dct_method = kDct[dct >= 0 && dct < 4 ? dct : 0];
        cinfo_.smoothing_factor = j.smoothing < 0 ? 0 : j.smoothing > 100 ? 100 : j.smoothing;
        for (int c = 0; c < 3; ++c) {
            cinfo_.comp_info[c].h_samp_factor = j.sampling[c][0] >= 1 && j.sampling[c][0] <= 4 ? j.sampling[c][0] : 1;
            cinfo_.comp_info[c].v_samp_factor = j.sampling[c][1] >= 1 && j.sampling[c][1] <= 4 ? j.sampling[c][1] : 1;
        }
        if (s.resolution.present() && s.resolution.unit >= 1 && s.resolution.unit <= 2) {
            cinfo_.write_JFIF_header = TRUE;
            cinfo_.density_unit = static_cast<UINT8>(s.resolution.unit);
            cinfo_.X_density = static_cast<UINT16>(s.resolution.x > 65535 ? 65535 : s.resolution.x);
            cinfo_.Y_density = static_cast<UINT16>(s.resolution.y > 65535 ? 65535 : s.resolution.y);
        }
        jpeg_start_compress(&cinfo_, TRUE);
        return true;
    }
    std::FILE* f_ = nullptr;
    jpeg_compress_struct cinfo_{};
    ErrorTrap trap_{};
    bool created_ = false;
    bool ok_ = false;
};

std::unique_ptr<RowWriter> openJpegRows(const char* path, std::int32_t w, std::int32_t h, std::int32_t channels,
                                        const WriteSettings& s) noexcept {
    if (!path || w <= 0 || h <= 0 || w > 65500 || h > 65500 || (channels != 3 && channels != 4)) return nullptr;
    return std::unique_ptr<RowWriter>(new (std::nothrow) JpegRows(path, w, h, channels, s));
}

bool writeJpeg(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    return writeByRows(openJpegRows(path, image.width, image.height, image.channels, s), image, false);
}

}  // namespace

const ImageFormat kJpegFormat{FileType::Jpeg, "JPEG", {"jpg", "jpeg", "jpe", "jfif"}, isJpeg, readJpeg, jpegInfo,
                              writeJpeg, openJpegRows};

}  // namespace plr::formats
