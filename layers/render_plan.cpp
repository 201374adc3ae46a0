#include "layers/render_plan.h"

#include <algorithm>

#include "layers/page_layers.h"
#include "layers/blend_modes.h"
#include "mask/mask_overlay.h"

namespace plr::draw {

void buildDrawList(PageLayers& page, DrawList& list) noexcept {
    list.count = 0;
    list.background = false;
    const LayerRecord* paint =
        page.paintLayer.hasPixelsOfSize(page.width, page.height) ? &page.paintLayer : nullptr;
    // The records in drawing order; the current layer's index in it (or -1).
    const LayerRecord* order[kMaxEntries];
    int current = -1;
    for (std::int32_t i = 1; i < kLayerSlots; ++i) {
        const LayerRecord* l = page.pageLayer(i);
        if (l && l->visible && l->mode != kModeTexturize3) {
            if (i == 1) list.background = true;
            if (&page.layers[i] == page.currentLayer) current = list.count;
            order[list.count++] = l;
        }
        if (paint && &page.layers[i] == page.currentLayer) order[list.count++] = paint;
    }
    for (int k = 0; k < list.count; ++k) {
        const LayerRecord* l = order[k];
        Entry& e = list.entries[k];
        e.pixels = l->pixels.data();
        e.mode = l->mode;
        e.opacity = l->opacity;
        e.opaqueBackground = k == 0 && list.background;
        int next = k + 1;
        if (k == current && paint && next < list.count && order[next] == paint) ++next;
        e.mask = nullptr;
        if (next < list.count) {
            const LayerRecord* m = order[next];
            if (m->mode == kModeLayerMask && m->visible && m->hasPixels()) e.mask = m->pixels.data();
        }
    }
}

bool computeGeometry(const PageLayers& page, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     Geometry& g) noexcept {
    const View& v = page.view;
    // The origin moves onto the page; the size is cut at the page's right and
    // bottom edges (not shortened by the part left of or above the page).
    // The display extent is counted from this clipped origin.
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t w = std::min<std::int64_t>(width, page.width - x0);
    const std::int64_t h = std::min<std::int64_t>(height, page.height - y0);
    if (w <= 0 || h <= 0 || v.viewWidth <= 0 || v.viewHeight <= 0) return false;
    g.area = {static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), static_cast<std::int32_t>(x0 + w),
              static_cast<std::int32_t>(y0 + h)};

    std::int64_t cols = 0, rows = 0;
    if (static_cast<float>(v.scale) == v.zoom) {
        g.path = Path::OneToOne;
        cols = w;
        rows = h;
    } else if (static_cast<float>(v.scale) < v.zoom) {
        g.path = Path::Reduced;
        g.zoom = v.zoom;
        // Last display pixel truncate(size / zoom + origin - 1); NaN or no
        // room draws nothing, an unbounded one is cut by the view below.
        auto extent = [&](std::int64_t size, std::int64_t origin) -> std::int64_t {
            const float last = static_cast<float>(size) / v.zoom + static_cast<float>(origin) - 1.0f;
            if (!(last == last)) return 0;
            const float held = std::clamp(last, -2.0e9f, 2.0e9f);
            return static_cast<std::int64_t>(held) - origin + 1;
        };
        cols = extent(w, x0);
        rows = extent(h, y0);
    } else {
        // Magnified, NaN zoom included. A factor of 0 or less gives an empty
        // extent (and is never divided by).
        g.path = Path::Magnified;
        g.scale = v.scale;
        cols = w * v.scale;
        rows = h * v.scale;
    }
    cols = std::min<std::int64_t>(cols, v.viewWidth);
    rows = std::min<std::int64_t>(rows, v.viewHeight);
    if (cols <= 0 || rows <= 0) return false;
    g.columns = static_cast<std::int32_t>(cols);
    g.rows = static_cast<std::int32_t>(rows);
    return true;
}

std::int32_t reducedMaskRow(const Geometry& g, std::int32_t dy, std::int32_t pageHeight) noexcept {
    const float r = static_cast<float>(g.area.top) + static_cast<float>(dy) * g.zoom;
    if (!(r > 0.0f)) return 0;
    if (r >= static_cast<float>(pageHeight - 1)) return pageHeight - 1;
    return static_cast<std::int32_t>(r);
}

Finishing finishingOf(PageLayers& page, const Geometry& g) noexcept {
    Finishing f;
    if (page.tracingMode != 0 && page.traceLayer && page.traceLayer->hasPixelsOfSize(page.width, page.height))
        f.trace = page.traceLayer->pixels.data();
    if (page.mask.displayed) f.mask = page.maskIfEnabled();
    f.overlay = page.mask.overlay;
    f.openShowsPlain = g.path == Path::OneToOne;
    return f;
}

void finishPixel(const Finishing& f, const std::uint16_t composed[4], const std::uint16_t* tracePx, std::int32_t px,
                 std::int32_t py, std::uint16_t m, std::uint8_t* bgr) noexcept {
    std::uint32_t c[3] = {composed[0], composed[1], composed[2]};
    const std::uint32_t A = composed[3];
    if (tracePx)
        for (int i = 0; i < 3; ++i) c[i] = (c[i] + tracePx[i]) >> 1;
    if (A < 0xFFFF) {
        // 32 x 32 checkerboard behind transparency: light grey on odd cells, white on even.
        const std::uint32_t grey = (((px >> 5) + (py >> 5)) & 1) ? 0x9FFF : 0xFFFF;
        const std::uint32_t bg = grey * (0xFFFF - A) >> 8;
        for (std::uint32_t& v : c) v = (A * v / 256 + bg) >> 8;
    }
    if (f.mask) {
        const std::uint16_t v16[3] = {static_cast<std::uint16_t>(c[0]), static_cast<std::uint16_t>(c[1]),
                                      static_cast<std::uint16_t>(c[2])};
        std::uint8_t rgb[3];
        overlayPixel(f.overlay, m, v16, px >> 5, py >> 5, rgb, f.openShowsPlain);
        bgr[0] = rgb[2];
        bgr[1] = rgb[1];
        bgr[2] = rgb[0];
        return;
    }
    bgr[0] = static_cast<std::uint8_t>(c[2] >> 8);
    bgr[1] = static_cast<std::uint8_t>(c[1] >> 8);
    bgr[2] = static_cast<std::uint8_t>(c[0] >> 8);
}

}  // namespace plr::draw
