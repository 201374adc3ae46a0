#pragma once
// The one operation that composes a rectangle of a source plane onto a
// destination plane with a blend mode. Every merge goes through it: the layer
// merges and flattening, the paint-layer merge and the RGBA32 paste.
//
// The rectangle must lie inside both planes (callers clip). Source and
// destination may be the same plane at the same position (a layer merged
// into itself); other overlaps are not supported. The paint-layer merge is
// one request: the paint layer's pixels and bounds as the source
// rectangle, the target layer at the same position, the paint layer's mode
// and opacity, the current layer's alpha lock, no mask, switch off.
#include <cstdint>

namespace plr {

struct BlendRequest {
    // Source rectangle in layer-plane layout (4 channel values a pixel).
    const std::uint16_t* source = nullptr;
    std::int32_t sourceX = 0, sourceY = 0, width = 0, height = 0;
    std::int32_t sourceRowValues = 0;
    // Optional Layer Mask plane, addressed exactly like the source.
    const std::uint16_t* mask = nullptr;
    // Source pixel (sourceX + i, sourceY + j) meets destination pixel (destX + i, destY + j).
    std::uint16_t* destination = nullptr;
    std::int32_t destX = 0, destY = 0;
    std::int32_t destRowValues = 0;

    std::int32_t mode = 0;       // 0..42
    std::int32_t maskMode = 0;   // 40 when `mask` is a Layer Mask layer, else 0
    std::int32_t opacity = 256;  // 0..256; 255 or more is full (outside: held to 0..256)
    bool alphaLock = false;      // the destination's alpha is never written
    bool sameAlphaMode = false;  // an alpha-mode layer merged into a layer of the same mode
    std::uint16_t alphaLayerOpacity = 0xFFFF;  // O of the alpha modes
};

// The fast path: the operation every caller uses.
void blend(const BlendRequest& request) noexcept;
// The plain per-pixel reference, written like the mode tables; the fast path
// must give bit-identical results.
void blendReference(const BlendRequest& request) noexcept;

}  // namespace plr
