#pragma once
// Texture tiles: pictures made by stored effect scripts, resized and laid
// over a page-sized picture, for the texture filters and the pattern builder.
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr {

// The tile resized (bicubic) to width x height, each at least 1; false, and
// the tile unchanged, when the memory is refused.
bool resizeTile(formats::RgbaImage& tile, std::int32_t width, std::int32_t height) noexcept;
// Copies of the tile laid over the width x height RGBA picture at every
// multiple of its size from (0, 0); then every alpha byte set to 255.
void tileOverPicture(const formats::RgbaImage& tile, std::uint8_t* rgba, std::int32_t width,
                     std::int32_t height) noexcept;

}  // namespace plr
