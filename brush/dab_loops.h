#pragma once
// The dab's row-and-pixel loops over a prepared frame.
#include "brush/dab_setup.h"
#include "core/saturate.h"

namespace plr {

struct PageBrush;

// The plain loop: every setting tested per pixel, in the order the dab
// applies them.
void drawDabReference(PageBrush& page, const DabFrame& f);

// A specialised loop for the common settings (no per-pixel variation, Normal
// or smudge, not erasing, no image-brush mode; grit and rotation either way):
// the same pixels, mixing buffer and rectangles without per-pixel division.
bool fastDabApplies(const PageBrush& page, const DabFrame& f) noexcept;
void drawDabFast(PageBrush& page, const DabFrame& f);

// The mask dab's loop (target: the mask plane).
void drawMaskDabLoop(PageBrush& page, const DabFrame& f);

// Per-pixel variation through the two byte tables, their cursors set per row.
struct VariationCursors {
    const std::uint8_t* colour = nullptr;  // null: colour variation off
    const std::uint8_t* lum = nullptr;     // null: lightness variation off
    std::int32_t colourAt = -1, lumAt = -1;
    std::int32_t colourLength = 0, lumLength = 0;
    std::int32_t colourRange = 0, lumRange = 0;

    static VariationCursors forDab(const PageBrush& page) noexcept;
    // At the start of each row: move a cursor that is unset or near the end.
    void startRow(const PageBrush& page);
    // w of the colour variation (call only when `colour`), advancing its cursor.
    // Held to 32 bits: any offset that large already drives a channel to 0 or
    // 65535.
    std::int32_t nextColourOffset() noexcept {
        const std::int32_t b = colour[colourAt++];
        return saturate32((std::int64_t{colourRange & ~1} - 2 * (b % colourRange)) * 128);
    }
    // Lightness variation of the three channels (call only when `lum`).
    void applyLightness(std::uint32_t* q, int channels) noexcept;
};

}  // namespace plr
