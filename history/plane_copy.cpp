#include "history/plane_copy.h"

#include "adapters/imaging/raster.h"

namespace plr {
namespace {

std::int32_t stride(PlaneShape s) noexcept { return s.width * s.bytesPerPixel; }

const std::uint8_t* at(const void* plane, PlaneShape s, const Rect& r) noexcept {
    return static_cast<const std::uint8_t*>(plane) +
           (static_cast<std::size_t>(r.top) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(r.left)) *
               static_cast<std::size_t>(s.bytesPerPixel);
}

}  // namespace

void copyRectOut(const void* plane, PlaneShape shape, const Rect& r, void* packed) noexcept {
    const auto w = static_cast<std::int32_t>(r.width()), h = static_cast<std::int32_t>(r.height());
    imaging_lib::OverlayImage(at(plane, shape, r), w, h, shape.bytesPerPixel, stride(shape), packed, w, h,
                      w * shape.bytesPerPixel, 0, 0, 1.0);
}

void copyRectIn(const void* packed, void* plane, PlaneShape shape, const Rect& r) noexcept {
    const auto w = static_cast<std::int32_t>(r.width()), h = static_cast<std::int32_t>(r.height());
    imaging_lib::OverlayImage(packed, w, h, shape.bytesPerPixel, w * shape.bytesPerPixel, plane, shape.width, shape.height,
                      stride(shape), r.left, r.top, 1.0);
}

void copyRectAcross(const void* from, void* to, PlaneShape shape, const Rect& r) noexcept {
    const auto w = static_cast<std::int32_t>(r.width()), h = static_cast<std::int32_t>(r.height());
    imaging_lib::OverlayImage(at(from, shape, r), w, h, shape.bytesPerPixel, stride(shape), to, shape.width,
                      shape.height, stride(shape), r.left, r.top, 1.0);
}

}  // namespace plr
