// Whole-page geometry. Flips, turns, crops, canvas changes and resamples
// work on the layers' own 16-bit planes (the imaging library takes 8-byte
// pixels), so moving pixels around never drops the low byte of a channel;
// seam carving, whose energy is measured on bytes, goes through RGBA32. Each
// new plane is allocated before the old one is let go: a failure leaves the
// layer at hand whole.
#include "engine/page_geometry.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "adapters/imaging/filter_kernels.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_resize.h"
#include "adapters/imaging/seam_carve.h"
#include "core/failure.h"
#include "core/saturate.h"
#include "engine/page.h"
#include "history/history.h"
#include "layers/layer_read.h"

namespace plr {
namespace {

constexpr std::int32_t kPixelBytes = 8;  // one RGBA64 layer pixel

bool validSide(std::int32_t side) noexcept { return side >= 1 && side <= kMaxPageSide; }

std::int32_t highestLayerInUse(const Page& page) noexcept {
    for (std::int32_t i = kLayerSlots - 1; i >= 1; --i)
        if (page.layers[i].hasPixels()) return i;
    return 0;
}

// A plane for a width x height layer, giving the history's snapshots back
// while that helps, as layer creation does.
Block<std::uint16_t> newPlane(Page& page, std::int32_t width, std::int32_t height) {
    Block<std::uint16_t> plane;
    const std::size_t values = std::size_t(width) * std::size_t(height) * 4;
    const auto kb = static_cast<std::int32_t>(std::int64_t{width} * height * kPixelBytes / 1024);
    while (!plane.allocate(values)) {
        if (!page.history.entries[0].occupied() || reduceUndoForAllocation(page, kb) == 0) fail("layer plane");
    }
    return plane;
}

void adopt(LayerRecord& layer, Block<std::uint16_t>&& plane, std::int32_t width, std::int32_t height) noexcept {
    layer.pixels = std::move(plane);
    layer.width = width;
    layer.height = height;
    layer.rowValues = width * 4;
}

// Calls `make(layer, index, plane)` for every page-sized layer in use with a
// fresh width x height plane; when it answers true the plane becomes the
// layer's. Layers of another size (already changed, waiting for the page's
// new size) are left alone.
template <class Make>
void rebuildLayers(Page& page, std::int32_t width, std::int32_t height, Make make) {
    if (!validSide(width) || !validSide(height)) fail("size");
    if (page.pixelCount() == 0) return;
    const std::int32_t top = highestLayerInUse(page);
    for (std::int32_t i = 1; i <= top; ++i) {
        LayerRecord* layer = page.pageLayer(i);
        if (!layer) continue;
        Block<std::uint16_t> plane = newPlane(page, width, height);
        if (make(*layer, i, plane.data())) adopt(*layer, std::move(plane), width, height);
    }
}

std::int32_t pageStride(const Page& page) noexcept { return page.width * kPixelBytes; }

// The eighteen resampling methods by name, each with its library call.
using Resample = std::int32_t (*)(const void*, std::int32_t, std::int32_t, std::int32_t, void*, std::int32_t,
                                  std::int32_t, std::int32_t, std::int32_t, std::int32_t) noexcept;
struct ResizeMethod {
    const char* name;
    Resample call;
    std::int32_t extra;  // the call's last argument
};

std::int32_t simpleResample(const void* s, std::int32_t w, std::int32_t h, std::int32_t ss, void* d, std::int32_t dw,
                            std::int32_t dh, std::int32_t ds, std::int32_t bpp, std::int32_t) noexcept {
    return imaging_lib::SimpleResampleImage(s, w, h, ss, d, dw, dh, ds, bpp);
}
std::int32_t bilinear(const void* s, std::int32_t w, std::int32_t h, std::int32_t ss, void* d, std::int32_t dw,
                      std::int32_t dh, std::int32_t ds, std::int32_t bpp, std::int32_t) noexcept {
    return imaging_lib::ResizeImage(s, w, h, ss, d, dw, dh, ds, bpp);
}
std::int32_t bicubic(const void* s, std::int32_t w, std::int32_t h, std::int32_t ss, void* d, std::int32_t dw,
                     std::int32_t dh, std::int32_t ds, std::int32_t bpp, std::int32_t) noexcept {
    return imaging_lib::ResizeImageBicubic(s, w, h, ss, d, dw, dh, ds, bpp);
}

constexpr int kResizeMethodCount = 4 + imaging_lib::kFilterKernelCount;

// "Area Average", "Nearest Neighbor", "Bilinear", "Bicubic", then the kernel
// table's fourteen names with their filter numbers.
std::array<ResizeMethod, kResizeMethodCount> buildResizeMethods() noexcept {
    std::array<ResizeMethod, kResizeMethodCount> methods{{
        {"Area Average", imaging_lib::DecimateImage, 1},
        {"Nearest Neighbor", simpleResample, 0},
        {"Bilinear", bilinear, 0},
        {"Bicubic", bicubic, 0},
    }};
    for (std::int32_t f = 0; f < imaging_lib::kFilterKernelCount; ++f)
        methods[std::size_t(4 + f)] = {imaging_lib::kFilterKernels[f].name, imaging_lib::ResizeFilterImage, f};
    return methods;
}

const ResizeMethod* findResizeMethod(const char* name) noexcept {
    static const std::array<ResizeMethod, kResizeMethodCount> kMethods = buildResizeMethods();
    if (!name) return nullptr;
    for (const ResizeMethod& m : kMethods)
        if (std::strcmp(m.name, name) == 0) return &m;
    return nullptr;
}

// The anchors: which fraction of the size difference each axis takes
// (0 none, 1 half, 2 all), by letter.
struct AnchorShare {
    char letter;
    int share;
};
constexpr AnchorShare kRowShares[] = {{'T', 0}, {'M', 1}, {'B', 2}};
constexpr AnchorShare kColumnShares[] = {{'L', 0}, {'C', 1}, {'R', 2}};

int shareOf(const AnchorShare (&table)[3], char letter) noexcept {
    for (const AnchorShare& s : table)
        if (s.letter == letter) return s.share;
    return -1;
}

std::int32_t placed(int share, std::int32_t oldSide, std::int32_t newSide) noexcept {
    // Worked wide: the new side is the host's, checked only after this.
    const std::int32_t difference = saturate32(std::int64_t{newSide} - oldSide);
    return share == 0 ? 0 : share == 1 ? difference / 2 : difference;  // / truncates toward zero
}

void widen(const std::uint8_t* rgba, std::uint16_t* plane, std::size_t values) noexcept {
    for (std::size_t i = 0; i < values; ++i) plane[i] = static_cast<std::uint16_t>(rgba[i] << 8);
}

}  // namespace

CanvasOffset canvasOffset(const char* anchor, std::int32_t oldWidth, std::int32_t oldHeight, std::int32_t newWidth,
                          std::int32_t newHeight) noexcept {
    if (!anchor || std::strlen(anchor) != 2) return {0, 0};
    const int row = shareOf(kRowShares, anchor[0]), column = shareOf(kColumnShares, anchor[1]);
    if (row < 0 || column < 0) return {0, 0};
    return {placed(column, oldWidth, newWidth), placed(row, oldHeight, newHeight)};
}

void flipPage(Page& page, bool horizontal) {
    if (page.pixelCount() == 0) return;
    const std::int32_t top = highestLayerInUse(page);
    for (std::int32_t i = 1; i <= top; ++i) {
        LayerRecord* layer = page.pageLayer(i);
        if (!layer) continue;
        if (horizontal)
            imaging_lib::HorizontalFlipImage(layer->pixels.data(), page.width, page.height, kPixelBytes,
                                             pageStride(page));
        else
            imaging_lib::VerticalFlipImage(layer->pixels.data(), pageStride(page), page.height);
    }
}

void rotatePage(Page& page, bool left) {
    const std::int32_t w = page.width, h = page.height;
    rebuildLayers(page, h, w, [&](LayerRecord& layer, std::int32_t, std::uint16_t* plane) {
        return imaging_lib::QuickRotateImage(layer.pixels.data(), w, h, pageStride(page), plane, h * kPixelBytes,
                                             left ? 2 : 0, kPixelBytes) != 0;
    });
}

void cropPage(Page& page, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (left < 0 || top < 0 || right > page.width || bottom > page.height || left >= right || top >= bottom)
        fail("crop rectangle");
    const imaging_lib::LibRect rect{left, top, right, bottom};
    const std::int32_t w = right - left;
    rebuildLayers(page, w, bottom - top, [&](LayerRecord& layer, std::int32_t, std::uint16_t* plane) {
        return imaging_lib::CropImage(layer.pixels.data(), page.width, page.height, pageStride(page), plane,
                                      w * kPixelBytes, &rect, kPixelBytes) != 0;
    });
}

void resizePage(Page& page, std::int32_t width, std::int32_t height, const char* method) {
    const ResizeMethod* m = findResizeMethod(method);
    if (!m) return;
    rebuildLayers(page, width, height, [&](LayerRecord& layer, std::int32_t, std::uint16_t* plane) {
        return m->call(layer.pixels.data(), page.width, page.height, pageStride(page), plane, width, height,
                       width * kPixelBytes, kPixelBytes, m->extra) != 0;
    });
}

void resizeCanvas(Page& page, std::int32_t width, std::int32_t height, const char* anchor, std::int32_t red,
                  std::int32_t green, std::int32_t blue) {
    const CanvasOffset at = canvasOffset(anchor, page.width, page.height, width, height);
    // Layer 1's margins: the colour, opaque, by the 8-to-16-bit rule.
    const std::uint16_t colour[4] = {static_cast<std::uint16_t>((red & 0xFF) << 8),
                                     static_cast<std::uint16_t>((green & 0xFF) << 8),
                                     static_cast<std::uint16_t>((blue & 0xFF) << 8), 0xFF00};
    rebuildLayers(page, width, height, [&](LayerRecord& layer, std::int32_t index, std::uint16_t* plane) {
        const std::size_t pixels = std::size_t(width) * std::size_t(height);
        if (index == 1)
            for (std::size_t p = 0; p < pixels; ++p) std::memcpy(plane + p * 4, colour, sizeof colour);
        else
            std::memset(plane, 0, pixels * kPixelBytes);
        return imaging_lib::OverlayImage40(plane, width, height, kPixelBytes, width * kPixelBytes,
                                           layer.pixels.data(), page.width, page.height, pageStride(page), at.x,
                                           at.y, 1.0, 0, 0, 0) != 0;
    });
}

void seamCarvePage(Page& page, std::int32_t width, std::int32_t height) {
    if (!validSide(width) || !validSide(height)) fail("size");
    if (page.pixelCount() == 0) return;
    // Work copies as RGBA32, allocated once for every layer.
    Block<std::uint8_t> work, result;
    need(work.allocate(page.pixelCount() * 4));
    need(result.allocate(std::size_t(width) * std::size_t(height) * 4));
    const std::uint16_t* guide = page.maskIfEnabled();
    const std::int32_t rows = std::min(height, page.height);
    rebuildLayers(page, width, height, [&](LayerRecord& layer, std::int32_t, std::uint16_t* plane) {
        if (!readRGBA32(page, &layer, work.data(), page.width * 4)) return false;
        // Rows below the carved ones (a taller layer) stay transparent.
        std::memset(result.data(), 0, result.size());
        if (!imaging_lib::SeamCarve(work.data(), page.width, rows, 4, page.width * 4, guide, guide ? page.width : 0,
                                    result.data(), width * 4, width - page.width, 1000, 1))
            return false;
        widen(result.data(), plane, result.size());
        return true;
    });
}

}  // namespace plr
