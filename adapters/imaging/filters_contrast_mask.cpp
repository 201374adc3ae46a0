#include "adapters/imaging/filters_contrast_mask.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "adapters/imaging/filters_common.h"

namespace plr::imaging_lib {

std::uint8_t softLightByte(std::uint8_t a, std::uint8_t b) noexcept {
    const double x = a / 255.0, m = b / 255.0;
    const double v = (1.0 - 2.0 * m) * x * x + 2.0 * m * x;
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

std::int32_t ContrastMaskImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::int32_t stride, std::int32_t strong, double radius, std::int32_t) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || bpp < 3 || !std::isfinite(radius)) return 0;
    return attempt([&] {
        // Luma with the 299/587/114 weights, in fixed point.
        cv::Mat mask(height, width, CV_8UC1);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = px + std::int64_t{y} * stride;
            std::uint8_t* out = mask.ptr<std::uint8_t>(y);
            for (std::int32_t x = 0; x < width; ++x, row += bpp)
                out[x] = static_cast<std::uint8_t>(255 - ((row[0] * 299 + row[1] * 587 + row[2] * 114 + 500) / 1000));
        }
        // A blur wider than the picture is as flat as one of its size; the
        // kernel, whose length grows with sigma, stays bounded.
        const double sigma = std::min(radius, double(std::max(width, height)));
        if (sigma >= 0.5) cv::GaussianBlur(mask, mask, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
        // One 64 KiB table replaces the arithmetic of every pixel.
        std::vector<std::uint8_t> table(256 * 256);
        for (int b = 0; b < 256; ++b)
            for (int a = 0; a < 256; ++a)
                table[std::size_t(b) * 256 + std::size_t(a)] =
                    softLightByte(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b));
        const int passes = (strong & 0xFF) == 1 ? 2 : 1;
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = px + std::int64_t{y} * stride;
            const std::uint8_t* m = mask.ptr<std::uint8_t>(y);
            for (std::int32_t x = 0; x < width; ++x, row += bpp) {
                const std::uint8_t* t = table.data() + std::size_t(m[x]) * 256;
                for (int k = 0; k < passes; ++k) row[0] = t[row[0]], row[1] = t[row[1]], row[2] = t[row[2]];
            }
        }
    });
}

}  // namespace plr::imaging_lib
