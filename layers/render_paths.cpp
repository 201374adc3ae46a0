// The render as it runs: every page pixel shown is composed once, a chunk
// of a page row at a time, entry by entry with vector kernels
// (render_kernel.h); then finished (tracing, checkerboard, overlay) and
// written. 1:1 writes the chunk as it is, the magnified path repeats each
// pixel `scale` times across and copies the display row down, the reduced
// path gathers the sampled pixels first (in strips, the next row fetched
// ahead). Transparent source pixels cost a test per vector; groups of eight
// pixels under an opaque Normal entry skip every entry below it; Layer Mask
// entries only mask. Same bytes as renderReference().
#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "core/parallel_rows.h"
#include "layers/page_layers.h"
#include "layers/blend_modes.h"
#include "layers/blend_pixel.h"
#include "layers/render.h"
#include "layers/render_chunk.h"
#include "layers/render_plan.h"

namespace plr {
namespace {

using namespace draw;

struct EntryPlan {
    const std::uint16_t* pixels = nullptr;
    const std::uint16_t* mask = nullptr;
    ChunkFn kernel = nullptr;
    KernelParams params;
    bool staged = false;  // stage 1 runs per pixel before the kernel (Layer Mask, alpha modes)
    bool opaqueBackground = false;
    bool covers = false;  // opaque pixels of this entry hide everything below them
    Stage1Settings settings;
};

struct Plan {
    EntryPlan entries[kMaxEntries];
    int count = 0;
};

void planEntries(const DrawList& list, std::uint16_t alphaLayerOpacity, Plan& plan) noexcept {
    plan.count = 0;
    for (int k = 0; k < list.count; ++k) {
        const Entry& e = list.entries[k];
        // A Layer Mask entry shows nothing itself (its alpha is always 0):
        // over a transparent result it clears what is already clear, over
        // anything else it is passed over. It only masks the entry below.
        if (e.mode == kModeLayerMask) continue;
        const BlendMode* info = blendModeInfo(e.mode);
        const std::int32_t m = info ? info->composeAs : e.mode;
        const std::int32_t formula = formulaOf(m);
        EntryPlan& p = plan.entries[plan.count++];
        p.pixels = e.pixels;
        p.mask = e.mask;
        p.staged = e.mask != nullptr || e.mode < 0 || e.mode > kModeUnused;
        p.opaqueBackground = e.opaqueBackground;
        p.settings = Stage1Settings{e.mode, e.mask != nullptr, e.opacity, false, alphaLayerOpacity};
        p.kernel = chunkKernel(formula);
        p.params.scaleAlpha = !p.staged && e.opacity < 255;
        p.params.opacityPlusOne = static_cast<float>(e.opacity + 1);
        p.params.forceOpaque = !p.staged && e.opaqueBackground;
        p.params.copyOpaque = m == kModeNormal;
        p.params.clears = clearsTransparent(m);
        p.params.first = plan.count == 1;
        p.covers = !p.staged && p.params.copyOpaque && !p.params.scaleAlpha && !p.params.forceOpaque;
    }
}

// Stage 1 per pixel into 16-bit effective pixels (alpha 0 where stage 1 skips the pixel).
void stage(const EntryPlan& p, const std::uint16_t* src, const std::uint16_t* mask, std::int32_t n,
           std::uint16_t* out) noexcept {
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint16_t px[4];
        std::memcpy(px, src + 4 * i, 8);
        if (p.opaqueBackground) px[3] = 0xFFFF;
        const SourcePixel s = stage1(px, mask ? mask + 4 * i : nullptr, p.settings);
        out[4 * i + 0] = static_cast<std::uint16_t>(s.r);
        out[4 * i + 1] = static_cast<std::uint16_t>(s.g);
        out[4 * i + 2] = static_cast<std::uint16_t>(s.b);
        out[4 * i + 3] = static_cast<std::uint16_t>(s.skip ? 0 : s.a);
    }
}

inline void gather(const std::uint16_t* row, const std::int32_t* cols, std::int32_t n, std::uint16_t* out) noexcept {
    for (std::int32_t i = 0; i < n; ++i) std::memcpy(out + 4 * i, row + 4 * static_cast<std::ptrdiff_t>(cols[i]), 8);
}

// Top down, the highest entry whose pixels cover each group of the chunk.
void findCover(const Plan& plan, std::size_t rowOffset, std::int32_t c0, std::int32_t n, Running& run) noexcept {
    const std::int32_t groups = (n + kGroup - 1) / kGroup;
    std::memset(run.cover, 0, sizeof(run.cover));
    for (int k = plan.count - 1; k >= 1; --k) {
        const EntryPlan& p = plan.entries[k];
        if (!p.covers) continue;
        const std::uint16_t* src = p.pixels + rowOffset + 4 * static_cast<std::ptrdiff_t>(c0);
        for (std::int32_t g = 0; g < groups; ++g) {
            if (run.cover[g] != 0) continue;
            const std::int32_t end = std::min(n, (g + 1) * kGroup);
            if (end - g * kGroup == kGroup) {
                // A whole group, 64 bytes, ANDed together in four registers:
                // all alphas are 0xFFFF exactly when both alpha words of the
                // result (16-bit lanes 3 and 7) are.
                const auto* v = reinterpret_cast<const __m128i*>(src + 4 * g * kGroup);
                const __m128i all = _mm_and_si128(_mm_and_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                                                  _mm_and_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
                const int ones = _mm_movemask_epi8(_mm_cmpeq_epi16(all, _mm_set1_epi16(-1)));
                if ((ones & 0xC0C0) == 0xC0C0) {
                    run.cover[g] = static_cast<std::uint8_t>(k);
                    run.useCover = true;
                }
                continue;
            }
            // The pixels as 64-bit words ANDed together: all alphas are 0xFFFF
            // exactly when the top 16 bits of the result are.
            std::uint64_t all = ~std::uint64_t{0};
            for (std::int32_t i = g * kGroup; i < end; ++i) {
                std::uint64_t v;
                std::memcpy(&v, src + 4 * i, 8);
                all &= v;
            }
            if ((all >> 48) == 0xFFFF) {
                run.cover[g] = static_cast<std::uint8_t>(k);
                run.useCover = true;
            }
        }
    }
}

// Scratch of one chunk; lives on the stack of the render call.
struct ChunkWork {
    Running run;
    alignas(32) std::uint16_t source[4 * kChunk];
    alignas(32) std::uint16_t maskPixels[4 * kChunk];
    alignas(32) std::uint16_t staged[4 * kChunk];
    alignas(32) std::uint16_t composed[4 * kChunk];
    std::uint8_t bytes[3 * kChunk + 1];  // one spare byte for the last four-byte store
};

// Composes n page pixels of row py: columns c0.. (cols null) or cols[0..n).
// aheadOffset: where the chunk composed next starts in every entry's pixels
// (-1: none, or not contiguous), asked for while this one is composed.
void composeChunk(const Plan& plan, std::size_t rowOffset, std::int32_t c0, const std::int32_t* cols,
                  std::int32_t n, std::ptrdiff_t aheadOffset, ChunkWork& w) noexcept {
    if (plan.count == 0)
        for (auto& channel : w.run.c) std::memset(channel, 0, sizeof(channel));
    w.run.useCover = false;
    if (!cols && plan.count > 1) findCover(plan, rowOffset, c0, n, w.run);
    for (int k = 0; k < plan.count; ++k) {
        const EntryPlan& p = plan.entries[k];
        const std::uint16_t* row = p.pixels + rowOffset;
        const std::uint16_t* src = row + 4 * static_cast<std::ptrdiff_t>(c0);
        if (cols) {
            gather(row, cols, n, w.source);
            src = w.source;
        }
        if (p.staged) {
            const std::uint16_t* mask = nullptr;
            if (p.mask) {
                const std::uint16_t* maskRow = p.mask + rowOffset;
                mask = maskRow + 4 * static_cast<std::ptrdiff_t>(c0);
                if (cols) {
                    gather(maskRow, cols, n, w.maskPixels);
                    mask = w.maskPixels;
                }
            }
            stage(p, src, mask, n, w.staged);
            src = w.staged;
        }
        p.kernel(src, n, p.params, w.run, k, aheadOffset < 0 ? nullptr : p.pixels + aheadOffset);
    }
}

// The 16-bit composed pixels of the chunk: colour x 65280, alpha x 65535,
// each truncated toward zero.
void composedPixels(std::int32_t n, ChunkWork& w) noexcept {
    for (std::int32_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c)
            w.composed[4 * i + c] = static_cast<std::uint16_t>(static_cast<std::int32_t>(w.run.c[c][i] * kColourScale));
        w.composed[4 * i + 3] = static_cast<std::uint16_t>(static_cast<std::int32_t>(w.run.c[3][i] * kAlphaScale));
    }
}

// True when every pixel of the chunk came out exactly opaque.
bool allOpaque(std::int32_t n, const ChunkWork& w) noexcept {
    int other = 0;
    for (std::int32_t i = 0; i < n; ++i) other |= w.run.c[3][i] != 1.0f;
    return other == 0;
}

// Finishes n composed pixels of page row py into w.bytes.
void finishChunk(const PageLayers& page, const Finishing& f, std::int32_t py, std::int32_t maskRow, std::int32_t c0,
                 const std::int32_t* cols, std::int32_t n, ChunkWork& w) noexcept {
    if (!f.trace && !f.mask && allOpaque(n, w)) {
        // The common case: opaque, no tracing, no overlay: each byte is the
        // channel's high byte. Blue, green, red packed into one word a pixel,
        // stored four bytes at a time, each store overlapping the next pixel.
        alignas(32) std::uint32_t words[kChunk];
        for (std::int32_t i = 0; i < n; ++i) {
            const auto r = static_cast<std::uint32_t>(static_cast<std::int32_t>(w.run.c[0][i] * kColourScale));
            const auto g = static_cast<std::uint32_t>(static_cast<std::int32_t>(w.run.c[1][i] * kColourScale));
            const auto b = static_cast<std::uint32_t>(static_cast<std::int32_t>(w.run.c[2][i] * kColourScale));
            words[i] = (b >> 8) | (g & 0xFF00) | ((r & 0xFF00) << 8);
        }
        // Four pixels (twelve bytes) a step as one eight- and one four-byte
        // store, the words shifted together; the rest one pixel at a time.
        std::int32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const std::uint64_t low = words[i] | std::uint64_t{words[i + 1]} << 24 | std::uint64_t{words[i + 2]} << 48;
            const std::uint32_t high = words[i + 2] >> 16 | words[i + 3] << 8;
            std::memcpy(w.bytes + 3 * i, &low, 8);
            std::memcpy(w.bytes + 3 * i + 8, &high, 4);
        }
        for (; i < n; ++i) std::memcpy(w.bytes + 3 * i, &words[i], 4);
        return;
    }
    composedPixels(n, w);
    const std::size_t pageRow = static_cast<std::size_t>(py) * static_cast<std::size_t>(page.width);
    const std::size_t maskRowAt = static_cast<std::size_t>(maskRow) * static_cast<std::size_t>(page.width);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t px = cols ? cols[i] : c0 + i;
        finishPixel(f, w.composed + 4 * i, f.trace ? f.trace + 4 * (pageRow + px) : nullptr, px, py,
                    f.mask ? f.mask[maskRowAt + px] : 0, w.bytes + 3 * i);
    }
}

