#include "adapters/imaging/drawing_fill.h"

#include <algorithm>
#include <cstring>

#include "adapters/imaging/drawing_fill_span.h"
#include "core/block.h"

namespace plr::imaging_lib {
namespace {

using fill_span::ColourTest;

bool validRaster(const void* p, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) noexcept {
    return p && w >= 0 && h >= 0 && (bpp == 3 || bpp == 4) && std::int64_t{stride} >= std::int64_t{w} * bpp;
}

bool insideRaster(std::int32_t w, std::int32_t h, std::int32_t x, std::int32_t y) noexcept {
    return x >= 0 && y >= 0 && x < w && y < h;
}

std::uint8_t* rowOf(void* pixels, std::int32_t stride, std::int32_t y) noexcept {
    return static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride;
}

// Writes the fill colour's red, green and blue; the fourth byte stays.
template <int Bpp>
struct PaintPixel {
    std::uint8_t r, g, b;
    void operator()(std::uint8_t* p) const noexcept {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// Fills in place: a filled pixel no longer matches, so the raster itself
// says what is done.
template <int Bpp>
struct InPlaceRows {
    std::uint8_t* base;
    std::int32_t stride;
    ColourTest<Bpp> test;
    PaintPixel<Bpp> paint;
    std::uint8_t* row = nullptr;
    void select(std::int32_t y) noexcept { row = base + std::int64_t{y} * stride; }
    bool inside(std::int32_t x) const noexcept { return test(row + std::int64_t{x} * Bpp); }
    void set(std::int32_t x) const noexcept { paint(row + std::int64_t{x} * Bpp); }
};

// Fills when the fill colour still matches: a visited bit a pixel.
template <int Bpp>
struct VisitedRows {
    std::uint8_t* base;
    std::int32_t stride;
    ColourTest<Bpp> test;
    PaintPixel<Bpp> paint;
    std::uint64_t* visited;
    std::size_t wordsPerRow;
    std::uint8_t* row = nullptr;
    std::uint64_t* bits = nullptr;
    void select(std::int32_t y) noexcept {
        row = base + std::int64_t{y} * stride;
        bits = visited + static_cast<std::size_t>(y) * wordsPerRow;
    }
    bool inside(std::int32_t x) const noexcept {
        return !(bits[x >> 6] >> (x & 63) & 1) && test(row + std::int64_t{x} * Bpp);
    }
    void set(std::int32_t x) const noexcept {
        bits[x >> 6] |= std::uint64_t{1} << (x & 63);
        paint(row + std::int64_t{x} * Bpp);
    }
};

// Marks the region in a byte map and leaves the raster alone.
template <int Bpp>
struct MapRows {
    const std::uint8_t* base;
    std::int32_t stride;
    ColourTest<Bpp> test;
    std::uint8_t* map;
    std::int32_t mapStride;
    const std::uint8_t* row = nullptr;
    std::uint8_t* marks = nullptr;
    void select(std::int32_t y) noexcept {
        row = base + std::int64_t{y} * stride;
        marks = map + std::int64_t{y} * mapStride;
    }
    bool inside(std::int32_t x) const noexcept { return !marks[x] && test(row + std::int64_t{x} * Bpp); }
    void set(std::int32_t x) const noexcept { marks[x] = 1; }
};

template <int Bpp>
ColourTest<Bpp> seedTest(const void* pixels, std::int32_t stride, std::int32_t x, std::int32_t y,
                         std::int32_t tolerance) noexcept {
    const std::uint8_t* p = static_cast<const std::uint8_t*>(pixels) + std::int64_t{y} * stride + std::int64_t{x} * Bpp;
    return ColourTest<Bpp>::of(p[0], p[1], p[2], tolerance);
}

template <int Bpp>
bool floodFill(void* pixels, std::int32_t w, std::int32_t h, std::int32_t stride, std::int32_t x, std::int32_t y,
               std::uint32_t colour, std::int32_t tolerance) noexcept {
    const ColourTest<Bpp> test = seedTest<Bpp>(pixels, stride, x, y, tolerance);
    const PaintPixel<Bpp> paint{std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16)};
    auto* base = static_cast<std::uint8_t*>(pixels);
    if (!test.matches(paint.r, paint.g, paint.b)) {
        InPlaceRows<Bpp> rows{base, stride, test, paint};
        return fill_span::fill(rows, w, h, x, y);
    }
    const std::size_t words = (static_cast<std::size_t>(w) + 63) / 64;
    Block<std::uint64_t> visited;
    if (!visited.allocate(words * static_cast<std::size_t>(h))) return false;
    std::memset(visited.data(), 0, visited.bytes());
    VisitedRows<Bpp> rows{base, stride, test, paint, visited.data(), words};
    return fill_span::fill(rows, w, h, x, y);
}

template <int Bpp>
void replaceColour(void* pixels, std::int32_t w, std::int32_t h, std::int32_t stride, std::uint32_t oldColour,
                   std::uint32_t newColour, std::int32_t tolerance, bool withAlpha) noexcept {
    const auto test = ColourTest<Bpp>::of(std::uint8_t(oldColour), std::uint8_t(oldColour >> 8),
                                          std::uint8_t(oldColour >> 16), tolerance);
    const std::uint8_t c[4] = {std::uint8_t(newColour), std::uint8_t(newColour >> 8), std::uint8_t(newColour >> 16),
                               std::uint8_t(newColour >> 24)};
    const int written = Bpp == 4 && withAlpha ? 4 : 3;
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* p = rowOf(pixels, stride, y);
        for (std::int32_t x = 0; x < w; ++x, p += Bpp)
            if (test(p)) std::memcpy(p, c, static_cast<std::size_t>(written));
    }
}

template <int Bpp>
bool matchMap(const void* pixels, std::int32_t w, std::int32_t h, std::int32_t stride, std::uint8_t* map,
              std::int32_t mapStride, std::int32_t x, std::int32_t y, bool connected, std::int32_t tolerance) noexcept {
    const ColourTest<Bpp> test = seedTest<Bpp>(pixels, stride, x, y, tolerance);
    const auto* base = static_cast<const std::uint8_t*>(pixels);
    for (std::int32_t r = 0; r < h; ++r) {
        std::uint8_t* marks = map + std::int64_t{r} * mapStride;
        if (connected) {
            std::memset(marks, 0, static_cast<std::size_t>(w));
            continue;
        }
        const std::uint8_t* p = base + std::int64_t{r} * stride;
        for (std::int32_t c = 0; c < w; ++c, p += Bpp) marks[c] = test(p) ? 1 : 0;
    }
    if (!connected) return true;
    MapRows<Bpp> rows{base, stride, test, map, mapStride};
    return fill_span::fill(rows, w, h, x, y);
}

}  // namespace

std::int32_t FloodFillImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::int32_t seedX, std::int32_t seedY, std::uint32_t colour,
                            std::int32_t tolerance) noexcept {
    if (!validRaster(pixels, width, height, bytesPerPixel, stride) || !insideRaster(width, height, seedX, seedY))
        return 0;
    const bool ok = bytesPerPixel == 4 ? floodFill<4>(pixels, width, height, stride, seedX, seedY, colour, tolerance)
                                       : floodFill<3>(pixels, width, height, stride, seedX, seedY, colour, tolerance);
    return ok ? 1 : 0;
}

