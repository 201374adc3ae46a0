#pragma once
#include <cstdint>
#include <string>

namespace plr::host {

// Writes an 8-bit RGB picture (rows of width * 3 bytes, top to bottom) as a
// PNG. The file is written to a temporary name and renamed, so a failure
// leaves no partial output. Returns false and sets `error` on failure.
bool writePngRGB(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string& error);

}  // namespace plr::host
