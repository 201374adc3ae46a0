#pragma once
// Movie frames as 24-bit bottom-up DIBs (information header, then the rows
// padded to 4 bytes, blue-green-red), made from host pixels or a BMP file.
#include <cstdint>

#include "core/block.h"
#include "exchange/movie_writer.h"

namespace plr {

struct DibFrame {
    Block<std::uint8_t> dib;  // header + bits
    std::int32_t width = 0;
    std::int32_t height = 0;

    MovieFrame frame() const noexcept;
};

// From packed RGB24 pixels, rows top to bottom. False when the size is not
// positive or memory runs out.
bool dibFrameFromRGB24(const std::uint8_t* rgb, std::int32_t width, std::int32_t height, DibFrame& out) noexcept;
// From a BMP file (any depth or compression the BMP reader takes; alpha
// dropped). False when the file is not a readable BMP or memory runs out
// (`outOfMemory` tells which).
bool dibFrameFromBmpFile(const char* path, DibFrame& out, bool& outOfMemory) noexcept;

}  // namespace plr