struct Target {
    std::uint8_t* bitmap;
    std::int32_t stride;
    std::uint8_t* row(std::int32_t dy) const noexcept { return bitmap + static_cast<std::ptrdiff_t>(dy) * stride; }
};

// 1:1 and magnified: page columns [first, end) of row py go to display
// row dy; with a factor each page pixel covers `scale` display columns,
// cut at the display extent.
void drawContiguousRow(const PageLayers& page, const Plan& plan, const Finishing& f, const Geometry& g, const Target& t,
                       std::int32_t dy, std::int32_t py, std::int32_t first, std::int32_t end, ChunkWork& w) noexcept {
    const std::size_t rowOffset = static_cast<std::size_t>(py) * static_cast<std::size_t>(page.rowValues);
    std::uint8_t* out = t.row(dy);
    for (std::int32_t c0 = first; c0 < end; c0 += kChunk) {
        const std::int32_t n = std::min(kChunk, end - c0);
        // The next chunk of the row, or the start of the next page row (the
        // band's rows follow one another): every entry's pixels there are
        // asked for while this chunk is composed. The entries are as many
        // streams through memory as there are layers.
        const std::ptrdiff_t ahead = c0 + n < end ? static_cast<std::ptrdiff_t>(rowOffset) + 4 * (c0 + n)
                                     : py + 1 < g.area.bottom
                                         ? static_cast<std::ptrdiff_t>(rowOffset + page.rowValues) + 4 * first
                                         : -1;
        composeChunk(plan, rowOffset, c0, nullptr, n, ahead, w);
        finishChunk(page, f, py, py, c0, nullptr, n, w);
        if (g.path == Path::OneToOne) {
            std::memcpy(out + static_cast<std::ptrdiff_t>(c0 - g.area.left) * 3, w.bytes, static_cast<std::size_t>(n) * 3);
            continue;
        }
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int64_t d0 = static_cast<std::int64_t>(c0 + i - g.area.left) * g.scale;
            const std::int64_t d1 = std::min<std::int64_t>(d0 + g.scale, g.columns);
            std::uint8_t* q = out + d0 * 3;
            for (std::int64_t d = d0; d < d1; ++d, q += 3) std::memcpy(q, w.bytes + 3 * i, 3);
        }
    }
}

