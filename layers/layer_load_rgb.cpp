// The 24-bit loads into the current layer and the 64-bit copies into slots.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/coverage.h"
#include "core/pixel_rows.h"
#include "layers/page_layers.h"
#include "layers/layer_load.h"

// Every load refuses a page of size 0: there is nothing to load, and success
// for no work would mislead the host.

namespace plr {
namespace {

template <bool Tex, bool Mask>
void rgbRowCovered(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, const std::uint8_t* __restrict t,
                   const std::uint16_t* __restrict m, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t f = coverageA(Tex, Tex ? t[i] : 0, Mask, Mask ? m[i] : 0);
        for (int c = 0; c < 3; ++c) d[4 * i + c] = coverageApply(s[3 * i + c], d[4 * i + c], f);
    }
}

template <bool Tex, bool Mask>
void alphaRowCovered(const std::uint8_t* __restrict s, std::uint16_t* __restrict d, const std::uint8_t* __restrict t,
                     const std::uint16_t* __restrict m, std::size_t n) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t f = coverageB(Tex, Tex ? t[i] : 0, Mask, Mask ? m[i] : 0);
        const std::uint16_t da = d[4 * i + 3];
        const std::uint16_t blended = coverageApply(s[3 * i], da, f);
        d[4 * i + 3] = da == 0 ? da : blended;
    }
}

using CoveredRow = void (*)(const std::uint8_t*, std::uint16_t*, const std::uint8_t*, const std::uint16_t*,
                            std::size_t) noexcept;

CoveredRow pickRgb(bool tex, bool mask) noexcept {
    if (tex && mask) return rgbRowCovered<true, true>;
    if (tex) return rgbRowCovered<true, false>;
    if (mask) return rgbRowCovered<false, true>;
    return rgbRowCovered<false, false>;
}
CoveredRow pickAlpha(bool tex, bool mask) noexcept {
    if (tex && mask) return alphaRowCovered<true, true>;
    if (tex) return alphaRowCovered<true, false>;
    if (mask) return alphaRowCovered<false, true>;
    return alphaRowCovered<false, false>;
}

// Walks the page rows of the current layer with a covered or plain kernel.
template <class Plain>
bool walkPage(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool covered, CoveredRow coveredRow,
              Plain plainRow) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::uint8_t* tex = covered ? page.textureIfPresent() : nullptr;
    const std::uint16_t* mask = covered ? page.maskIfEnabled() : nullptr;
    const std::size_t w = static_cast<std::size_t>(page.width);
    const std::ptrdiff_t srcStride = stride;
    for (std::int32_t y = 0; y < page.height; ++y, src += srcStride) {
        const std::size_t at = static_cast<std::size_t>(y) * w;
        std::uint16_t* d = layer->pixels.data() + at * 4;
        if (covered)
            coveredRow(src, d, tex ? tex + at : nullptr, mask ? mask + at : nullptr, w);
        else
            plainRow(src, d, w);
    }
    return true;
}

}  // namespace

bool loadBGR24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t width, std::int32_t height) {
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::int32_t w = std::clamp(width, 0, page.width), h = std::clamp(height, 0, page.height);
    const std::ptrdiff_t srcStride = stride;
    for (std::int32_t y = 0; y < h; ++y, src += srcStride) {
        std::uint16_t* __restrict d = layer->pixels.data() + static_cast<std::size_t>(y) * page.width * 4;
        const std::uint8_t* __restrict s = src;
        for (std::int32_t x = 0; x < w; ++x) {
            d[4 * x] = static_cast<std::uint16_t>(s[3 * x + 2] << 8);
            d[4 * x + 1] = static_cast<std::uint16_t>(s[3 * x + 1] << 8);
            d[4 * x + 2] = static_cast<std::uint16_t>(s[3 * x] << 8);
            d[4 * x + 3] = 0xFFFF;
        }
    }
    return true;
}

bool loadRGB24(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    const bool covered = coverageActive(page, useMaskAndTexture);
    return walkPage(page, src, stride, covered, pickRgb(page.textureIfPresent(), page.maskIfEnabled()),
                    [](const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) {
                        for (std::size_t i = 0; i < n; ++i)
                            for (int c = 0; c < 3; ++c) d[4 * i + c] = static_cast<std::uint16_t>(s[3 * i + c] << 8);
                    });
}

bool loadRGB24ToAlpha(PageLayers& page, const std::uint8_t* src, std::int32_t stride, bool useMaskAndTexture) {
    const bool covered = coverageActive(page, useMaskAndTexture);
    return walkPage(page, src, stride, covered, pickAlpha(page.textureIfPresent(), page.maskIfEnabled()),
                    [](const std::uint8_t* __restrict s, std::uint16_t* __restrict d, std::size_t n) {
                        for (std::size_t i = 0; i < n; ++i) {
                            const std::uint16_t da = d[4 * i + 3];
                            d[4 * i + 3] = da == 0 ? da : static_cast<std::uint16_t>(s[3 * i] << 8);
                        }
                    });
}

bool setRGBA64Layer(PageLayers& page, const std::uint8_t* src, std::int32_t stride, std::int32_t layerIndex) {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer || !src || page.pixelCount() == 0) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(page.width) * 8;
    auto* d = reinterpret_cast<std::uint8_t*>(layer->pixels.data());
    const std::ptrdiff_t srcStride = stride;
    for (std::int32_t y = 0; y < page.height; ++y, src += srcStride, d += rowBytes) std::memcpy(d, src, rowBytes);
    return true;
}

bool setLayerData(PageLayers& page, const std::uint8_t* src, std::int32_t layerIndex) {
    LayerRecord* layer = page.pageLayer(layerIndex);
    if (!layer || !src || page.pixelCount() == 0) return false;
    std::memcpy(layer->pixels.data(), src, layer->pixels.bytes());
    return true;
}

}  // namespace plr
