#include "layers/pixel_reference.h"

#include <cstddef>
#include <cstring>

#include "core/packed_pixels.h"
#include "layers/page_layers.h"

namespace plr::reference {
namespace {

std::uint16_t load16(const std::uint8_t* p) noexcept {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

}  // namespace

std::uint32_t coverageA(const std::uint8_t* texture, const std::uint16_t* mask) noexcept {
    std::uint32_t f = 0xFFFF;
    if (texture) {
        const std::uint32_t t = *texture;
        if (t == 0)
            f = 0;
        else if (t < 128)
            f = (2 * t + 1) * 0xFFFF >> 8;
    }
    if (mask) {
        const std::uint32_t h = *mask >> 8;
        if (h == 0) return 0;  // pixel left untouched
        if (h != 255) f = (h + 1) * f >> 8;
    }
    return f;
}

std::uint32_t coverageB(const std::uint8_t* texture, const std::uint16_t* mask) noexcept {
    std::uint32_t f = 0xFFFF;
    if (texture && *texture < 128) f = std::uint32_t{*texture} * 0x1FFFE >> 8;
    if (mask && *mask < 0xFFFF) f = std::uint32_t{*mask} * f >> 16;
    return f;
}

std::uint16_t blend(std::uint8_t s, std::uint16_t d, std::uint32_t f) noexcept {
    return static_cast<std::uint16_t>(((std::uint32_t{s} * 256 * f >> 8) + (std::uint32_t{d} * (0xFFFF - f) >> 8)) >>
                                      8);
}

void loadRGBA32Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height, bool useMaskAndTexture) {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer || !src) return;
    const bool locked = layer->alphaLock != 0;
    const std::uint8_t* tex = page.textureIfPresent();
    const std::uint16_t* mask = page.maskIfEnabled();
    const bool covered = useMaskAndTexture && (tex || mask);
    for (std::int64_t sy = 0; sy < height; ++sy) {
        const std::int64_t py = y + sy;
        if (py < 0 || py >= layer->height) continue;
        for (std::int64_t sx = 0; sx < width; ++sx) {
            const std::int64_t px = x + sx;
            if (px < 0 || px >= layer->width) continue;
            const std::uint8_t* s = src + sy * stride + sx * 4;
            const std::size_t at = static_cast<std::size_t>(py * page.width + px);
            std::uint16_t* d = layer->pixels.data() + at * 4;
            if (!covered) {
                if (locked) {
                    for (int c = 0; c < 3; ++c) d[c] = widen8(s[c]);
                } else if (s[3] == 0) {
                    d[0] = d[1] = d[2] = d[3] = 0;
                } else {
                    for (int c = 0; c < 4; ++c) d[c] = widen8(s[c]);
                }
                continue;
            }
            const std::uint32_t f = coverageA(tex ? tex + at : nullptr, mask ? mask + at : nullptr);
            if (f == 0) continue;
            if (f == 0xFFFF) {
                for (int c = 0; c < 3; ++c) d[c] = widen8(s[c]);
                if (!locked) d[3] = widen8(s[3]);
            } else if (d[3] == 0) {
                for (int c = 0; c < 3; ++c) d[c] = widen8(s[c]);
                if (!locked) d[3] = static_cast<std::uint16_t>(std::uint32_t{s[3]} * 256 * f >> 16);
            } else if (s[3] == 0) {
                if (!locked) d[3] = static_cast<std::uint16_t>(std::uint32_t{d[3]} * (0xFFFF - f) >> 16);
            } else {
                for (int c = 0; c < 3; ++c) d[c] = blend(s[c], d[c], f);
                if (!locked) d[3] = blend(s[3], d[3], f);
            }
        }
    }
}

void loadRGB24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src) return;
    const std::uint8_t* tex = page.textureIfPresent();
    const std::uint16_t* mask = page.maskIfEnabled();
    const bool covered = useMaskAndTexture && (tex || mask);
    for (std::int64_t y = 0; y < page.height; ++y)
        for (std::int64_t x = 0; x < page.width; ++x) {
            const std::uint8_t* s = src + y * stride + x * 3;
            const std::size_t at = static_cast<std::size_t>(y * page.width + x);
            std::uint16_t* d = layer->pixels.data() + at * 4;
            const std::uint32_t f = covered ? coverageA(tex ? tex + at : nullptr, mask ? mask + at : nullptr) : 0xFFFF;
            if (f == 0) continue;
            for (int c = 0; c < 3; ++c) d[c] = f == 0xFFFF ? widen8(s[c]) : blend(s[c], d[c], f);
        }
}