// Page rows [r0, r1) of the area, counted from its top; each fills its
// `scale` display rows (the last cut at the extent).
void drawOneToOneOrMagnified(const PageLayers& page, const Plan& plan, const Finishing& f, const Geometry& g,
                             const Target& t, std::int32_t r0, std::int32_t r1, ChunkWork& w) noexcept {
    const std::int32_t scale = g.path == Path::Magnified ? g.scale : 1;
    // Page columns shown: those whose first display column lies inside the extent.
    const std::int64_t shown = (static_cast<std::int64_t>(g.columns) + scale - 1) / scale;
    const std::int32_t end = static_cast<std::int32_t>(std::min<std::int64_t>(g.area.right, g.area.left + shown));
    for (std::int32_t r = r0; r < r1; ++r) {
        const std::int32_t py = g.area.top + r;
        // Display rows of this page row: [dy, next).
        const std::int64_t dy64 = static_cast<std::int64_t>(r) * scale;
        const auto dy = static_cast<std::int32_t>(dy64);
        const auto next = static_cast<std::int32_t>(std::min<std::int64_t>(dy64 + scale, g.rows));
        drawContiguousRow(page, plan, f, g, t, dy, py, g.area.left, end, w);
        for (std::int32_t d = dy + 1; d < next; ++d)
            std::memmove(t.row(d), t.row(dy), static_cast<std::size_t>(g.columns) * 3);  // rows of a narrow bitmap may overlap
    }
}

