#pragma once
// The two packed 32-bit forms a layer pixel is reported in, and the 8/16-bit
// rule: a byte widens to byte * 256 (255 becomes 0xFF00), a channel narrows to
// its high byte.
#include <cstdint>

namespace plr {

constexpr std::uint16_t widen8(std::uint8_t v) noexcept { return static_cast<std::uint16_t>(v << 8); }
constexpr std::uint8_t narrow16(std::uint16_t v) noexcept { return static_cast<std::uint8_t>(v >> 8); }

// red << 24 | green << 16 | blue << 8 | alpha (the GetRGBAAt family)
constexpr std::uint32_t packRGBAValue(const std::uint16_t* px) noexcept {
    return std::uint32_t{narrow16(px[0])} << 24 | std::uint32_t{narrow16(px[1])} << 16 |
           std::uint32_t{narrow16(px[2])} << 8 | narrow16(px[3]);
}
// alpha << 24 | red << 16 | green << 8 | blue (the GetColorAt family)
constexpr std::uint32_t packColorValue(const std::uint16_t* px) noexcept {
    return std::uint32_t{narrow16(px[3])} << 24 | std::uint32_t{narrow16(px[0])} << 16 |
           std::uint32_t{narrow16(px[1])} << 8 | narrow16(px[2]);
}

}  // namespace plr
