#pragma once
// A raster of the library's calls seen as an OpenCV matrix without a copy.
// Only the OpenCV-backed .cpp files of this folder include this header, so
// OpenCV's headers stay out of everything above the adapters.
#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

namespace plr::imaging_lib {

// `h` rows of `w` pixels of `bpp` 8-bit channels, rows `stride` bytes apart.
// The matrix borrows the pixels; OpenCV writes through it only where the
// caller passes it as an output.
inline cv::Mat wrap(const std::uint8_t* p, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) {
    return cv::Mat(h, w, CV_8UC(bpp), const_cast<std::uint8_t*>(p), static_cast<std::size_t>(stride));
}

}  // namespace plr::imaging_lib
