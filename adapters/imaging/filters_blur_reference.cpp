// The plain form of the Gaussian blur's three-box path: one channel and one
// line at a time with clamped reads, the reference the running-sum passes
// of filters_blur.cpp are held to bit for bit.
#include "adapters/imaging/filters_blur_reference.h"

#include <cstring>
#include <vector>

namespace plr::imaging_lib::reference {
namespace {

// Box mean of width 2*half+1 along lines, edges clamped, rounded to nearest.
void boxPass(const std::uint8_t* in, std::uint8_t* out, std::int32_t count, std::int32_t lines,
             std::int64_t along, std::int64_t lineStep, int half) {
    const std::uint32_t size = 2u * half + 1u;
    for (std::int32_t l = 0; l < lines; ++l) {
        const std::uint8_t* s = in + l * lineStep;
        std::uint8_t* d = out + l * lineStep;
        auto at = [&](std::int64_t j) { return s[(j < 0 ? 0 : j >= count ? count - 1 : j) * along]; };
        std::uint32_t sum = 0;
        for (int t = -half; t <= half; ++t) sum += at(t);
        for (std::int32_t i = 0; i < count; ++i) {
            d[i * along] = static_cast<std::uint8_t>((sum + size / 2) / size);
            sum += at(std::int64_t{i} + half + 1);
            sum -= at(std::int64_t{i} - half);
        }
    }
}

}  // namespace

void threeBoxBlur(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t height,
                  std::int32_t bytesPerPixel, std::int32_t stride, int half) {
    std::vector<std::uint8_t> tmp(std::size_t(stride) * height);
    std::memcpy(out, in, tmp.size());
    for (int pass = 0; pass < 3; ++pass)
        for (std::int32_t c = 0; c < bytesPerPixel; ++c) {
            boxPass(out + c, tmp.data() + c, width, height, bytesPerPixel, stride, half);
            boxPass(tmp.data() + c, out + c, height, width, stride, bytesPerPixel, half);
        }
}

}  // namespace plr::imaging_lib::reference
