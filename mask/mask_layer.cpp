#include "mask/mask_layer.h"

#include <cstddef>

#include "mask/mask_values.h"

namespace plr {
namespace {

// Calls body(mask value&, layer pixel*) for every page pixel.
template <class F>
void eachPixel(const MaskPage& p, F&& body) noexcept {
    std::uint16_t* m = pageMask(p);
    std::uint16_t* px = p.layerPixels;
    if (!m || !px) return;
    const std::size_t n = p.pixelCount();
    for (std::size_t i = 0; i < n; ++i) body(m[i], px + 4 * i);
}

}  // namespace

void createImageFromMask(const MaskPage& p) noexcept {
    eachPixel(p, [](std::uint16_t& m, std::uint16_t* px) {
        const std::uint16_t amount = static_cast<std::uint16_t>(0xFFFF - m);
        const std::uint16_t grey = amount < 0xFF00 ? amount : std::uint16_t{0xFF00};
        px[0] = px[1] = px[2] = grey;
        px[3] = 0xFFFF;
    });
}

void createAlphaFromMask(const MaskPage& p) noexcept {
    eachPixel(p, [](std::uint16_t& m, std::uint16_t* px) { px[3] = m; });
}

void createMaskFromAlpha(const MaskPage& p) noexcept {
    eachPixel(p, [](std::uint16_t& m, std::uint16_t* px) { m = px[3]; });
}

void createMaskFromImage(const MaskPage& p) noexcept {
    eachPixel(p, [](std::uint16_t& m, std::uint16_t* px) {
        m = greyToMask((std::uint32_t{px[0]} + px[1] + px[2]) / 3u);
    });
}

void createMaskFromImageLuma(const MaskPage& p) noexcept {
    eachPixel(p, [](std::uint16_t& m, std::uint16_t* px) {
        m = greyToMask((3u * px[0] + 4u * px[1] + px[2]) >> 3);
    });
}

}  // namespace plr
