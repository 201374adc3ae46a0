#pragma once
// The readers' row conversions written byte by byte, for reading rather than
// speed: the differential tests hold exchange/formats/row_convert.h to these.
#include <cstddef>
#include <cstdint>

namespace plr::reference {

void bgrToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;
void bgraToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;
void bgrxToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;
void planesToRgba(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* dst,
                  std::size_t pixels) noexcept;

}  // namespace plr::reference
