#include "mask/free_colour_reference.h"

#include "mask/free_colour.h"

namespace plr::reference {

std::uint32_t findFreeColour(const std::uint8_t* rgba, std::size_t count) {
    for (std::uint32_t blue = 0; blue < 256; ++blue)
        for (std::uint32_t green = 0; green < 256; ++green) {
            bool used[256] = {};
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t* p = rgba + 4 * i;
                if (p[1] == green && p[2] == blue) used[p[0]] = true;
            }
            for (std::uint32_t red = 0; red < 256; ++red)
                if (!used[red]) return red | green << 8 | blue << 16;
        }
    return kNoFreeColour;
}

}  // namespace plr::reference
