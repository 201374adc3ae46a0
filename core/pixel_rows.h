#pragma once
// Row kernels of the 8/16-bit rule, shared by the layer reads and the host
// buffer conversions. 16-bit data is addressed as bytes: channels are stored
// little-endian, so the high byte of value i is byte 2i + 1, and a widened
// value is the byte pair (0, b). That keeps host buffers with any stride
// (odd ones included) free of misaligned 16-bit accesses, and the loops are
// plain byte gathers and scatters that the compiler vectorises.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace plr {

static_assert(std::endian::native == std::endian::little, "layer planes are little-endian 16-bit values");

// values 16-bit values -> their high bytes (RGBA64 -> RGBA32 when values = 4 * pixels).
inline void narrowRow(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, std::size_t values) noexcept {
    for (std::size_t i = 0; i < values; ++i) dst[i] = src[2 * i + 1];
}

// RGBA64 -> RGB24: the high bytes of red, green and blue.
inline void narrowRowToRGB24(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst,
                             std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) {
        dst[3 * i] = src[8 * i + 1];
        dst[3 * i + 1] = src[8 * i + 3];
        dst[3 * i + 2] = src[8 * i + 5];
    }
}

// RGBA64 -> RGB24 grey: each of the three bytes is the high byte of alpha.
inline void alphaRowToRGB24(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst,
                            std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t a = src[8 * i + 7];
        dst[3 * i] = a;
        dst[3 * i + 1] = a;
        dst[3 * i + 2] = a;
    }
}

// Repeats one 8-byte RGBA64 pixel over a row (any alignment).
inline void fillRow64(std::uint8_t* dst, std::uint64_t pixel, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) std::memcpy(dst + 8 * i, &pixel, 8);
}
inline void fillRow32(std::uint8_t* dst, std::uint32_t pixel, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) std::memcpy(dst + 4 * i, &pixel, 4);
}

// The layer pixel of four 16-bit channels as one little-endian 64-bit word.
constexpr std::uint64_t packPixel64(std::uint16_t r, std::uint16_t g, std::uint16_t b, std::uint16_t a) noexcept {
    return std::uint64_t{r} | std::uint64_t{g} << 16 | std::uint64_t{b} << 32 | std::uint64_t{a} << 48;
}

}  // namespace plr
