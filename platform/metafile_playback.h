#pragma once
// The system's metafile renderer, where there is one (Windows GDI): draws a
// whole metafile, vector and text records included, over the picture's
// current pixels. The engine's own record reader draws only bitmap records;
// it hands a file here when the file holds anything else.
#include <cstddef>
#include <cstdint>

namespace plr::platform {

// Plays the metafile `file` (n bytes; enhanced, or Windows with or without
// its placeable header) scaled to width x height into `rgba` (packed RGBA,
// top row first), which holds the background on entry; alpha comes out 255.
// The placeable header's frame, when there is one, is given as frameWidth x
// frameHeight units at `unitsPerInch`. False, with `rgba` unchanged, where
// the system has no renderer or refuses the file.
bool playMetafile(const std::uint8_t* file, std::size_t n, bool enhanced, std::int32_t frameWidth,
                  std::int32_t frameHeight, std::int32_t unitsPerInch, std::int32_t width, std::int32_t height,
                  std::uint8_t* rgba) noexcept;

}  // namespace plr::platform
