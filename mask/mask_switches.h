#pragma once
// The three mask switches and the overlay settings.
#include <cstdint>

namespace plr {

struct MaskState;

// Each takes the low byte of `flag`: 0x100 switches off.
void enableMask(MaskState& mask, std::int32_t flag) noexcept;
void displayMask(MaskState& mask, std::int32_t flag) noexcept;
// Mask-making mode: on through the export, off when a tool is chosen.
void setMaskMaker(MaskState& mask, bool on) noexcept;
// Each channel is stored as (value & 0xFFFFFF) << 8 cut to 16 bits, i.e. its
// low byte widened; `solid` is kept as given.
void setMaskOptions(MaskState& mask, const std::int32_t colour1[3], const std::int32_t colour2[3], std::int32_t solid) noexcept;

}  // namespace plr
