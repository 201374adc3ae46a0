// PNG through libpng's simplified reading interface, which keeps its own
// error recovery: a corrupt or truncated file makes a call return zero.
#include <png.h>

#include <cstring>

#include "exchange/formats/image_formats.h"

namespace plr::formats {

namespace {

bool isPng(const std::uint8_t* b, std::size_t n) noexcept { return n >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0; }

bool readPng(const char* path, RgbaImage& out) noexcept {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGBA;
    if (!allocateRgba(out, image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    const bool ok = png_image_finish_read(&image, nullptr, out.pixels.data(),
                                          static_cast<png_int_32>(out.width) * 4, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

}  // namespace

const ImageFormat kPngFormat{FileType::Png, "PNG", {"png"}, isPng, readPng, nullptr};

}  // namespace plr::formats
