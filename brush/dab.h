#pragma once
// The dab: one stamp of the current brush shape at a page position, into the
// paint layer when it exists, else into the current layer, or into the mask
// in mask-making mode.
#include <cstdint>

namespace plr {

struct PageBrush;

enum class DabPath : std::uint8_t {
    Auto,       // a specialised loop when the settings allow it, else the reference
    Reference,  // always the plain per-pixel loop (tests compare the two)
};

// Sets the dab colour from the high bytes of red, green, blue and draws the
// dab (or the mask dab in mask-making mode). A dab outside the data model (no
// page, no target plane, brush sizes out of range) draws nothing.
void drawDab(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t red, std::int32_t green, std::int32_t blue,
             DabPath path = DabPath::Auto);

// The mask dab with the current dab colour.
void drawMaskDab(PageBrush& page, std::int32_t x, std::int32_t y);

}  // namespace plr
