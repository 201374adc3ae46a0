#pragma once
// The paint bucket, the magic wand and the mask shapes on the page.
//
// Fill and wand work on the current layer through the page's 32-bit source
// buffer, which they allocate from the layer and release when done (a
// buffer the host had allocated is gone afterwards). A seed outside the
// page, or a page without a current layer of its size, does nothing. Mode
// texts are compared exactly; an unknown one changes nothing. Tolerances
// are 0..50000 (percent * 500), strengths percentages.
#include <cstdint>

namespace plr {

struct Page;

// Modes: "Paint Non-connected", "Erase Non-connected", "Paint Connected",
// "Erase Connected", "Paint Alpha Connected", "Paint Alpha Non-Connected".
// The result goes into the layer through the mask, the paper texture and
// the layer's alpha lock.
void floodFillPage(Page& page, std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t x,
                   std::int32_t y, std::int32_t tolerance, const char* mode);

// Modes: "Non-connected", "Color Range", "Luminance Range", "Hue Range",
// "HSL Range", "Connected", "Alpha Connected", "Alpha Non-connected". Adds
// the region to the mask: pixels outside it keep their mask values.
void maskWand(Page& page, std::int32_t x, std::int32_t y, std::int32_t tolerance, std::int32_t strength,
              const char* mode);

// Sets the mask inside the ellipse in the box with corners (x0, y0) and
// (x1, y1) (any order; radii at least 2) or inside the rectangle with those
// corners (both included). The whole mask passes through an 8-bit grey
// picture on the way: inside, m = 0xFFFF for strength 0 and 0xFF00 - s8 *
// 256 otherwise; outside, values of 0xFF00 and above become 0xFFFF and the
// others lose their low byte.
void maskEllipse(Page& page, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 std::int32_t strength);
void maskRectangle(Page& page, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                   std::int32_t strength);

}  // namespace plr
