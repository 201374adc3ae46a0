// The filters that work on the current layer's flips, on the selection mask
// and through scripts.
#include <algorithm>
#include <cstring>

#include "engine/filter_ops.h"
#include "engine/page.h"
#include "imaging/colour_spaces.h"
#include "mask/builders.h"
#include "mask/mask_data.h"
#include "mask/mask_values.h"

namespace plr::filter_ops {

namespace {

// Mirrors the packed RGBA32 rows left to right, in place.
void flipRowsHorizontally(std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    for (std::int32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(rgba + std::size_t(y) * width * 4);
        std::reverse(row, row + width);
    }
}

// Swaps row y with row height - 1 - y, in place.
void flipRowsVertically(std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    const std::size_t rowBytes = std::size_t(width) * 4;
    for (std::int32_t y = 0; y < height / 2; ++y)
        std::swap_ranges(rgba + y * rowBytes, rgba + (y + 1) * rowBytes, rgba + (height - 1 - y) * rowBytes);
}

// "Mask Generate HSL" and "Mask Detail": option 3 = 1 opens the whole mask first.
void clearMaskWhenAsked(FilterRun& r) {
    if (r.optionByte(3) == 1) clearMask(r.page.maskPage(), 0, 0, 0);
}

}  // namespace

bool horizontalFlip(FilterRun& r) {
    flipRowsHorizontally(r.out, r.width(), r.height());
    return true;
}

bool verticalFlip(FilterRun& r) {
    flipRowsVertically(r.out, r.width(), r.height());
    return true;
}

bool maskGenerateHsl(FilterRun& r) {
    const Rgb8 colour = HslToRgb(r.p[1] * 3.6, r.p[3] * 0.01, r.p[5] * 0.01);
    clearMaskWhenAsked(r);
    std::uint16_t* mask = pageMask(r.page.maskPage());
    const std::uint8_t* source = r.page.processing.src32.data();
    if (mask && source)
        maskFromHslRange(mask, r.page.pixelCount(), source, colour.r, colour.g, colour.b, r.p[2] * 0.01, r.p[4] * 0.01,
                         r.p[6] * 0.01, strengthToMask(r.option(1) == 0 ? 255 : 0));
    return false;
}

bool maskDetailClear(FilterRun& r) {
    clearMaskWhenAsked(r);
    return true;
}

bool luaFilter(FilterRun& r) {
    refreshSource(r);
    if (r.hooks.runScriptFilter)
        r.hooks.runScriptFilter(r.hooks.context, r.call.text, r.call.args.p, r.call.args.option);
    return false;
}

}  // namespace plr::filter_ops
