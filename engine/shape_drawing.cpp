#include "engine/shape_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "adapters/imaging/drawing.h"
#include "adapters/imaging/drawing_ellipse_aa.h"
#include "adapters/imaging/drawing_gradient.h"
#include "brush/alpha_ops.h"
#include "core/failure.h"
#include "engine/page.h"
#include "engine/page_buffers.h"
#include "imaging/mask_texture_adjust.h"
#include "layers/layer_clear.h"
#include "layers/merge_rgba32.h"

namespace plr {

namespace {

constexpr std::int32_t kNormal = 0;
constexpr std::int32_t kMinRadius = 2;
constexpr std::int32_t kEllipseSubRows = 4;

std::int32_t held(std::int64_t v) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The destination buffer for one drawing: allocated on construction,
// released when the drawing ends, however it ends.
struct ScratchImage {
    Page& page;
    explicit ScratchImage(Page& p) : page(p) { allocDstBuffer32(page); }
    ~ScratchImage() { page.processing.dst32.reset(); }
    ScratchImage(const ScratchImage&) = delete;
    ScratchImage& operator=(const ScratchImage&) = delete;
    std::uint8_t* data() noexcept { return page.processing.dst32.data(); }
};

// Mask and texture into the drawing's alpha, then the Normal merge into the
// current layer.
void mergeDrawing(Page& page, std::uint8_t* image, std::int32_t strength) {
    adjustRGBA32ByMaskAndTexture(page.coverage(), image, page.width, page.height);
    if (LayerRecord* layer = page.currentPageLayer())
        need(mergeRGBA32IntoLayer(page, image, *layer, kNormal, 0, strength, layer->alphaLock != 0), "merge");
}

// One solid shape: the scratch image cleared to the colour at alpha 0 (so
// soft edges keep the colour), the shape drawn by `draw`, the merge.
template <class Draw>
void drawShape(Page& page, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t opacityPercent,
               Draw&& draw) {
    if (page.pixelCount() == 0) return;
    ScratchImage scratch(page);
    fillRGBA32(scratch.data(), page.width * 4, page.width, page.height, red, green, blue, 0);
    if (draw(scratch.data())) mergeDrawing(page, scratch.data(), shapeStrength(opacityPercent));
}

}  // namespace

ShapeBox shapeBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) noexcept {
    ShapeBox box;
    if (x1 < x2) box.left = x1, box.right = x2 - 1;
    else box.left = held(std::int64_t{x2} + 1), box.right = x1;
    box.top = std::min(y1, y2);
    box.bottom = std::max(y1, y2);
    return box;
}

std::int32_t shapeStrength(std::int32_t opacityPercent) noexcept {
    return static_cast<std::int32_t>(std::clamp(opacityPercent, 0, 100) * 2.559);
}

void drawRectangle(Page& page, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x1,
                   std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t opacityPercent) {
    const ShapeBox box = shapeBox(x1, y1, x2, y2);
    // Red in the low byte, then green, blue and an opaque alpha.
    const std::uint32_t colour = red | (green << 8) | (blue << 16) | 0xFF000000u;
    drawShape(page, red, green, blue, opacityPercent, [&](std::uint8_t* image) {
        return imaging_lib::FillSolidRect(image, page.width, page.height, 4, page.width * 4, box.left, box.top,
                                          box.right, box.bottom, colour) != 0;
    });
}

void drawEllipse(Page& page, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x1,
                 std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t opacityPercent) {
    const ShapeBox box = shapeBox(x1, y1, x2, y2);
    const std::int64_t rx = std::max<std::int64_t>((std::int64_t{box.right} - box.left) / 2, kMinRadius);
    const std::int64_t ry = std::max<std::int64_t>((std::int64_t{box.bottom} - box.top) / 2, kMinRadius);
    // This call takes its colour blue in the low byte, then green, red and alpha.
    const std::uint32_t colour = blue | (green << 8) | (red << 16) | 0xFF000000u;
    drawShape(page, red, green, blue, opacityPercent, [&](std::uint8_t* image) {
        return imaging_lib::DrawEllipseOnImage(image, page.width, page.height, 4, page.width * 4, colour,
                                               held(box.left + rx), held(box.top + ry), held(rx), held(ry), 1, 100.0,
                                               0, 0, kEllipseSubRows) != 0;
    });
}

GradientStops gradientStops(const std::int32_t (&rgb)[12], std::int32_t count) noexcept {
    GradientStops stops;
    const auto stop = [&](std::int32_t colour, std::uint32_t transparency) {
        return (rgb[colour * 3 + 2] & 0xFFu) | ((rgb[colour * 3 + 1] & 0xFFu) << 8) | ((rgb[colour * 3] & 0xFFu) << 16) |
               (transparency << 24);
    };
    if (count >= 2) {
        const std::int32_t spacing = 100 / (count - 1);
        stops.count = std::min(count, 4);
        for (std::int32_t k = 0; k < stops.count; ++k) {
            stops.packed[k] = stop(k, 0);
            stops.positions[k] = k * spacing;
        }
    } else if (count == 0 || count == 1) {
        // One colour fading: the transparency byte turns into alpha once inverted.
        stops.count = 2;
        stops.packed[0] = stop(0, count == 0 ? 255 : 0);
        stops.packed[1] = stop(0, count == 0 ? 0 : 255);
        stops.positions[1] = 100;
    }
    return stops;
}

void drawGradient(Page& page, const std::int32_t (&rgb)[12], std::int32_t count, std::int32_t x1, std::int32_t y1,
                  std::int32_t x2, std::int32_t y2, const char* kind) {
    if (page.pixelCount() == 0) return;
    const GradientStops stops = gradientStops(rgb, count);
    ScratchImage scratch(page);
    const std::int32_t w = page.width, h = page.height;
    std::int32_t drawn;
    if (kind && std::strcmp(kind, "Linear") == 0) {
        drawn = imaging_lib::GradientFillImageLinear(scratch.data(), w, h, 4, w * 4, x1, y1, x2, y2, stops.packed,
                                                     stops.positions, stops.count, 1, 1.0, 0);
    } else {
        const double dx = double(x2) - x1, dy = double(y2) - y1;
        const double radius = std::fabs(std::trunc(std::sqrt(dy * dy + dx * dx)));
        drawn = imaging_lib::GradientFillImageRadial(scratch.data(), w, h, 4, w * 4, radius, x1, y1, stops.packed,
                                                     stops.positions, stops.count, 0, 1.0, 0);
    }
    if (!drawn) return;
    invertAlphaRGBA32(scratch.data(), page.pixelCount());  // transparency becomes coverage
    mergeDrawing(page, scratch.data(), 255);
}

}  // namespace plr
