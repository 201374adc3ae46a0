#pragma once
// The region a flood fill or the magic wand acts on, found from a seed in a
// packed page-sized RGBA32 buffer (the 32-bit source buffer).
//
// With a marker colour (one that occurs nowhere in the buffer) the region's
// pixels are recoloured with it, so that later steps find them by exact
// colour; their colour is then the marker's until a step replaces it. When
// every colour is in use (marker kNoFreeColour) a marker would catch
// pixels outside the region too, so the region is listed in a page-sized map
// instead and the buffer is left as it was; the steps give the same pixels
// either way.
#include <cstdint>

#include "core/block.h"

namespace plr {

struct RegionSeed {
    std::int32_t x = 0, y = 0;
    std::int32_t squaredTolerance = 0;  // squared RGB distance to the seed's colour
    bool connected = true;              // four-connected to the seed, or anywhere in the buffer
};

// The region listed in a page-sized map (1 = in) of a packed page-sized
// buffer of 3 or 4 bytes a pixel, which is left as it was. Raises
// EngineFailure when memory or the library call fails.
Block<std::uint8_t> regionMap(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                              std::int32_t bytesPerPixel, const RegionSeed& seed);

class PageRegion {
public:
    // Finds the region; raises EngineFailure when memory or a library call fails.
    PageRegion(std::uint8_t* rgba, std::int32_t width, std::int32_t height, const RegionSeed& seed,
               std::uint32_t marker);
    PageRegion(const PageRegion&) = delete;
    PageRegion& operator=(const PageRegion&) = delete;

    // The region's pixels become (red, green, blue, alpha).
    void paint(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha);
    // The mask gets `value` over the region; every other value stays.
    void mask(std::uint16_t* plane, std::uint16_t value) const noexcept;

private:
    std::uint8_t* rgba_;
    std::int32_t width_, height_;
    std::uint32_t marker_;
    Block<std::uint8_t> map_;  // only without a marker
    std::size_t count() const noexcept { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
};

}  // namespace plr
