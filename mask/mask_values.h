#pragma once
// The small rules every mask operation shares: which plane may be walked,
// the value a builder writes for a strength, the grey-to-mask mapping and the
// conversion of percent tolerances into distances.
#include <cstddef>
#include <cstdint>

#include "mask/mask_state.h"

namespace plr {

// What a mask operation reaches on the page: the mask, the page's size, and
// the current layer's pixels.
struct MaskPage {
    MaskState& mask;
    std::int32_t width = 0, height = 0;
    std::uint16_t* layerPixels = nullptr;  // the current layer's when page-sized, else null
    bool layerHasPixels = false;           // the current layer holds pixels of any size
    std::size_t pixelCount() const noexcept {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

// The page's mask plane when it holds exactly one value per page pixel
// (enabled or not), else null.
inline std::uint16_t* pageMask(const MaskPage& p) noexcept {
    const std::size_t n = p.pixelCount();
    return n != 0 && p.mask.plane.size() == n ? p.mask.plane.data() : nullptr;
}

// Strength 0..255 writes (255 - s) * 256: 255 masks fully, 0 leaves the pixel
// open but for the low byte. Strengths outside 0..255 are pinned to it.
constexpr std::uint16_t strengthToMask(std::int32_t strength) noexcept {
    const std::int32_t s = strength < 0 ? 0 : strength > 255 ? 255 : strength;
    return static_cast<std::uint16_t>((255 - s) * 256);
}

// A 16-bit grey level to a mask value: dark is open, light is masked.
constexpr std::uint16_t greyToMask(std::int64_t g) noexcept {
    if (g < 256) return 0xFFFF;
    if (g > 0xFF00) return 0;
    return static_cast<std::uint16_t>(0xFF00 - g);
}

// Percent tolerance to a byte distance: trunc(tolerance * 2.56), so 100 %
// gives 256 and every distance passes. Pinned to -1..256, which keeps every
// result and avoids converting huge products to integers.
constexpr std::int32_t percentToByteDistance(std::int32_t tolerance) noexcept {
    const double t = tolerance * 2.56;
    if (t >= 256.0) return 256;
    if (t <= -1.0) return -1;
    return static_cast<std::int32_t>(t);
}

// Percent tolerance to degrees of hue: trunc(tolerance * 1.8), 100 % = 180.
// Pinned to -1..720 (hue differences never exceed 361 degrees).
constexpr std::int32_t percentToHueDegrees(std::int32_t tolerance) noexcept {
    const double t = tolerance * 1.8;
    if (t >= 720.0) return 720;
    if (t <= -1.0) return -1;
    return static_cast<std::int32_t>(t);
}

}  // namespace plr
