// Alpha premultiplication and the mask-and-texture adjusters, for the host's
// own buffers.
#include "api/export.h"
#include "core/sizes.h"
#include "imaging/alpha_premultiply.h"
#include "imaging/mask_texture_adjust.h"

using namespace plr;

namespace {

// Pixels of a width x height buffer; 0 for empty or negative sizes.
std::size_t pixelsOf(int32_t width, int32_t height) {
    return width > 0 && height > 0 ? saturatingProduct(static_cast<uint64_t>(width), static_cast<uint64_t>(height)) : 0;
}

}  // namespace

extern "C" {

void PLR_AdjustRGBA32PreFilter(uint8_t* buffer, int32_t width, int32_t height) noexcept {
    if (buffer) premultiplyRGBA32(buffer, pixelsOf(width, height));
}

void PLR_AdjustRGBA32PostFilter(uint8_t* buffer, int32_t width, int32_t height) noexcept {
    if (buffer) unpremultiplyRGBA32(buffer, pixelsOf(width, height));
}

void PLR_AdjustRGBA32ForAlphaComp(int32_t flag, uint8_t* buffer) noexcept {
    if (flag && buffer) unpremultiplyRGBA32AllAlphas(buffer, page().pixelCount());
}

void PLR_AdjustRGBA64PreFilter(uint16_t* buffer, int32_t width, int32_t height) noexcept {
    if (buffer) premultiplyRGBA64(buffer, pixelsOf(width, height));
}

void PLR_AdjustRGBA64PostFilter(uint16_t* buffer, int32_t width, int32_t height) noexcept {
    if (buffer) unpremultiplyRGBA64(buffer, pixelsOf(width, height));
}

void PLR_AdjustRGBA32ByMaskAndTexture(uint8_t* buffer, int32_t width, int32_t height) noexcept {
    adjustRGBA32ByMaskAndTexture(page().coverage(), buffer, width, height);
}

void PLR_AdjustRGBA32RectByMaskAndTexture(uint8_t* buffer, int32_t x, int32_t y, int32_t width,
                                          int32_t height) noexcept {
    adjustRGBA32RectByMaskAndTexture(page().coverage(), buffer, x, y, width, height);
}

}  // extern "C"
