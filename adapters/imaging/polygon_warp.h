#pragma once
// Warps of a 4-byte picture through the shared inverse sampler
// (inverse_sampler.h): a quadrilateral onto a quadrilateral, and a push of
// the picture from one point to another.
#include <cstdint>

namespace plr::imaging_lib {

struct WarpPoint {
    std::int32_t x = 0, y = 0;
};

// Maps the source quadrilateral `from` onto the destination quadrilateral
// `to` in perspective (corners in the same order in both, going round the
// shape); pixels of `dst` inside `to` show the matching source point,
// sampled bilinearly with `edgeMode` (0..3, as SampleEdge) for reads beyond
// the picture; every other pixel of `dst` is left as it is. The mapping is
// exact, so `grid` (the cells the library may split the shape into) need
// only be at least 1; `reserved1` and `reserved2` must be 0. Fails for null
// or overlapping rasters, `bytesPerPixel` other than 4, a degenerate
// quadrilateral or short work memory.
std::int32_t PolygonWarpImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                              std::int32_t srcStride, void* dst, std::int32_t dstStride, const WarpPoint* from,
                              const WarpPoint* to, std::int32_t grid, std::int32_t reserved1, std::int32_t reserved2,
                              std::int32_t edgeMode) noexcept;

// Pushes the picture at `from` to `to`: the destination at `to` shows the
// source at `from`, the shift fading smoothly to nothing at a radius of
// twice the push (at least 8 pixels); the rest is copied. A push from a
// point to itself copies. `flags` must be 0.
std::int32_t PushImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, void* dst, std::int32_t dstStride, WarpPoint from, WarpPoint to,
                       std::int32_t flags) noexcept;

}  // namespace plr::imaging_lib
