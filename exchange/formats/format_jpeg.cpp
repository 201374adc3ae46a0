// JPEG through libjpeg-turbo. Library errors jump back to readJpeg; nothing
// with a destructor lives between the jump point and the library calls.
#include <csetjmp>
#include <cstdio>

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

// Everything after the header, kept apart so that the jump does not cross
// any object with a destructor.
bool decode(jpeg_decompress_struct& cinfo, ErrorTrap& trap, RgbaImage& out) {
    if (setjmp(trap.jump)) return false;
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_RGBA;
    if (!allocateRgba(out, cinfo.image_width, cinfo.image_height)) return false;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != static_cast<JDIMENSION>(out.width) ||
        cinfo.output_height != static_cast<JDIMENSION>(out.height) || cinfo.output_components != 4)
        return false;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * out.width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool isJpeg(const std::uint8_t* b, std::size_t n) noexcept { return n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF; }

bool readJpeg(const char* path, RgbaImage& out) noexcept {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    jpeg_decompress_struct cinfo{};
    ErrorTrap trap{};
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = onError;
    trap.mgr.output_message = quiet;
    volatile bool ok = false;
    if (!setjmp(trap.jump)) {
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        ok = decode(cinfo, trap, out);
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return ok;
}

}  // namespace

const ImageFormat kJpegFormat{FileType::Jpeg, "JPEG", {"jpg", "jpeg", "jpe", "jfif"}, isJpeg, readJpeg, nullptr};

}  // namespace plr::formats
