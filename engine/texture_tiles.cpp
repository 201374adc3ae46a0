#include "engine/texture_tiles.h"

#include <algorithm>

#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_resize.h"

namespace plr {

bool resizeTile(formats::RgbaImage& tile, std::int32_t width, std::int32_t height) noexcept {
    width = std::max(1, width), height = std::max(1, height);
    if (width == tile.width && height == tile.height) return true;
    formats::RgbaImage out;
    if (!formats::allocateRgba(out, width, height)) return false;
    if (!imaging_lib::ResizeImageBicubic(tile.pixels.data(), tile.width, tile.height, tile.width * 4, out.pixels.data(),
                                         width, height, width * 4, 4))
        return false;
    tile.pixels.swap(out.pixels);
    tile.width = width, tile.height = height;
    return true;
}

void tileOverPicture(const formats::RgbaImage& tile, std::uint8_t* rgba, std::int32_t width,
                     std::int32_t height) noexcept {
    if (tile.pixels.empty() || tile.width < 1 || tile.height < 1) return;
    for (std::int32_t y = 0; y < height; y += tile.height)
        for (std::int32_t x = 0; x < width; x += tile.width)
            imaging_lib::OverlayImage(tile.pixels.data(), tile.width, tile.height, 4, tile.width * 4, rgba, width, height,
                                      width * 4, x, y, 1.0);
    const std::size_t n = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < n; ++i) rgba[i * 4 + 3] = 255;
}

}  // namespace plr
