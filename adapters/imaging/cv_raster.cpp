#include "adapters/imaging/cv_raster.h"

#include <opencv2/core.hpp>

namespace plr::imaging_lib::cv_raster {
int matType(std::int32_t bytesPerPixel) noexcept {
    switch (bytesPerPixel) {
        case 1: return CV_8UC1;
        case 2: return CV_16UC1;
        case 3: return CV_8UC3;
        case 4: return CV_8UC4;
        case 8: return CV_16UC4;
        default: return -1;
    }
}

void channelValues(std::int32_t bytesPerPixel, std::uint32_t packed, double out[4]) noexcept {
    const double scale = bytesPerPixel == 2 || bytesPerPixel == 8 ? 257.0 : 1.0;
    for (int c = 0; c < 4; ++c) out[c] = static_cast<double>((packed >> (8 * c)) & 0xFF) * scale;
}

}  // namespace plr::imaging_lib::cv_raster
