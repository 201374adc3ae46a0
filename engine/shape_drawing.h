#pragma once
// Filled rectangles, ellipses and gradients on the current layer. Each is
// drawn into the page's 32-bit destination buffer, which is allocated afresh
// (replacing one the host held) and released afterwards in every case; the
// drawing then passes through the selection mask and the paper texture and
// is merged into the current layer with the Normal mode, honouring the
// layer's alpha lock. Raise EngineFailure when the buffer cannot be had.
#include <cstdint>

namespace plr {

struct Page;

// The shape box of two corners: columns from x1 to x2 with x1 included and
// x2 left out (x1 .. x2 - 1 when x1 < x2, else x2 + 1 .. x1), rows from
// min(y1, y2) to max(y1, y2) both included. Inclusive edges.
struct ShapeBox {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
ShapeBox shapeBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) noexcept;

// The merge strength of an opacity percentage: trunc(percent x 2.559), the
// percentage held to 0..100.
std::int32_t shapeStrength(std::int32_t opacityPercent) noexcept;

// Colour channels are bytes (the low byte of each argument).
void drawRectangle(Page& page, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x1,
                   std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t opacityPercent);
// The ellipse inscribed in the shape box: radii (right - left) / 2 and
// (bottom - top) / 2, each at least 2, centred at (left + rx, top + ry);
// anti-aliased edge.
void drawEllipse(Page& page, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x1,
                 std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t opacityPercent);

// Gradient stops from the colour count: n >= 2 spaces the first min(n, 4)
// colours at k x (100 / (n - 1)) percent, opaque; n = 0 fades colour 1 from
// clear to opaque over 0..100, n = 1 from opaque to clear; a negative count
// draws nothing.
struct GradientStops {
    std::int32_t count = 0;
    std::uint32_t packed[4] = {};  // blue, green, red, transparency from the low byte
    double positions[4] = {};
};
GradientStops gradientStops(const std::int32_t (&rgb)[12], std::int32_t count) noexcept;

// Kind "Linear" (exactly) draws along (x1, y1) -> (x2, y2); any other kind
// (null included) a radial gradient about (x1, y1) with radius
// |trunc(distance to (x2, y2))|. A gradient whose line or radius is shorter
// than one pixel changes nothing.
void drawGradient(Page& page, const std::int32_t (&rgb)[12], std::int32_t count, std::int32_t x1, std::int32_t y1,
                  std::int32_t x2, std::int32_t y2, const char* kind);

}  // namespace plr
