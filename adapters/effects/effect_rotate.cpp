// Effect 51: rotation about the picture's centre, keeping its size.
#include <cmath>
#include <cstring>

#include "adapters/effects/effect_library.h"
#include "core/block.h"
#include "core/sizes.h"

namespace plr::effect_lib {
namespace {

// Sine and cosine with quarter turns exact, so that 90-degree steps of a
// square picture move pixels without resampling them.
void sineCosine(double degrees, double& s, double& c) {
    const double turns = std::fmod(degrees, 360.0);
    if (turns == std::floor(turns) && static_cast<long>(turns) % 90 == 0) {
        const long q = ((static_cast<long>(turns) / 90) % 4 + 4) % 4;
        static const double sq[4] = {0, 1, 0, -1}, cq[4] = {1, 0, -1, 0};
        s = sq[q];
        c = cq[q];
        return;
    }
    const double r = degrees * 3.14159265358979323846 / 180.0;
    s = std::sin(r);
    c = std::cos(r);
}

}  // namespace

bool rotateImage(std::uint8_t* pixels, std::int32_t width, std::int32_t height, double degrees,
                 double scalePercent) noexcept {
    if (!pixels || width < 1 || height < 1 || !(scalePercent >= 1.0)) return false;
    const std::size_t bytes = saturatingProduct(std::uint64_t(width), std::uint64_t(height), 4);
    if (std::fmod(degrees, 360.0) == 0.0 && scalePercent == 100.0) return true;
    Block<std::uint8_t> src;
    if (!src.allocate(bytes)) return false;
    std::memcpy(src.data(), pixels, bytes);
    double s, c;
    sineCosine(degrees, s, c);
    const double k = 100.0 / scalePercent;
    const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
    const std::uint8_t* in = src.data();
    auto texel = [&](std::int64_t x, std::int64_t y, int ch) -> std::uint32_t {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return in[(y * width + x) * 4 + ch];
    };
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = pixels + std::size_t(y) * width * 4;
        const double dy = y - cy;
        for (std::int32_t x = 0; x < width; ++x, out += 4) {
            const double dx = x - cx;
            // Inverse of the anticlockwise turn (y grows downwards).
            const double sx = cx + (dx * c - dy * s) * k, sy = cy + (dx * s + dy * c) * k;
            const std::int64_t fx = std::llround(sx * 256.0), fy = std::llround(sy * 256.0);
            const std::int64_t x0 = fx >> 8, y0 = fy >> 8;
            const std::uint32_t wx = static_cast<std::uint32_t>(fx & 255), wy = static_cast<std::uint32_t>(fy & 255);
            for (int ch = 0; ch < 4; ++ch) {
                const std::uint32_t top = texel(x0, y0, ch) * (256 - wx) + texel(x0 + 1, y0, ch) * wx;
                const std::uint32_t bot = texel(x0, y0 + 1, ch) * (256 - wx) + texel(x0 + 1, y0 + 1, ch) * wx;
                out[ch] = static_cast<std::uint8_t>((top * (256 - wy) + bot * wy + 32768) >> 16);
            }
        }
    }
    return true;
}

}  // namespace plr::effect_lib
