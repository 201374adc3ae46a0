#pragma once
// Row conversions of the engine's own readers into RGBA32 (red, green,
// blue, alpha bytes). Each fast form works on whole 32-bit pixels so that
// the compiler keeps one load and one store per pixel (and vectorises the
// ones without a 3-byte stride); the byte-by-byte forms of
// row_convert_reference.h are the rule, held bit-exact by a differential test.
#include <cstddef>
#include <cstdint>

namespace plr::formats {

// Blue, green, red (BMP and TGA 24-bit) -> RGBA, alpha 255: a byte shuffle
// of four pixels at a time where the processor has SSSE3, else bgrToRgbaWords.
void bgrToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;
void bgrToRgbaWords(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;

// Blue, green, red, alpha (BMP and TGA 32-bit) -> RGBA, alpha kept.
void bgraToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;

// Blue, green, red, unused byte -> RGBA, alpha 255.
void bgrxToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept;

// Three planes' rows (PSD red, green, blue) -> RGBA, alpha 255.
void planesToRgba(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* dst,
                  std::size_t pixels) noexcept;

// True when some pixel's fourth byte is not 0 (32-bit files whose writers
// may leave that byte unused).
bool anyFourthByte(const std::uint8_t* src, std::size_t pixels) noexcept;

}  // namespace plr::formats
