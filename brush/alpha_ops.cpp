#include "brush/alpha_ops.h"

#include "brush/page_brush.h"

namespace plr {
namespace {

std::uint8_t byteOf(std::int32_t v) noexcept { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// The alpha channel of every pixel of a page-sized layer, through f.
template <class F>
void forEachAlpha(PageBrush& page, LayerRecord* l, F f) noexcept {
    if (!l) return;
    std::uint16_t* px = l->pixels.data();
    const std::size_t n = page.pixelCount();
    for (std::size_t i = 0; i < n; ++i) px[4 * i + 3] = f(px[4 * i + 3]);
}

}  // namespace

void setAlphaLayerOpacity(PageBrush& page, std::int32_t percent) noexcept {
    const std::int32_t p = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    page.alphaLayerOpacity = static_cast<std::uint16_t>(static_cast<double>(p) * 0.01 * 65535.0);
}

void setLayerAlpha(PageBrush& page, std::int32_t index, std::uint16_t alpha) noexcept {
    forEachAlpha(page, page.pageLayer(index), [alpha](std::uint16_t) { return alpha; });
}

void invertLayerAlpha(PageBrush& page, std::int32_t index) noexcept {
    forEachAlpha(page, page.pageLayer(index), [](std::uint16_t a) { return static_cast<std::uint16_t>(0xFFFF - a); });
}

void normalizeLayerAlpha(PageBrush& page, std::int32_t index) noexcept {
    LayerRecord* l = page.pageLayer(index);
    if (!l) return;
    const std::uint32_t opacity = l->opacity;
    forEachAlpha(page, l, [opacity](std::uint16_t a) { return static_cast<std::uint16_t>(opacity * a >> 8); });
    l->opacity = 256;
}

void setColorAlpha(PageBrush& page, std::int32_t red, std::int32_t green, std::int32_t blue) noexcept {
    LayerRecord* l = page.currentPageLayer();
    if (!l) return;
    const std::uint16_t r = byteOf(red) * 257, g = byteOf(green) * 257, b = byteOf(blue) * 257;
    std::uint16_t* px = l->pixels.data();
    const std::size_t n = page.pixelCount();
    for (std::size_t i = 0; i < n; ++i) {
        std::uint16_t* p = px + 4 * i;
        if (p[3] < 256) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 0;
        }
    }
}

void invertAlphaRGBA32(std::uint8_t* rgba, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) rgba[4 * i + 3] = static_cast<std::uint8_t>(255 - rgba[4 * i + 3]);
}

void setColorWhereTransparent(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                              std::int32_t blue) noexcept {
    const std::uint8_t r = byteOf(red), g = byteOf(green), b = byteOf(blue);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint8_t* p = rgba + 4 * i;
        if (p[3] == 0) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    }
}

void setColorKeepAlpha(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                       std::int32_t blue) noexcept {
    const std::uint8_t r = byteOf(red), g = byteOf(green), b = byteOf(blue);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint8_t* p = rgba + 4 * i;
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
}

void clearAlphaOfColor(std::uint8_t* rgba, std::size_t pixels, std::int32_t red, std::int32_t green,
                       std::int32_t blue) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint8_t* p = rgba + 4 * i;
        if (p[0] == red && p[1] == green && p[2] == blue) p[3] = 0;
    }
}

}  // namespace plr