// The sampled pixels of a row are scattered over the page row: ask for the
// next display row's while this one is composed.
void prefetchSamples(const Plan& plan, std::size_t rowOffset, const std::int32_t* cols, std::int32_t n) noexcept {
    for (int k = 0; k < plan.count; ++k) {
        const EntryPlan& p = plan.entries[k];
        const std::uint16_t* row = p.pixels + rowOffset;
        const std::uint16_t* maskRow = p.mask ? p.mask + rowOffset : nullptr;
        for (std::int32_t i = 0; i < n; ++i) {
            __builtin_prefetch(row + 4 * static_cast<std::ptrdiff_t>(cols[i]));
            if (maskRow) __builtin_prefetch(maskRow + 4 * static_cast<std::ptrdiff_t>(cols[i]));
        }
    }
}

// Display rows [dy0, dy1): every strip's row walk starts at the top and is
// stepped to dy0 (the walk carries a fraction, so only stepping gives the
// same rows as one pass).
void drawReduced(const PageLayers& page, const Plan& plan, const Finishing& f, const Geometry& g, const Target& t,
                 std::int32_t dy0, std::int32_t dy1, ChunkWork& w) noexcept {
    ReducedWalk colWalk{g.zoom, 0.0f, g.area.left};
    // Strips of up to kStripColumns display columns (one strip for any
    // common view), row by row: the sampled columns are walked once per
    // strip, and each row reads whole stretches of the page rows.
    constexpr std::int32_t kStripColumns = 4096;
    static thread_local std::int32_t cols[kStripColumns];
    auto pageRow = [&](std::int64_t py) { return static_cast<std::int32_t>(py < g.area.bottom ? py : g.area.bottom - 1); };
    for (std::int32_t dx0 = 0; dx0 < g.columns; dx0 += kStripColumns) {
        const std::int32_t strip = std::min(kStripColumns, g.columns - dx0);
        for (std::int32_t i = 0; i < strip; ++i) {
            const std::int64_t px = colWalk.position;
            colWalk.step();
            cols[i] = static_cast<std::int32_t>(px < g.area.right ? px : g.area.right - 1);
        }
        ReducedWalk rowWalk{g.zoom, 0.0f, g.area.top};
        for (std::int32_t dy = 0; dy < dy0; ++dy) rowWalk.step();
        for (std::int32_t dy = dy0; dy < dy1; ++dy) {
            const std::int64_t py = rowWalk.position;
            rowWalk.step();
            if (dy + 1 < dy1)
                prefetchSamples(plan, static_cast<std::size_t>(pageRow(rowWalk.position)) * page.rowValues, cols, strip);
            const std::int32_t iy = pageRow(py);
            const std::size_t rowOffset = static_cast<std::size_t>(iy) * static_cast<std::size_t>(page.rowValues);
            const std::int32_t maskRow = reducedMaskRow(g, dy, page.height);
            for (std::int32_t c = 0; c < strip; c += kChunk) {
                const std::int32_t n = std::min(kChunk, strip - c);
                composeChunk(plan, rowOffset, 0, cols + c, n, -1, w);
                finishChunk(page, f, iy, maskRow, 0, cols + c, n, w);
                std::memcpy(t.row(dy) + static_cast<std::ptrdiff_t>(dx0 + c) * 3, w.bytes, static_cast<std::size_t>(n) * 3);
            }
        }
    }
}

}  // namespace

