#include "brush/dab_setup.h"

#include <algorithm>

#include "brush/engine_services.h"
#include "core/crt_random.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

std::uint32_t clamp16(std::int64_t v) noexcept {
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 65535));
}

// The brush planes hold what the sizes promise: a dab never reads past them.
bool brushPlanesFit(const PageBrush& page, const BrushSettings& s) noexcept {
    const std::int32_t mbs = page.maxBrushSize;
    if (page.width <= 0 || page.height <= 0 || mbs <= 0) return false;
    if (s.brushSize < 1 || s.brushSize > mbs || s.brushSize > kScaleTableLength) return false;
    if (s.scaledSize < 1 || s.scaledSize > s.brushSize) return false;
    const std::size_t square = static_cast<std::size_t>(mbs) * static_cast<std::size_t>(mbs);
    if (page.brush.shapePlane.size() < square || page.brush.mixingBuffer.size() < square * 4) return false;
    if (s.gritCellSize != 0) {
        const std::size_t gritSize = static_cast<std::size_t>(mbs + 25) * static_cast<std::size_t>(mbs + 25);
        for (const auto& g : page.brush.gritTextures)
            if (g.size() < gritSize) return false;
    }
    return true;
}

// A new grit texture once the drawing counter has run out: the texture draw
// repeats until it differs from the one in use, then row and column offsets.
void changeGrit(PageBrush& page, CrtRandom& rng) {
    BrushBuffers& b = page.brush;
    const BrushSettings& s = b.settings;
    if (s.gritCellSize == 0 || b.drawingCounter >= 1) return;
    std::int32_t t = 0;
    do {
        t = rng.next() % kGritTextures;
    } while (t == b.currentGrit);
    b.currentGrit = t;
    const std::int32_t row = rng.next() % 25;
    const std::int32_t column = rng.next() % 25;
    b.currentGritOffset = row * page.maxBrushSize + column;
    b.drawingCounter = s.drawingLength;
}

// Edge by edge, not a union: a frame clipped to nothing still moves the
// edges it reaches past, and the history and the paint layer depend on that.
void widen(Rect& r, const Rect& frame) noexcept {
    r.left = std::min(r.left, frame.left);
    r.top = std::min(r.top, frame.top);
    r.right = std::max(r.right, frame.right);
    r.bottom = std::max(r.bottom, frame.bottom);
}

std::int32_t toInt32(std::int64_t v) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

bool prepareDab(PageBrush& page, std::int32_t x, std::int32_t y, bool maskDab, DabFrame& f) {
    BrushBuffers& b = page.brush;
    const BrushSettings& s = b.settings;
    if (!brushPlanesFit(page, s)) return false;

    f = DabFrame{};
    if (maskDab) {
        if (page.mask.plane.size() != page.pixelCount()) return false;
        f.target = page.mask.plane.data();
        f.rowValues = page.width;
    } else if (page.paintLayer.hasPixelsOfSize(page.width, page.height)) {
        f.target = page.paintLayer.pixels.data();
        f.rowValues = page.rowValues;
        f.toPaintLayer = true;
    } else if (LayerRecord* l = page.currentPageLayer()) {
        f.target = l->pixels.data();
        f.rowValues = page.rowValues;
    } else {
        return false;
    }

    CrtRandom& rng = engineRandom();
    const Color16& c = b.dabColor;
    if (maskDab) {
        const std::uint32_t l = (std::uint32_t{c.red} + c.green + c.blue) / 3;
        std::int64_t vb = l < 256 ? 65535 : 65280 - static_cast<std::int64_t>(l);
        if (s.colorVary > 0) vb = clamp16(vb + std::int64_t{s.colorVary / 2 - rng.next() % s.colorVary} * 256);
        if (b.settings.eraseMode) vb = 65535;
        f.c0[0] = f.c0[1] = f.c0[2] = f.c0[3] = static_cast<std::uint32_t>(vb);
    } else {
        std::int64_t comp[4] = {c.red, c.green, c.blue, c.alpha};
        if (s.colorVary >= 1) {
            const std::int64_t v = std::int64_t{s.colorVary / 2 - rng.next() % s.colorVary} * 256;
            for (auto& q : comp) q = clamp16(q + v);
        }
        if (s.eraseMode) comp[0] = comp[1] = comp[2] = 65535, comp[3] = 0;
        for (int k = 0; k < 4; ++k) f.c0[k] = static_cast<std::uint32_t>(comp[k]);
    }
    changeGrit(page, rng);
    if (s.blendPrimaryStrength > 0)
        for (int k = 0; k < 4; ++k) f.primary[k] = static_cast<std::uint32_t>(s.blendPrimaryStrength) * f.c0[k];

    // Placement and clipping, in 64 bits: centres may lie anywhere.
    std::int64_t left = std::int64_t{x} - s.scaledSize / 2;
    std::int64_t top = std::int64_t{y} - s.scaledSize / 2;
    std::int64_t right = left + s.scaledSize;
    std::int64_t bottom = top + s.scaledSize;
    if (left < 0) {
        f.k0 = -left < s.scaledSize ? s.scaleTable[-left] : 0;
        left = 0;
    }
    if (top < 0) {
        f.j0 = static_cast<std::int32_t>(std::min<std::int64_t>(-top, s.scaledSize));
        top = 0;
    }
    right = std::min<std::int64_t>(right, page.width);
    bottom = std::min<std::int64_t>(bottom, page.height);
    f.area = {toInt32(left), toInt32(top), toInt32(right), toInt32(bottom)};
    widen(page.history.stroke, f.area);
    if (f.toPaintLayer) widen(page.paintLayer.bounds, f.area);

    f.half = s.brushSize / 2;
    f.maxBrushSize = page.maxBrushSize;
    f.brushRowValues = page.maxBrushSize * 4;
    f.shape = b.shapePlane.data();
    f.buffer = b.mixingBuffer.data();
    f.grit = s.gritCellSize != 0 ? b.gritTextures[b.currentGrit].data() + b.currentGritOffset : nullptr;
    f.texture = page.textureIfPresent();
    f.mask = maskDab ? nullptr : page.maskIfEnabled();
    f.bufferActive = s.blendStrength != 0 && !s.tempDisableBlend;
    f.alphaWritable = f.toPaintLayer || (page.currentLayer && !page.currentLayer->alphaLock && !s.alphaLocked &&
                                         page.currentLayerIndex > 1);
    return true;
}

}  // namespace plr
