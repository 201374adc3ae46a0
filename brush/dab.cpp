#include "brush/dab.h"

#include "brush/dab_loops.h"
#include "brush/page_brush.h"

namespace plr {

void drawDab(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t red, std::int32_t green, std::int32_t blue,
             DabPath path) {
    BrushBuffers& b = page.brush;
    b.dabColor = {static_cast<std::uint16_t>(red & 0xFF00), static_cast<std::uint16_t>(green & 0xFF00),
                  static_cast<std::uint16_t>(blue & 0xFF00), 65535};
    if (page.mask.makerOn) {
        drawMaskDab(page, x, y);
        return;
    }
    DabFrame f;
    if (!prepareDab(page, x, y, false, f)) return;
    if (path == DabPath::Auto && fastDabApplies(page, f))
        drawDabFast(page, f);
    else
        drawDabReference(page, f);
    b.settings.tempDisableBlend = 0;
    page.mask.makerOn = 0;
    b.settings.eraseMode = 0;
}

void drawMaskDab(PageBrush& page, std::int32_t x, std::int32_t y) {
    DabFrame f;
    if (!prepareDab(page, x, y, true, f)) return;
    drawMaskDabLoop(page, f);
    page.brush.settings.tempDisableBlend = 0;
}

}  // namespace plr
