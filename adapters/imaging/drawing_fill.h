#pragma once
// Drawing family, region calls: the flood fill, the colour replace, the
// colour-match map, and a rectangle filled at an opacity.
//
// Rasters of 3 (RGB) or 4 (RGBA) bytes a pixel unless a call says otherwise.
// Colours are packed red in the low byte, 0xAABBGGRR. A pixel matches a
// reference colour when its squared RGB distance dr^2 + dg^2 + db^2 is at
// most the tolerance: 0 matches the exact colour only, 195075 (3 * 255^2)
// every colour, a negative tolerance none. The fourth byte of an RGBA pixel
// takes no part in matching. Regions are four-connected: a one-pixel
// diagonal gap does not join two regions.
#include <cstdint>

namespace plr::imaging_lib {

// The largest squared RGB distance, black to white.
inline constexpr std::int32_t kMaxSquaredDistance = 3 * 255 * 255;

// Fills the four-connected region of pixels matching the colour the seed
// (seedX, seedY) has before the call: each gets the colour's red, green and
// blue; the fourth byte stays. Scanline fill with an explicit stack of
// spans (no recursion; work memory grows with the number of spans waiting,
// not with the region's area); when the fill colour itself matches the seed
// colour a one-bit-a-pixel visited plane is added. 0 for a bad raster, a
// seed outside it, or work memory that cannot be had; the raster may then be
// partly filled and the caller abandons it.
std::int32_t FloodFillImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::int32_t seedX, std::int32_t seedY, std::uint32_t colour,
                            std::int32_t tolerance) noexcept;

// Flags of ColorReplaceImage.
inline constexpr std::int32_t kReplaceColourOnly = 0;  // red, green, blue written; the fourth byte stays
inline constexpr std::int32_t kReplaceWithAlpha = 2;   // 4-byte rasters: the fourth byte = colour >> 24

// Every pixel matching `oldColour` gets `newColour`, as the flag says. 0 for a
// bad raster or an unknown flag (nothing changed then).
std::int32_t ColorReplaceImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                               std::int32_t stride, std::uint32_t oldColour, std::uint32_t newColour,
                               std::int32_t tolerance, std::int32_t flags) noexcept;

// Writes the match map of a raster into `map` (one byte a pixel, rows
// `mapStride` bytes apart): 1 where a pixel matches the colour of the seed,
// 0 everywhere else. With `connected` non-zero only the four-connected
// region around the seed counts, otherwise every matching pixel. 0 for a bad
// raster or map, a seed outside the raster, or work memory that cannot be
// had (the map is then undefined).
std::int32_t GetColorMatchMaskFromImage(const void* pixels, std::int32_t width, std::int32_t height,
                                        std::int32_t bytesPerPixel, std::int32_t stride, std::uint8_t* map,
                                        std::int32_t mapStride, std::int32_t seedX, std::int32_t seedY,
                                        std::int32_t connected, std::int32_t tolerance) noexcept;

// Lays `colour` over the rectangle with corners (left, top) and (right,
// bottom), both included and clipped to the raster (1, 3 or 4 bytes a
// pixel, every byte of the pixel from the colour's bytes), at `opacity`
// (0..1, held there): with a = trunc(opacity * 256), each byte becomes
// (colour byte * a + old byte * (256 - a)) >> 8, so 1.0 writes the colour
// exactly and 0 leaves the raster.
std::int32_t FillTransparentRectOnImage(void* pixels, std::int32_t width, std::int32_t height,
                                        std::int32_t bytesPerPixel, std::int32_t stride, std::int32_t left,
                                        std::int32_t top, std::int32_t right, std::int32_t bottom,
                                        std::uint32_t colour, double opacity) noexcept;

}  // namespace plr::imaging_lib
