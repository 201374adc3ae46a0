#pragma once
// Colour reduction to an 8-bit palette, for formats that store indices.
#include <cstdint>

#include "exchange/formats/image_formats.h"

namespace plr::formats {

struct Palette {
    std::uint8_t colours[256][3] = {};
    std::int32_t count = 0;
};

// Maps every pixel of `image` (3 or 4 channels; alpha ignored) to an index
// of a palette of at most `maxColours` (1..256) entries written to
// `indices` (width * height bytes, rows top to bottom). A picture with no
// more distinct colours than that keeps them exactly; otherwise median cut
// on a 5-bit-per-channel histogram picks the entries (each the mean of the
// pixels in its box) and every pixel takes the nearest one, or, with
// `dither`, Floyd-Steinberg error diffusion spreads the difference. False
// when memory runs out.
bool quantizeTo8Bit(const ImageView& image, std::int32_t maxColours, bool dither, std::uint8_t* indices,
                    Palette& palette) noexcept;

}  // namespace plr::formats
