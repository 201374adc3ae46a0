// The render one display pixel at a time, in plain steps: find the page
// pixel, compose the draw list over it with the blend operation's per-pixel
// rules on a float running result, then tracing, checkerboard, overlay.
// Slow on purpose; the fast paths (render_paths.cpp) must match it byte for
// byte.
#include <cstring>

#include "core/packed_pixels.h"
#include "layers/page_layers.h"
#include "layers/blend_pixel.h"
#include "layers/layer_merge.h"
#include "layers/render.h"
#include "layers/render_plan.h"

namespace plr {
namespace {

using draw::DrawList;
using draw::Geometry;
using draw::Path;

// One page pixel composed over the whole list: 16-bit R, G, B, A.
void composeAt(const PageLayers& page, const DrawList& list, std::int32_t px, std::int32_t py, std::uint16_t out[4]) noexcept {
    const std::size_t at = (static_cast<std::size_t>(py) * static_cast<std::size_t>(page.width) + px) * 4;
    ComposedPixel running{{0.0f, 0.0f, 0.0f}, 0.0f};
    for (int k = 0; k < list.count; ++k) {
        const draw::Entry& e = list.entries[k];
        std::uint16_t px4[4];
        std::memcpy(px4, e.pixels + at, 8);
        if (e.opaqueBackground) px4[3] = 0xFFFF;
        const Stage1Settings st{e.mode, e.mask != nullptr, e.opacity, false, page.alphaLayerOpacity};
        const SourcePixel p = stage1(px4, e.mask ? e.mask + at : nullptr, st);
        if (p.skip) continue;
        stage2Float(p, running);
    }
    for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(running.c[c] * kColourScale));
    out[3] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(running.a * kAlphaScale));
}

}  // namespace

void renderReference(PageLayers& page, std::uint8_t* bitmap, std::int32_t stride, std::int32_t x, std::int32_t y,
                     std::int32_t width, std::int32_t height) noexcept {
    if (!bitmap || !page.currentPageLayer()) return;
    Geometry g;
    if (!draw::computeGeometry(page, x, y, width, height, g)) return;
    DrawList list;
    draw::buildDrawList(page, list);
    const draw::Finishing f = draw::finishingOf(page, g);

    draw::ReducedWalk rowWalk{g.zoom, 0.0f, g.area.top};
    for (std::int32_t dy = 0; dy < g.rows; ++dy) {
        std::int64_t py;
        std::int32_t maskRow;
        if (g.path == Path::Reduced) {
            py = rowWalk.position;
            rowWalk.step();
            if (py >= g.area.bottom) py = g.area.bottom - 1;
            maskRow = draw::reducedMaskRow(g, dy, page.height);
        } else {
            py = g.area.top + (g.path == Path::Magnified ? dy / g.scale : dy);
            maskRow = static_cast<std::int32_t>(py);
        }
        std::uint8_t* row = bitmap + static_cast<std::ptrdiff_t>(dy) * stride;
        draw::ReducedWalk colWalk{g.zoom, 0.0f, g.area.left};
        for (std::int32_t dx = 0; dx < g.columns; ++dx) {
            std::int64_t px;
            if (g.path == Path::Reduced) {
                px = colWalk.position;
                colWalk.step();
                if (px >= g.area.right) px = g.area.right - 1;
            } else {
                px = g.area.left + (g.path == Path::Magnified ? dx / g.scale : dx);
            }
            const auto ix = static_cast<std::int32_t>(px), iy = static_cast<std::int32_t>(py);
            std::uint16_t composed[4];
            composeAt(page, list, ix, iy, composed);
            const std::size_t at = static_cast<std::size_t>(iy) * static_cast<std::size_t>(page.width) + ix;
            const std::size_t maskAt = static_cast<std::size_t>(maskRow) * static_cast<std::size_t>(page.width) + ix;
            draw::finishPixel(f, composed, f.trace ? f.trace + 4 * at : nullptr, ix, iy, f.mask ? f.mask[maskAt] : 0,
                                row + static_cast<std::ptrdiff_t>(dx) * 3);
        }
    }
}

}  // namespace plr
