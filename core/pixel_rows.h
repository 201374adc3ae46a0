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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plr {

static_assert(std::endian::native == std::endian::little, "layer planes are little-endian 16-bit values");

// values 16-bit values -> their high bytes (RGBA64 -> RGBA32 when values = 4 * pixels).
inline void narrowRow(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, std::size_t values) noexcept {
    for (std::size_t i = 0; i < values; ++i) dst[i] = src[2 * i + 1];
}

// The four-pixel groups of an RGB24 destination row of n pixels that may be
// written 14 bytes at a time: group k writes [12k, 12k + 14), the last two
// bytes being rewritten by the next group or the pixel loop after it.
constexpr std::size_t rgb24WriteGroups(std::size_t n) noexcept { return 3 * n >= 14 ? (3 * n - 14) / 12 + 1 : 0; }

#if defined(__SSE2__)
// Two 64-bit lanes each holding two 3-byte pixels in bytes 0-2 and 4-6 (the
// others 0) closed up to bytes 0-5, and both lanes stored as 12 bytes at d
// (plus two bytes past them).
inline void storeRGB24Four(std::uint8_t* d, __m128i spaced) noexcept {
    const __m128i first = _mm_and_si128(spaced, _mm_set1_epi64x(0xFFFFFF));
    const __m128i second = _mm_and_si128(_mm_srli_epi64(spaced, 8), _mm_set1_epi64x(0xFFFFFF000000));
    const __m128i closed = _mm_or_si128(first, second);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), closed);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 6), _mm_srli_si128(closed, 8));
}
#endif

// RGBA64 -> RGB24: the high bytes of red, green and blue.
inline void narrowRowToRGB24(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst,
                             std::size_t pixels) noexcept {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (const std::size_t groups = rgb24WriteGroups(pixels); i < 4 * groups; i += 4) {
        const __m128i lo = _mm_srli_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i)), 8);
        const __m128i hi = _mm_srli_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i + 16)), 8);
        storeRGB24Four(dst + 3 * i, _mm_and_si128(_mm_packus_epi16(lo, hi), colour));
    }
#endif
    for (; i < pixels; ++i) {
        dst[3 * i] = src[8 * i + 1];
        dst[3 * i + 1] = src[8 * i + 3];
        dst[3 * i + 2] = src[8 * i + 5];
    }
}

// RGBA64 -> RGB24 grey: each of the three bytes is the high byte of alpha.
inline void alphaRowToRGB24(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst,
                            std::size_t pixels) noexcept {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i spread = _mm_set1_epi32(0x010101);  // a -> a, a, a
    for (const std::size_t groups = rgb24WriteGroups(pixels); i < 4 * groups; i += 4) {
        // The alpha high byte of each pixel alone in its 64-bit lane, then
        // three copies of it, then pixels 0-1 and 2-3 side by side.
        const __m128i a01 = _mm_srli_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i)), 56);
        const __m128i a23 = _mm_srli_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i + 16)), 56);
        const __m128i spaced = _mm_or_si128(_mm_mul_epu32(_mm_unpacklo_epi64(a01, a23), spread),
                                            _mm_slli_epi64(_mm_mul_epu32(_mm_unpackhi_epi64(a01, a23), spread), 32));
        storeRGB24Four(dst + 3 * i, spaced);
    }
#endif
    for (; i < pixels; ++i) {
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
