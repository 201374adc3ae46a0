#include "brush/grit_textures.h"

#include <algorithm>
#include <cstring>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/raster_grey.h"
#include "adapters/imaging/raster.h"
#include "brush/source_image.h"
#include "core/crt_random.h"
#include "core/failure.h"
#include "core/sizes.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

constexpr std::int32_t kCanvasSide = 600;
constexpr std::int32_t kGritMargin = 25;

// True when every texture has the page's size, so the walks below stay inside.
bool texturesReady(const PageBrush& page) noexcept {
    const std::uint64_t side = static_cast<std::uint64_t>(page.maxBrushSize) + kGritMargin;
    const std::size_t bytes = saturatingProduct(side, side);
    for (const auto& t : page.brush.gritTextures)
        if (t.empty() || t.size() != bytes) return false;
    return page.maxBrushSize > 0;
}

// Cursor over a random table that wraps at its end. The draws place cursors
// anywhere in the table, and a large cell can read past its end; wrapping
// keeps every read inside and changes nothing for reads that fit.
struct Cursor {
    const std::uint8_t* data;
    std::uint32_t length;
    std::uint32_t at;
    std::uint8_t next() noexcept {
        const std::uint8_t v = data[at];
        if (++at == length) at = 0;
        return v;
    }
};

// Copies the window of `grey` at (x, y), clipped to the picture, into the
// texture's top-left corner (row length maxBrushSize).
void copyWindow(const std::uint8_t* grey, std::int32_t w, std::int32_t h, std::int32_t x, std::int32_t y,
                std::int32_t edge, std::uint8_t* texture, std::int32_t maxBrushSize) {
    const std::int32_t cw = std::min(edge, w - x), ch = std::min(edge, h - y);
    if (cw <= 0 || ch <= 0) return;
    imaging_lib::OverlayImage(grey + std::size_t(y) * w + x, cw, ch, 1, w, texture, maxBrushSize, maxBrushSize,
                      maxBrushSize, 0, 0, 1.0);
}

std::int32_t windowOrigin(CrtRandom& rng, std::int32_t side, std::int32_t edge) {
    const int draw = rng.next();
    const std::int32_t room = side - edge;
    return room > 0 ? draw % room : 0;
}

void fillTexturesFromGrey(PageBrush& page, const std::uint8_t* grey, std::int32_t w, std::int32_t h, CrtRandom& rng) {
    const std::int32_t edge = effectiveBrushSize(page) + kGritMargin;
    for (auto& t : page.brush.gritTextures) {
        std::memset(t.data(), 255, t.size());
        const std::int32_t x = windowOrigin(rng, w, edge);
        const std::int32_t y = windowOrigin(rng, h, edge);
        copyWindow(grey, w, h, x, y, edge, t.data(), page.maxBrushSize);
    }
    page.brush.drawingCounter = page.brush.settings.drawingLength;
}

}  // namespace

std::int32_t effectiveBrushSize(const PageBrush& page) noexcept {
    return std::clamp(page.brush.settings.brushSize, 0, std::max(page.maxBrushSize, 0));
}

void generateGritTextures(PageBrush& page, CrtRandom& rng) {
    const std::int32_t n = page.brush.settings.gritCellSize;
    const RandomByteTable& ta = page.randomTables[0];
    const RandomByteTable& tb = page.randomTables[1];
    if (n < 1 || !texturesReady(page) || ta.data.empty() || tb.data.empty() || ta.length < 1 || tb.length < 1) return;
    const std::int32_t edge = effectiveBrushSize(page) + kGritMargin;
    const std::int32_t stride = page.maxBrushSize;
    const std::int32_t cellThreshold = page.brush.settings.gritCellThreshold;
    const std::int32_t pixelThreshold = page.brush.settings.gritPixelThreshold;
    // Window steps as the unsigned arithmetic of the table length gives them.
    const std::uint32_t stepA = (static_cast<std::uint32_t>(ta.length) - 2u * static_cast<std::uint32_t>(n)) / 32767u;
    const std::uint32_t stepB = (static_cast<std::uint32_t>(ta.length) - static_cast<std::uint32_t>(n)) / 32767u;
    for (int t = 0; t < kGritTextures; ++t) {
        page.brush.currentGrit = t;
        std::uint8_t* tex = page.brush.gritTextures[t].data();
        std::memset(tex, 255, page.brush.gritTextures[t].size());
        for (std::int64_t row = 0; row < edge; row += n) {
            const std::uint64_t offA = std::uint64_t(static_cast<std::uint32_t>(rng.next()) * stepA);
            const std::uint64_t offB = std::uint64_t(static_cast<std::uint32_t>(rng.next()) * stepB);
            Cursor a{ta.data.data(), static_cast<std::uint32_t>(ta.length), static_cast<std::uint32_t>(offA % ta.length)};
            Cursor b{tb.data.data(), static_cast<std::uint32_t>(tb.length), static_cast<std::uint32_t>(offB % tb.length)};
            const std::int64_t rows = std::min<std::int64_t>(n, edge - row);  // cells past the edge consume nothing
            for (std::int64_t col = 0; col < edge; col += n) {
                if (a.next() >= cellThreshold) continue;
                const std::uint8_t level = b.next();
                const std::int64_t cols = std::min<std::int64_t>(n, edge - col);
                for (std::int64_t i = 0; i < rows; ++i) {
                    std::uint8_t* line = tex + (row + i) * stride + col;
                    for (std::int64_t j = 0; j < cols; ++j)
                        if (a.next() < pixelThreshold) line[j] = level;
                }
            }
        }
    }
}

void gritTexturesFromSource(PageBrush& page, const char* path, CrtRandom& rng) {
    if (!texturesReady(page)) return;
    formats::RgbaImage source;
    const SourceRoute route = loadSourceImage(path, true, source);
    if (source.pixels.empty()) return;
    Block<std::uint8_t> grey;
    if (route == SourceRoute::Script) {
        // Tile the rendered script over the canvas.
        Block<std::uint8_t> canvas;
        need(canvas.allocate(std::size_t(kCanvasSide) * kCanvasSide * 4));
        std::memset(canvas.data(), 0, canvas.size());
        for (std::int32_t y = 0; y < kCanvasSide; y += source.height)
            for (std::int32_t x = 0; x < kCanvasSide; x += source.width)
                imaging_lib::OverlayImage(source.pixels.data(), source.width, source.height, 4, source.width * 4, canvas.data(),
                                  kCanvasSide, kCanvasSide, kCanvasSide * 4, x, y, 1.0);
        need(grey.allocate(std::size_t(kCanvasSide) * kCanvasSide));
        imaging_lib::ImageToGrayScale8Bit(canvas.data(), kCanvasSide, kCanvasSide, 4, kCanvasSide * 4, grey.data(), kCanvasSide, 0);
        fillTexturesFromGrey(page, grey.data(), kCanvasSide, kCanvasSide, rng);
        return;
    }
    need(grey.allocate(std::size_t(source.width) * source.height));
    imaging_lib::ImageToGrayScale8Bit(source.pixels.data(), source.width, source.height, 4, source.width * 4, grey.data(),
                              source.width, 0);
    fillTexturesFromGrey(page, grey.data(), source.width, source.height, rng);
}

}  // namespace plr