std::int32_t ColorReplaceImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                               std::int32_t stride, std::uint32_t oldColour, std::uint32_t newColour,
                               std::int32_t tolerance, std::int32_t flags) noexcept {
    if (!validRaster(pixels, width, height, bytesPerPixel, stride)) return 0;
    if (flags != kReplaceColourOnly && flags != kReplaceWithAlpha) return 0;
    const bool withAlpha = flags == kReplaceWithAlpha;
    if (bytesPerPixel == 4)
        replaceColour<4>(pixels, width, height, stride, oldColour, newColour, tolerance, withAlpha);
    else
        replaceColour<3>(pixels, width, height, stride, oldColour, newColour, tolerance, withAlpha);
    return 1;
}

std::int32_t GetColorMatchMaskFromImage(const void* pixels, std::int32_t width, std::int32_t height,
                                        std::int32_t bytesPerPixel, std::int32_t stride, std::uint8_t* map,
                                        std::int32_t mapStride, std::int32_t seedX, std::int32_t seedY,
                                        std::int32_t connected, std::int32_t tolerance) noexcept {
    if (!validRaster(pixels, width, height, bytesPerPixel, stride) || !map || mapStride < width ||
        !insideRaster(width, height, seedX, seedY))
        return 0;
    const bool ok = bytesPerPixel == 4
                        ? matchMap<4>(pixels, width, height, stride, map, mapStride, seedX, seedY, connected != 0, tolerance)
                        : matchMap<3>(pixels, width, height, stride, map, mapStride, seedX, seedY, connected != 0, tolerance);
    return ok ? 1 : 0;
}

std::int32_t FillTransparentRectOnImage(void* pixels, std::int32_t width, std::int32_t height,
                                        std::int32_t bytesPerPixel, std::int32_t stride, std::int32_t left,
                                        std::int32_t top, std::int32_t right, std::int32_t bottom,
                                        std::uint32_t colour, double opacity) noexcept {
    const bool sizeOk = bytesPerPixel == 1 || bytesPerPixel == 3 || bytesPerPixel == 4;
    if (!pixels || width < 0 || height < 0 || !sizeOk || std::int64_t{stride} < std::int64_t{width} * bytesPerPixel)
        return 0;
    // NaN counts as 0: nothing laid over.
    const double o = opacity >= 1.0 ? 1.0 : opacity > 0.0 ? opacity : 0.0;
    const auto a = static_cast<std::uint32_t>(o * 256.0);
    const std::uint8_t c[4] = {std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16),
                               std::uint8_t(colour >> 24)};
    const std::int32_t x0 = std::max(left, 0), x1 = std::min(right, width - 1);
    const std::int32_t y0 = std::max(top, 0), y1 = std::min(bottom, height - 1);
    for (std::int32_t y = y0; y <= y1 && x0 <= x1; ++y) {
        std::uint8_t* p = rowOf(pixels, stride, y) + std::int64_t{x0} * bytesPerPixel;
        for (std::int32_t x = x0; x <= x1; ++x)
            for (std::int32_t k = 0; k < bytesPerPixel; ++k, ++p)
                *p = static_cast<std::uint8_t>((c[k] * a + *p * (256 - a)) >> 8);
    }
    return 1;
}

}  // namespace plr::imaging_lib
