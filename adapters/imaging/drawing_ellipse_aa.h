#pragma once
// The drawing family's anti-aliased ellipse: the library's full ellipse call,
// beside the plain pixel-set ellipse of drawing.h.
#include <cstdint>

namespace plr::imaging_lib {

// Draws the ellipse centred on pixel (cx, cy) with radii rx, ry (>= 1) into a
// 1-, 3- or 4-byte raster. `colour` is packed blue in the low byte, then
// green, red and alpha: a 4-byte pixel receives red, green, blue, alpha in
// that memory order, a 3-byte pixel red, green, blue, a 1-byte pixel the low
// byte.
//
// Geometry: the ellipse's edge passes through the outer sides of the pixels
// cx - rx, cx + rx, cy - ry and cy + ry (semi-axes rx + 1/2 and ry + 1/2 about
// the pixel centre), so its ink covers exactly columns cx - rx .. cx + rx and
// rows cy - ry .. cy + ry, the outermost ones partly.
//
// Coverage: each pixel row is cut into `subRows` horizontal lines (1..16;
// values outside are held to that range); on each line the ellipse's chord
// is exact and its overlap with every pixel is measured exactly, so coverage
// is exact across a row and sampled `subRows` times down it. Every byte of a
// pixel moves from its value toward the colour's byte by coverage x
// opacityPercent / 100 (weights of 1/256): a raster filled beforehand with
// the colour at alpha 0 keeps the colour and takes the coverage as alpha.
// `filled` 0 draws only the outline, one pixel wide inside the edge.
// The two reserved arguments are not used. Returns 0 for an invalid raster
// or a radius below 1.
std::int32_t DrawEllipseOnImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                std::int32_t stride, std::uint32_t colour, std::int32_t cx, std::int32_t cy,
                                std::int32_t rx, std::int32_t ry, std::int32_t filled, double opacityPercent,
                                std::int32_t reserved1, std::int32_t reserved2, std::int32_t subRows) noexcept;

}  // namespace plr::imaging_lib
