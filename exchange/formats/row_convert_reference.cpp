#include "exchange/formats/row_convert_reference.h"

namespace plr::reference {

void bgrToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i, src += 3, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = 255;
    }
}

void bgraToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i, src += 4, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = src[3];
    }
}

void bgrxToRgba(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) noexcept {
    for (std::size_t i = 0; i < pixels; ++i, src += 4, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = 255;
    }
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
