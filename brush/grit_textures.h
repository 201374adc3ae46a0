#pragma once
// The twenty grit textures: byte maps that break a stroke into grain. A
// texture is (maxBrushSize + 25)^2 bytes addressed with a row length of
// maxBrushSize; 255 = no grit, lower bytes are levels compared with density.
#include <cstdint>

namespace plr {

struct PageBrush;
struct CrtRandom;

// Brush size the brush-sized planes can hold: brushSize, at most maxBrushSize.
std::int32_t effectiveBrushSize(const PageBrush& page) noexcept;

// Random cells from the page's two random tables, drawing window offsets from
// `rng` in a fixed order (two draws per cell row, textures 0..19), so equal
// seeds give equal textures. Does nothing without a page, for a cell size
// below 1 or without random tables.
void generateGritTextures(PageBrush& page, CrtRandom& rng);

// Textures from an effect script (tiled over a 600 x 600 canvas) or an image
// file: per texture two draws (x, then y) place a (brushSize + 25)-square
// window of the grey picture. A picture with no room for the window (smaller
// than brushSize + 26 on a side) keeps the draws but puts that window at 0
// and copies only what the picture has. An unreadable source changes
// nothing. Raises when a work buffer cannot be had.
void gritTexturesFromSource(PageBrush& page, const char* path, CrtRandom& rng);

}  // namespace plr
