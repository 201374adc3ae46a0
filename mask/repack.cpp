#include "mask/repack.h"

namespace plr {

void rgbAlphaToRgb(std::uint8_t* rgb, std::size_t count, const std::uint8_t* rgba) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t a = rgba[4 * i + 3];
        rgb[3 * i] = a;
        rgb[3 * i + 1] = a;
        rgb[3 * i + 2] = a;
    }
}

void rgbToRgbAlpha(std::uint8_t* rgba, std::size_t count, const std::uint8_t* rgb) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* s = rgb + 3 * i;
        rgba[4 * i + 3] = static_cast<std::uint8_t>((unsigned{s[0]} + s[1] + s[2]) / 3u);
    }
}

void rgbToRgba(std::uint8_t* rgba, std::size_t count, const std::uint8_t* rgb) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        rgba[4 * i] = rgb[3 * i];
        rgba[4 * i + 1] = rgb[3 * i + 1];
        rgba[4 * i + 2] = rgb[3 * i + 2];
    }
}

void rgbaToRgb(std::uint8_t* rgb, std::size_t count, const std::uint8_t* rgba) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        rgb[3 * i] = rgba[4 * i];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
    }
}

}  // namespace plr
