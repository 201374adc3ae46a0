#pragma once
// The three mask switches and the overlay settings.
#include <cstdint>

namespace plr {

struct Page;

// Each takes the low byte of `flag`: 0x100 switches off.
void enableMask(Page& p, std::int32_t flag) noexcept;
void displayMask(Page& p, std::int32_t flag) noexcept;
// Mask-making mode: on through the export, off when a tool is chosen.
void setMaskMaker(Page& p, bool on) noexcept;
// Each channel is stored as (value & 0xFFFFFF) << 8 cut to 16 bits, i.e. its
// low byte widened; `solid` is kept as given.
void setMaskOptions(Page& p, const std::int32_t colour1[3], const std::int32_t colour2[3], std::int32_t solid) noexcept;

}  // namespace plr
