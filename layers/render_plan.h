#pragma once
// What one render call draws: the draw list (visible slots bottom to top,
// the paint layer right above the current layer), the view geometry (which
// display pixels are drawn and which page pixel each one shows) and the
// finishing settings (tracing, mask overlay). Built once per call and shared
// by the plain reference and the fast paths, so both draw the same pixels.
#include <cstdint>

#include "core/rect.h"
#include "mask/mask_state.h"

namespace plr {

struct PageLayers;

namespace draw {

struct Entry {
    const std::uint16_t* pixels = nullptr;  // page-sized layer plane
    const std::uint16_t* mask = nullptr;    // the Layer Mask plane masking this entry, or null
    std::int32_t mode = 0;
    std::int32_t opacity = 256;
    bool opaqueBackground = false;  // slot 1 as the first entry: its alpha counts as 0xFFFF
};

constexpr int kMaxEntries = 65;  // 63 slots and the paint layer

struct DrawList {
    Entry entries[kMaxEntries];
    int count = 0;
    bool background = false;  // slot 1 made it into the list
};

// Slots 1..63 that have page-sized pixels, are visible and are not
// Texturize3, with the paint layer (when it has pixels) directly after the
// current layer's slot, visible or not. Each entry's Layer Mask is the next
// entry above (over the paint layer for the current layer) when that one is
// a visible "Layer Mask".
void buildDrawList(PageLayers& page, DrawList& list) noexcept;

enum class Path { OneToOne, Magnified, Reduced };

// Display pixels are counted from the clipped origin: display column dx
// (0 <= dx < columns) lands at bitmap + dy * stride + dx * 3.
struct Geometry {
    Path path = Path::OneToOne;
    std::int32_t scale = 1;  // magnified path: display pixels per page pixel (at least 1)
    float zoom = 1.0f;       // reduced path: page pixels per display pixel
    Rect area;  // the page pixels inside the rectangle; left, top: the clipped origin, first drawn
    std::int32_t columns = 0, rows = 0;     // display extent after the view-size cut
};

// False when nothing is drawn (rectangle outside the page, empty extent or
// view).
bool computeGeometry(const PageLayers& page, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     Geometry& g) noexcept;

// The reduced path's nearest-neighbour walk: starts at `start` and advances
// by truncate(carry + zoom) a step, carrying the fraction.
struct ReducedWalk {
    float zoom = 1.0f;
    float carry = 0.0f;
    std::int64_t position = 0;
    void step() noexcept {
        const float t = carry + zoom;
        // Far beyond any page: stop counting (and keep the conversion defined).
        const std::int64_t whole = t < 1048576.0f ? static_cast<std::int64_t>(t) : 1048576;
        carry = t - static_cast<float>(whole);
        position += whole;
    }
};

// The mask row of display row dy in the reduced path: truncate(y + dy * zoom),
// held inside the page.
std::int32_t reducedMaskRow(const Geometry& g, std::int32_t dy, std::int32_t pageHeight) noexcept;

// Tracing and mask overlay as the render applies them after composing.
struct Finishing {
    const std::uint16_t* trace = nullptr;  // trace layer plane when tracing is on
    const std::uint16_t* mask = nullptr;   // mask plane when the mask is displayed and enabled
    MaskOverlaySettings overlay;
    bool openShowsPlain = true;  // 1:1: a fully open mask pixel is drawn plainly
};
Finishing finishingOf(PageLayers& page, const Geometry& g) noexcept;

// The composed 16-bit pixel (R, G, B, A) after tracing, checkerboard and
// overlay, as blue, green, red bytes. (px, py) is the page pixel, m its mask
// value (ignored without an overlay).
void finishPixel(const Finishing& f, const std::uint16_t composed[4], const std::uint16_t* tracePx, std::int32_t px,
                 std::int32_t py, std::uint16_t m, std::uint8_t* bgr) noexcept;

}  // namespace draw
}  // namespace plr
