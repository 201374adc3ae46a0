#include "adapters/imaging/drawing_fill_reference.h"

#include <utility>
#include <vector>

namespace plr::reference {
namespace {

struct Raster {
    const std::uint8_t* base;
    std::int32_t width, height, bpp, stride;
    const std::uint8_t* at(std::int32_t x, std::int32_t y) const {
        return base + std::int64_t{y} * stride + std::int64_t{x} * bpp;
    }
};

std::int64_t squaredDistance(const std::uint8_t* p, const std::uint8_t* q) {
    std::int64_t sum = 0;
    for (int k = 0; k < 3; ++k) sum += (std::int64_t{p[k]} - q[k]) * (std::int64_t{p[k]} - q[k]);
    return sum;
}

// 1 for every pixel matching the seed's colour and four-connected to the
// seed through matching pixels (or every matching pixel when not connected).
std::vector<std::uint8_t> region(const Raster& r, std::int32_t sx, std::int32_t sy, bool connected,
                                 std::int32_t tolerance) {
    const std::size_t w = static_cast<std::size_t>(r.width);
    std::vector<std::uint8_t> in(w * static_cast<std::size_t>(r.height), 0);
    std::uint8_t seed[3];
    for (int k = 0; k < 3; ++k) seed[k] = r.at(sx, sy)[k];
    auto matches = [&](std::int32_t x, std::int32_t y) { return squaredDistance(r.at(x, y), seed) <= tolerance; };
    if (!connected) {
        for (std::int32_t y = 0; y < r.height; ++y)
            for (std::int32_t x = 0; x < r.width; ++x) in[y * w + x] = matches(x, y) ? 1 : 0;
        return in;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> todo{{sx, sy}};
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= r.width || y >= r.height) continue;
        if (in[y * w + x] || !matches(x, y)) continue;
        in[y * w + x] = 1;
        todo.push_back({x + 1, y});
        todo.push_back({x - 1, y});
        todo.push_back({x, y + 1});
        todo.push_back({x, y - 1});
    }
    return in;
}

bool validCall(const void* pixels, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
               std::int32_t sx, std::int32_t sy) {
    return pixels && w >= 0 && h >= 0 && (bpp == 3 || bpp == 4) && std::int64_t{stride} >= std::int64_t{w} * bpp &&
           sx >= 0 && sy >= 0 && sx < w && sy < h;
}

}  // namespace

std::int32_t floodFillImage(void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::int32_t seedX, std::int32_t seedY, std::uint32_t colour,
                            std::int32_t tolerance) {
    if (!validCall(pixels, width, height, bytesPerPixel, stride, seedX, seedY)) return 0;
    const Raster r{static_cast<const std::uint8_t*>(pixels), width, height, bytesPerPixel, stride};
    const std::vector<std::uint8_t> in = region(r, seedX, seedY, true, tolerance);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            if (!in[static_cast<std::size_t>(y) * width + x]) continue;
            auto* p = const_cast<std::uint8_t*>(r.at(x, y));
            p[0] = static_cast<std::uint8_t>(colour);
            p[1] = static_cast<std::uint8_t>(colour >> 8);
            p[2] = static_cast<std::uint8_t>(colour >> 16);
        }
    return 1;
}

std::int32_t colorMatchMask(const void* pixels, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                            std::int32_t stride, std::uint8_t* map, std::int32_t mapStride, std::int32_t seedX,
                            std::int32_t seedY, std::int32_t connected, std::int32_t tolerance) {
    if (!validCall(pixels, width, height, bytesPerPixel, stride, seedX, seedY) || !map || mapStride < width) return 0;
    const Raster r{static_cast<const std::uint8_t*>(pixels), width, height, bytesPerPixel, stride};
    const std::vector<std::uint8_t> in = region(r, seedX, seedY, connected != 0, tolerance);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            map[std::int64_t{y} * mapStride + x] = in[static_cast<std::size_t>(y) * width + x];
    return 1;
}

}  // namespace plr::reference