void loadBGR24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t width, std::int32_t height) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src) return;
    const std::int64_t w = width < 0 ? 0 : width > page.width ? page.width : width;
    const std::int64_t h = height < 0 ? 0 : height > page.height ? page.height : height;
    for (std::int64_t y = 0; y < h; ++y)
        for (std::int64_t x = 0; x < w; ++x) {
            const std::uint8_t* s = src + y * stride + x * 3;
            std::uint16_t* d = layer->pixels.data() + static_cast<std::size_t>(y * page.width + x) * 4;
            d[0] = widen8(s[2]);
            d[1] = widen8(s[1]);
            d[2] = widen8(s[0]);
            d[3] = 0xFFFF;
        }
}

void loadRGB24ToAlpha(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src) return;
    const std::uint8_t* tex = page.textureIfPresent();
    const std::uint16_t* mask = page.maskIfEnabled();
    const bool covered = useMaskAndTexture && (tex || mask);
    for (std::int64_t y = 0; y < page.height; ++y)
        for (std::int64_t x = 0; x < page.width; ++x) {
            const std::uint8_t s = src[y * stride + x * 3];
            const std::size_t at = static_cast<std::size_t>(y * page.width + x);
            std::uint16_t* d = layer->pixels.data() + at * 4;
            if (d[3] == 0) continue;
            const std::uint32_t f = covered ? coverageB(tex ? tex + at : nullptr, mask ? mask + at : nullptr) : 0xFFFF;
            if (f == 0) continue;
            d[3] = f == 0xFFFF ? widen8(s) : blend(s, d[3], f);
        }
}

void clearMasked(PageLayers& page, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer) return;
    const std::uint16_t* mask = page.maskIfEnabled();
    const std::uint8_t colour[4] = {r, g, b, a};
    for (std::size_t i = 0; i < page.pixelCount(); ++i) {
        std::uint16_t* d = layer->pixels.data() + i * 4;
        const std::uint32_t m = mask ? mask[i] : 0xFFFF;
        if (m == 0xFFFF) {
            for (int c = 0; c < 4; ++c) d[c] = widen8(colour[c]);
        } else if (m != 0) {
            for (int c = 0; c < 3; ++c) d[c] = blend(colour[c], d[c], m);
            d[3] = 0xFFFF;
        }
    }
}

void readLayer(const PageLayers& page, std::int32_t layerIndex, Narrow to, bool alphaAsGrey, std::uint8_t* dst,
               std::int32_t stride) {
    const LayerRecord* layer = layerIndex >= 0 && layerIndex < kLayerSlots ? &page.layers[layerIndex] : nullptr;
    if (!layer || !layer->hasPixelsOfSize(page.width, page.height) || !dst) return;
    for (std::int64_t y = 0; y < page.height; ++y)
        for (std::int64_t x = 0; x < page.width; ++x) {
            const std::uint16_t* s = layer->pixels.data() + (y * page.width + x) * 4;
            if (alphaAsGrey) {
                for (int c = 0; c < 3; ++c) dst[y * stride + x * 3 + c] = narrow16(s[3]);
            } else if (to == Narrow::RGB24) {
                for (int c = 0; c < 3; ++c) dst[y * stride + x * 3 + c] = narrow16(s[c]);
            } else {
                for (int c = 0; c < 4; ++c) dst[y * stride + x * 4 + c] = narrow16(s[c]);
            }
        }
}

void convertRGBA64Block(Narrow to, const std::uint8_t* src, std::int32_t srcStride, std::uint8_t* dst,
                        std::int32_t dstStride, std::int32_t width, std::int32_t height) {
    const int channels = to == Narrow::RGBA32 ? 4 : 3;
    for (std::int64_t y = 0; y < height; ++y)
        for (std::int64_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                dst[y * dstStride + x * channels + c] = narrow16(load16(src + y * srcStride + x * 8 + c * 2));
}

}  // namespace plr::reference
