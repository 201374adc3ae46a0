#pragma once
// The paint layer: a page-sized layer outside the slot table on which a
// stroke is built, shown by the render above the current layer and merged
// into a slot at the end of the stroke with its own mode and opacity.
#include <cstdint>

namespace plr {

struct PageBrush;

// Creates the pixels when missing (or of another size) and clears them;
// stores the settings (a name of 50 characters or more keeps the previous
// one, but the mode is looked up from it). The mode number; raises when
// the pixels cannot be allocated (settings unchanged).
std::int32_t createPaintLayer(PageBrush& page, std::int32_t opacityPercent, const char* modeName);
// Transparent black, bounds empty.
void clearPaintLayer(PageBrush& page) noexcept;
// Opaque white, then transparent black inside the bounds; bounds empty.
void clearPaintLayerOld(PageBrush& page) noexcept;
void deletePaintLayer(PageBrush& page) noexcept;
// Blends the bounds of the paint layer onto slot `target` (page-sized) with
// the paint layer's mode and opacity and the current layer's alpha lock,
// then clears the paint layer. Without a paint layer or a page-sized target
// nothing is touched.
void mergePaintLayer(PageBrush& page, std::int32_t target) noexcept;
// Softens the paint layer's alpha: the high bytes blurred, pixels that were
// nearly opaque (high byte 240 or more) made fully opaque. Raises when a
// plane cannot be allocated; leaves the alpha as it was when the blur fails.
void blurPaintLayerAlpha(PageBrush& page);

}  // namespace plr
