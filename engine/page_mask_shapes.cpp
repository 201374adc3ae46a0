// Mask rectangle and ellipse: the mask goes out as a grey picture (white
// masked), the shape is drawn into it in the strength's grey, and the
// picture comes back as the mask.
#include <algorithm>

#include "adapters/imaging/drawing.h"
#include "adapters/imaging/drawing_fill.h"
#include "core/failure.h"
#include "engine/page.h"
#include "engine/page_fill.h"
#include "mask/flood_map.h"
#include "mask/mask_data.h"

namespace plr {
namespace {

// Corners further out than this are moved to it: the shapes keep their
// visible part for any box a host draws, and the ellipse arithmetic stays in
// 64 bits.
constexpr std::int32_t kShapeReach = 4 * kMaxPageSide;

std::int32_t reach(std::int32_t v) noexcept { return std::clamp(v, -kShapeReach, kShapeReach); }

template <class Draw>
void drawIntoMask(Page& page, std::int32_t strength, Draw&& draw) {
    const MaskPage mp = page.maskPage();
    if (!pageMask(mp)) return;
    const std::int32_t s8 = wandStrength(strength);
    const std::uint32_t grey = static_cast<std::uint32_t>(s8) * 0x010101u;
    Block<std::uint8_t> picture;
    need(picture.allocate(page.pixelCount() * 3));
    const std::int32_t stride = page.width * 3;
    saveMask(mp, picture.data(), stride);
    if (draw(picture.data(), stride, grey)) loadMask(mp, picture.data(), stride, page.width, page.height);
}

}  // namespace

void maskEllipse(Page& page, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 std::int32_t strength) {
    x0 = reach(x0), y0 = reach(y0), x1 = reach(x1), y1 = reach(y1);
    const std::int32_t rx = std::max((std::max(x0, x1) - std::min(x0, x1)) / 2, 2);
    const std::int32_t ry = std::max((std::max(y0, y1) - std::min(y0, y1)) / 2, 2);
    const std::int32_t cx = std::min(x0, x1) + rx, cy = std::min(y0, y1) + ry;
    drawIntoMask(page, strength, [&](std::uint8_t* rgb, std::int32_t stride, std::uint32_t grey) {
        return imaging_lib::DrawEllipseOnImage(rgb, page.width, page.height, 3, stride, cx, cy, rx, ry, grey) != 0;
    });
}

void maskRectangle(Page& page, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                   std::int32_t strength) {
    drawIntoMask(page, strength, [&](std::uint8_t* rgb, std::int32_t stride, std::uint32_t grey) {
        return imaging_lib::FillTransparentRectOnImage(rgb, page.width, page.height, 3, stride, std::min(x0, x1),
                                                       std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), grey,
                                                       1.0) != 0;
    });
}

}  // namespace plr