void render(PageLayers& page, std::uint8_t* bitmap, std::int32_t stride, std::int32_t x, std::int32_t y,
            std::int32_t width, std::int32_t height) noexcept {
    if (!bitmap || !page.currentPageLayer()) return;
    Geometry g;
    if (!computeGeometry(page, x, y, width, height, g)) return;
    DrawList list;
    buildDrawList(page, list);
    Plan plan;
    planEntries(list, page.alphaLayerOpacity, plan);
    const Finishing f = finishingOf(page, g);
    const Target t{bitmap, stride};
    // Bands of display rows (1:1 and magnified: of page rows, each with the
    // display rows it fills) on the engine's threads; each thread composes
    // in its own scratch, about 13 KB kept off the host's stack.
    const std::int32_t minRows = 1 + 16384 / g.columns;
    if (g.path == Path::Reduced) {
        parallelRows(g.rows, minRows, [&](std::int32_t y0, std::int32_t y1) {
            static thread_local ChunkWork work;
            drawReduced(page, plan, f, g, t, y0, y1, work);
        });
        return;
    }
    const std::int32_t scale = g.path == Path::Magnified ? g.scale : 1;
    const auto pageRows = static_cast<std::int32_t>((static_cast<std::int64_t>(g.rows) + scale - 1) / scale);
    parallelRows(pageRows, minRows, [&](std::int32_t r0, std::int32_t r1) {
        static thread_local ChunkWork work;
        drawOneToOneOrMagnified(page, plan, f, g, t, r0, r1, work);
    });
}

}  // namespace plr
