#include "exchange/formats/row_convert.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define PLR_ROWS_SSSE3 1
#endif

namespace plr::formats {
namespace {

// Pixels as little-endian words: byte 0 is the low byte.
inline std::uint32_t load32(const std::uint8_t* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void store32(std::uint8_t* p, std::uint32_t v) noexcept { std::memcpy(p, &v, 4); }
// Red, green, blue bytes and alpha 255 as one pixel word.
inline std::uint32_t opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) noexcept {
    return r | (g << 8) | (b << 16) | 0xFF000000u;
}

// Swaps bytes 0 and 2 of every word, keeps 1 and 3.
inline std::uint32_t swapRedBlue(std::uint32_t v) noexcept {
    return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
}

}  // namespace

void bgrToRgbaWords(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    if (!pixels) return;
    // A word load at pixel i reads one byte of pixel i + 1: the last pixel goes apart.
    for (std::size_t i = 0; i + 1 < pixels; ++i) store32(dst + 4 * i, swapRedBlue(load32(src + 3 * i)) | 0xFF000000u);
    const std::uint8_t* s = src + 3 * (pixels - 1);
    store32(dst + 4 * (pixels - 1), opaque(s[2], s[1], s[0]));
}

#if PLR_ROWS_SSSE3
namespace {

// Four pixels a step: one 16-byte load (the last 4 bytes belong to the next
// step), one byte shuffle, alpha or-ed in. Steps stop while a load would
// reach past the row; the rest goes word by word.
__attribute__((target("ssse3"))) void bgrToRgbaSsse3(const std::uint8_t* src, std::uint8_t* dst,
                                                     std::size_t pixels) noexcept {
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    std::size_t i = 0;
    for (; 3 * i + 16 <= 3 * pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), _mm_or_si128(_mm_shuffle_epi8(v, order), alpha));
    }
    bgrToRgbaWords(src + 3 * i, dst + 4 * i, pixels - i);
}

bool hasSsse3() noexcept {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

}  // namespace
#endif

void bgrToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
#if PLR_ROWS_SSSE3
    if (hasSsse3()) return bgrToRgbaSsse3(src, dst, pixels);
#endif
    bgrToRgbaWords(src, dst, pixels);
}

void bgraToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) store32(dst + 4 * i, swapRedBlue(load32(src + 4 * i)));
}

void bgrxToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i) store32(dst + 4 * i, swapRedBlue(load32(src + 4 * i)) | 0xFF000000u);
}

void planesToRgba(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* dst,
                  std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i)
        store32(dst + 4 * i, opaque(r[i], g[i], b[i]));
}

bool anyFourthByte(const std::uint8_t* src, std::size_t pixels) noexcept {
    // Or-ed a row at a time: no early exit inside the loop keeps it vectorised.
    std::uint32_t any = 0;
    for (std::size_t i = 0; i < pixels; ++i) any |= load32(src + 4 * i);
    return (any >> 24) != 0;
}

}  // namespace plr::formats
