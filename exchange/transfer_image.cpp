#include "exchange/transfer_image.h"

#include <cstring>

#include "adapters/imaging/raster_resize.h"
#include "core/sizes.h"
#include "exchange/formats/image_formats.h"

namespace plr {

bool createTransferImage(TransferImage& t, std::int32_t width, std::int32_t height) noexcept {
    t.rgba.reset();
    t.width = width;
    t.height = height;
    if (width <= 0 || height <= 0) return false;
    return t.rgba.allocate(saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4));
}

void adoptTransferImage(TransferImage& t, formats::RgbaImage&& picture) noexcept {
    t.rgba = std::move(picture.pixels);
    t.width = picture.width;
    t.height = picture.height;
    picture.width = picture.height = 0;
}

bool transferImageTransparent(const TransferImage& t) noexcept {
    if (!t.present()) return false;
    const std::uint8_t* p = t.rgba.data();
    for (std::size_t i = 3; i < t.rgba.size(); i += 4)
        if (p[i] != 255) return true;
    return false;
}

void copyTransferRGBA32(const TransferImage& t, std::uint8_t* destination) noexcept {
    if (t.present() && destination) std::memcpy(destination, t.rgba.data(), t.rgba.size());
}

namespace {

void rgbaToRgb(const std::uint8_t* src, std::size_t pixels, std::uint8_t* dst) {
    for (std::size_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

}  // namespace

void copyTransferRGB24(const TransferImage& t, std::uint8_t* destination) noexcept {
    if (t.present() && destination) rgbaToRgb(t.rgba.data(), t.rgba.size() / 4, destination);
}

bool copyTransferResizedRGB24(const TransferImage& t, std::uint8_t* destination, std::int32_t width,
                              std::int32_t height) noexcept {
    if (!t.present() || !destination || width <= 0 || height <= 0) return false;
    Block<std::uint8_t> scaled;
    if (!scaled.allocate(saturatingProduct(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4)))
        return false;
    const bool shrink = width < t.width && height < t.height;
    const bool ok = shrink ? imaging_lib::DecimateImage(t.rgba.data(), t.width, t.height, t.width * 4, scaled.data(),
                                                       width, height, width * 4, 4, 1) != 0
                           : imaging_lib::ResizeImage(t.rgba.data(), t.width, t.height, t.width * 4, scaled.data(),
                                                     width, height, width * 4, 4) != 0;
    if (ok) rgbaToRgb(scaled.data(), scaled.size() / 4, destination);
    return ok;
}

}  // namespace plr
