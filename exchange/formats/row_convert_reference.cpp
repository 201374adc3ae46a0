#include "exchange/formats/row_convert_reference.h"

namespace plr::reference {
namespace {

// Blue, green, red at the front of every `step` bytes; alpha the fourth byte or 255.
void swapped(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels, std::size_t step, bool fourthIsAlpha) {
    for (std::size_t i = 0; i < pixels; ++i, src += step, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = fourthIsAlpha ? src[3] : 255;
    }
}

}  // namespace

void bgrToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    swapped(src, dst, pixels, 3, false);
}

void bgraToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    swapped(src, dst, pixels, 4, true);
}

void bgrxToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    swapped(src, dst, pixels, 4, false);
}

void planesToRgba(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* dst,
                  std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i, dst += 4) {
        dst[0] = r[i];
        dst[1] = g[i];
        dst[2] = b[i];
        dst[3] = 255;
    }
}

}  // namespace plr::reference
