#include "mask/flood_map.h"

namespace plr {

void paintFloodMap(std::uint8_t* rgba, const std::uint8_t* map, std::size_t count, std::int32_t red,
                   std::int32_t green, std::int32_t blue, std::int32_t alpha) noexcept {
    const std::uint8_t c[4] = {std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue), std::uint8_t(alpha)};
    for (std::size_t i = 0; i < count; ++i)
        if (map[i] == 1)
            for (int k = 0; k < 4; ++k) rgba[4 * i + k] = c[k];
}

void clearAlphaOfFloodMap(std::uint8_t* rgba, const std::uint8_t* map, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i)
        if (map[i] == 1) rgba[4 * i + 3] = 0;
}

}  // namespace plr
