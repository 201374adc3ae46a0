#include "mask/mask_switches.h"

#include "engine/page.h"

namespace plr {

void enableMask(Page& p, std::int32_t flag) noexcept { p.mask.enabled = static_cast<std::uint8_t>(flag); }

void displayMask(Page& p, std::int32_t flag) noexcept { p.mask.displayed = static_cast<std::uint8_t>(flag); }

void setMaskMaker(Page& p, bool on) noexcept { p.mask.makerOn = on ? 1 : 0; }

void setMaskOptions(Page& p, const std::int32_t colour1[3], const std::int32_t colour2[3], std::int32_t solid) noexcept {
    for (int c = 0; c < 3; ++c) {
        p.mask.overlay.colour1[c] = static_cast<std::uint16_t>((static_cast<std::uint32_t>(colour1[c]) & 0xFFFFFFu) << 8);
        p.mask.overlay.colour2[c] = static_cast<std::uint16_t>((static_cast<std::uint32_t>(colour2[c]) & 0xFFFFFFu) << 8);
    }
    p.mask.overlay.solid = solid;
}

}  // namespace plr
