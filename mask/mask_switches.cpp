#include "mask/mask_switches.h"

#include "mask/mask_state.h"

namespace plr {

void enableMask(MaskState& mask, std::int32_t flag) noexcept { mask.enabled = static_cast<std::uint8_t>(flag); }

void displayMask(MaskState& mask, std::int32_t flag) noexcept { mask.displayed = static_cast<std::uint8_t>(flag); }

void setMaskMaker(MaskState& mask, bool on) noexcept { mask.makerOn = on ? 1 : 0; }

void setMaskOptions(MaskState& mask, const std::int32_t colour1[3], const std::int32_t colour2[3], std::int32_t solid) noexcept {
    for (int c = 0; c < 3; ++c) {
        mask.overlay.colour1[c] = static_cast<std::uint16_t>((static_cast<std::uint32_t>(colour1[c]) & 0xFFFFFFu) << 8);
        mask.overlay.colour2[c] = static_cast<std::uint16_t>((static_cast<std::uint32_t>(colour2[c]) & 0xFFFFFFu) << 8);
    }
    mask.overlay.solid = solid;
}

}  // namespace plr
