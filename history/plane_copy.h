#pragma once
// Rectangle copies between page-sized planes and packed snapshot blocks. All
// of them go through the imaging library's overlay at opacity 1.0 (an exact
// copy), so there is one copy routine to make fast.
#include <cstddef>
#include <cstdint>

#include "core/rect.h"

namespace plr {

// The geometry of one kind of page plane: pixels across and down, bytes a pixel
// (8 for layer planes, 2 for mask planes).
struct PlaneShape {
    std::int32_t width = 0, height = 0, bytesPerPixel = 0;
};

// Every rectangle here is non-empty and inside the plane (callers check).

// Rectangle `r` of `plane` into `packed` (r.width() x r.height(), packed rows).
void copyRectOut(const void* plane, PlaneShape shape, const Rect& r, void* packed) noexcept;
// `packed` (r.width() x r.height(), packed rows) into rectangle `r` of `plane`.
void copyRectIn(const void* packed, void* plane, PlaneShape shape, const Rect& r) noexcept;
// Rectangle `r` of one plane into the same rectangle of another of the same shape.
void copyRectAcross(const void* from, void* to, PlaneShape shape, const Rect& r) noexcept;

// Calls f(band, packedOffset) for successive bands of whole rows of `r`,
// each about 64 KB of the plane, where packedOffset is the band's first byte
// in a packed copy of `r`. Operations that make several copies of one
// rectangle run them band by band, so the rows one copy writes are still in
// the cache when the next copy reads them.
template <class F>
void forEachBand(const Rect& r, std::int32_t bytesPerPixel, F&& f) {
    if (r.empty()) return;
    const std::size_t rowBytes = static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(bytesPerPixel);
    const std::int64_t rows = rowBytes >= 65536 ? 1 : static_cast<std::int64_t>(65536 / rowBytes);
    for (std::int64_t top = r.top; top < r.bottom; top += rows) {
        const std::int64_t end = top + rows < r.bottom ? top + rows : r.bottom;
        const Rect band{r.left, static_cast<std::int32_t>(top), r.right, static_cast<std::int32_t>(end)};
        f(band, static_cast<std::size_t>(top - r.top) * rowBytes);
    }
}

}  // namespace plr
