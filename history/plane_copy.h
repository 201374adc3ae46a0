#pragma once
// Rectangle copies between page-sized planes and packed snapshot blocks. All
// of them go through the imaging library's overlay at opacity 1.0 (an exact
// copy), so there is one copy routine to make fast.
#include <cstddef>
#include <cstdint>

namespace plr {

// A rectangle in page coordinates, right and bottom inclusive.
struct PageRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t width() const noexcept { return right - left + 1; }
    std::int32_t height() const noexcept { return bottom - top + 1; }
    std::size_t pixels() const noexcept {
        return static_cast<std::size_t>(width()) * static_cast<std::size_t>(height());
    }
    // Non-empty and inside a pageWidth x pageHeight page.
    bool insidePage(std::int32_t pageWidth, std::int32_t pageHeight) const noexcept {
        return left >= 0 && top >= 0 && left <= right && top <= bottom && right < pageWidth && bottom < pageHeight;
    }
    bool coversPage(std::int32_t pageWidth, std::int32_t pageHeight) const noexcept {
        return left == 0 && top == 0 && right == pageWidth - 1 && bottom == pageHeight - 1;
    }
};

// The geometry of one kind of page plane: pixels across and down, bytes a pixel
// (8 for layer planes, 2 for mask planes).
struct PlaneShape {
    std::int32_t width = 0, height = 0, bytesPerPixel = 0;
};

// Rectangle `r` of `plane` into `packed` (r.width() x r.height(), packed rows).
void copyRectOut(const void* plane, PlaneShape shape, const PageRect& r, void* packed) noexcept;
// `packed` (r.width() x r.height(), packed rows) into rectangle `r` of `plane`.
void copyRectIn(const void* packed, void* plane, PlaneShape shape, const PageRect& r) noexcept;
// Rectangle `r` of one plane into the same rectangle of another of the same shape.
void copyRectAcross(const void* from, void* to, PlaneShape shape, const PageRect& r) noexcept;

// Calls f(band, packedOffset) for successive bands of whole rows of `r`,
// each about 64 KB of the plane, where packedOffset is the band's first byte
// in a packed copy of `r`. Operations that make several copies of one
// rectangle run them band by band, so the rows one copy writes are still in
// the cache when the next copy reads them.
template <class F>
void forEachBand(const PageRect& r, std::int32_t bytesPerPixel, F&& f) {
    const std::size_t rowBytes = static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(bytesPerPixel);
    const std::int32_t rows = rowBytes >= 65536 ? 1 : static_cast<std::int32_t>(65536 / rowBytes);
    for (std::int32_t top = r.top; top <= r.bottom; top += rows) {
        const PageRect band{r.left, top, r.right, top + rows - 1 < r.bottom ? top + rows - 1 : r.bottom};
        f(band, static_cast<std::size_t>(top - r.top) * rowBytes);
    }
}

}  // namespace plr
