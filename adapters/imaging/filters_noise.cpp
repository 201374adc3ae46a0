#include "adapters/imaging/filters_noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "adapters/imaging/filters_common.h"
#include "adapters/imaging/filters_hash.h"
#include "core/crt_random.h"

namespace plr::imaging_lib {
namespace {

bool colourRaster(const std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) {
    return validRaster(px, w, h, bpp, stride) && bpp >= 3;
}

// Natural logarithm from + - * / only (frexp is exact), so it rounds the same
// everywhere: ln x = e ln 2 + 2 atanh((m - 1) / (m + 1)), m in [0.707, 1.414).
double portableLog(double x) {
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752) m *= 2.0, --e;
    const double s = (m - 1.0) / (m + 1.0), s2 = s * s;
    double term = s, sum = 0.0;
    for (int k = 1; k <= 25; k += 2) {
        sum += term / k;
        term *= s2;
    }
    return e * 0.69314718055994531 + 2.0 * sum;
}

// A uniform draw in (0, 1].
double unitDraw(CrtRandom& rng) { return (rng.next() + 1) / 32768.0; }

// Adds draw() to the masked colour channels of every pixel.
template <class Draw>
void addNoise(std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
              std::int32_t mono, std::int32_t channelMask, Draw&& draw) {
    const bool one = (mono & 0xFF) == 1;
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = px + std::int64_t{y} * stride;
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint8_t* p = row + x * bpp;
            double shared = one ? draw() : 0.0;
            for (int c = 0; c < 3; ++c) {
                const double n = one ? shared : draw();
                if (channelMask & (1 << c)) p[c] = clampToByte(p[c] + n);
            }
        }
    }
}

double gaussianDraw(CrtRandom& rng) {
    // Sum of four uniform 15-bit draws: mean 4 * 16383.5, variance 4 * (32768^2 - 1) / 12.
    const int sum = rng.next() + rng.next() + rng.next() + rng.next();
    return (sum - 65534.0) / 18918.6;
}

bool sane(double variance) { return std::isfinite(variance) && variance >= 0 && variance <= 1e7; }

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value of the lattice point (i, j) of octave `o`, 0..1.
double latticeValue(std::int32_t i, std::int32_t j, int o, std::uint32_t seed) {
    return (hash3(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), seed + o * 7919u) & 0xFFFF) / 65535.0;
}

// Gradient noise at (x, y) in lattice units, about -1..1.
double gradientNoise(double x, double y, int o, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto i = static_cast<std::int32_t>(fx), j = static_cast<std::int32_t>(fy);
    const double u = x - fx, v = y - fy;
    auto corner = [&](std::int32_t a, std::int32_t b, double dx, double dy) {
        static constexpr double g[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0.7071, 0.7071}, {-0.7071, 0.7071},
                                           {0.7071, -0.7071}, {-0.7071, -0.7071}};
        const std::uint32_t k = hash3(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b), seed + o * 104729u) & 7;
        return g[k][0] * dx + g[k][1] * dy;
    };
    const double n00 = corner(i, j, u, v), n10 = corner(i + 1, j, u - 1, v);
    const double n01 = corner(i, j + 1, u, v - 1), n11 = corner(i + 1, j + 1, u - 1, v - 1);
    const double a = fade(u), b = fade(v);
    return (n00 + (n10 - n00) * a) + ((n01 + (n11 - n01) * a) - (n00 + (n10 - n00) * a)) * b;
}

// Writes the accumulated field into the plane, spread over 0..255.
void spreadIntoPlane(const std::vector<double>& field, std::uint8_t* grey, std::int32_t w, std::int32_t h,
                     std::int32_t stride) {
    const auto [lo, hi] = std::minmax_element(field.begin(), field.end());
    const double range = *hi - *lo > 1e-12 ? *hi - *lo : 1.0;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            grey[std::int64_t{y} * stride + x] = clampToByte((field[std::size_t(y) * w + x] - *lo) * 255.0 / range);
}

}  // namespace

std::int32_t AddGaussianNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, double variance, std::int32_t mean, std::int32_t,
                              std::int32_t mono, std::int32_t channelMask, std::int32_t seed) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !sane(variance)) return 0;
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const double sigma = std::sqrt(variance);
    addNoise(px, width, height, bpp, stride, mono, channelMask, [&] { return mean + sigma * gaussianDraw(rng); });
    return 1;
}

std::int32_t AddUniformNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, double variance, std::int32_t mean, std::int32_t,
                             std::int32_t mono, std::int32_t channelMask, std::int32_t seed) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !sane(variance)) return 0;
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const double reach = std::sqrt(3.0 * variance);
    addNoise(px, width, height, bpp, stride, mono, channelMask,
             [&] { return mean + reach * (rng.next() / 16383.5 - 1.0); });
    return 1;
}

std::int32_t AddNegativeExpNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                 std::int32_t stride, double variance, std::int32_t mono, std::int32_t channelMask,
                                 std::int32_t seed) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !sane(variance)) return 0;
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const double scale = std::sqrt(variance);  // an exponential's deviation equals its mean
    addNoise(px, width, height, bpp, stride, mono, channelMask,
             [&] { return -scale * portableLog(unitDraw(rng)) - scale; });
    return 1;
}

std::int32_t AddRayleighNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, double variance, std::int32_t mono, std::int32_t channelMask,
                              std::int32_t seed) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !sane(variance)) return 0;
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    // Variance (4 - pi) / 2 sigma^2, mean sigma sqrt(pi / 2).
    const double sigma = std::sqrt(variance * 2.0 / (4.0 - 3.14159265358979323846));
    const double mean = sigma * 1.2533141373155003;
    addNoise(px, width, height, bpp, stride, mono, channelMask,
             [&] { return sigma * std::sqrt(-2.0 * portableLog(unitDraw(rng))) - mean; });
    return 1;
}

std::int32_t GenerateColoredNoise(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::uint32_t colour, std::int32_t amount, std::int32_t mode,
                                  std::int32_t seed) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const int a = std::clamp(amount, 0, 100);
    const int ink[3] = {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = px + std::int64_t{y} * stride;
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* p = row + x * bpp;
            const int n = rng.next();  // 0..32767
            for (int c = 0; c < 3; ++c) {
                const std::int64_t v = mode == 0 ? p[c] + std::int64_t{ink[c] - p[c]} * n * a / (32767 * 100)
                                                 : p[c] + std::int64_t{n - 16384} * ink[c] * a / (16384 * 100);
                p[c] = clampToByte(static_cast<int>(v));
            }
        }
    }
    return 1;
}

std::int32_t GenerateHugoNoise(std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t stride,
                               std::int32_t octaves, double zoom, double persistence, std::int32_t seed) noexcept {
    if (!validRaster(grey, width, height, 1, stride) || !std::isfinite(zoom) || !std::isfinite(persistence)) return 0;
    try {
        std::vector<double> field(std::size_t(width) * height, 0.0);
        const int count = std::clamp(octaves, 1, 12);
        double cell = 2.0 + std::clamp(zoom, 0.0, 10.0) * std::max(width, height) / 40.0;
        double amplitude = 1.0;
        const double keep = std::clamp(persistence, 0.0, 1.0);
        for (int o = 0; o < count && cell >= 1.0; ++o, cell *= 0.5, amplitude *= keep) {
            for (std::int32_t y = 0; y < height; ++y) {
                const double fy = y / cell;
                const auto j = static_cast<std::int32_t>(fy);
                const double v = fade(fy - j);
                for (std::int32_t x = 0; x < width; ++x) {
                    const double fx = x / cell;
                    const auto i = static_cast<std::int32_t>(fx);
                    const double u = fade(fx - i);
                    const double top = latticeValue(i, j, o, seed) +
                                       (latticeValue(i + 1, j, o, seed) - latticeValue(i, j, o, seed)) * u;
                    const double bottom = latticeValue(i, j + 1, o, seed) +
                                          (latticeValue(i + 1, j + 1, o, seed) - latticeValue(i, j + 1, o, seed)) * u;
                    field[std::size_t(y) * width + x] += amplitude * (top + (bottom - top) * v);
                }
            }
        }
        spreadIntoPlane(field, grey, width, height, stride);
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t GeneratePerlinNoise(std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t stride,
                                 double persistence, std::int32_t seed) noexcept {
    if (!validRaster(grey, width, height, 1, stride) || !std::isfinite(persistence)) return 0;
    try {
        std::vector<double> field(std::size_t(width) * height, 0.0);
        const double keep = std::clamp(persistence, 0.0, 1.0);
        double amplitude = 1.0;
        int o = 0;
        for (double cell = std::max(4.0, std::max(width, height) / 4.0); cell >= 2.0; cell *= 0.5, amplitude *= keep, ++o)
            for (std::int32_t y = 0; y < height; ++y)
                for (std::int32_t x = 0; x < width; ++x)
                    field[std::size_t(y) * width + x] +=
                        amplitude * gradientNoise((x + 0.5) / cell, (y + 0.5) / cell, o, static_cast<std::uint32_t>(seed));
        spreadIntoPlane(field, grey, width, height, stride);
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t HalftoneImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t cell, std::int32_t mono) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || cell < 1) return 0;
    try {
        const bool grey = (mono & 0xFF) == 1;
        const double size = std::min(cell, 4096);
        // Box means of the picture at cell size stand for each dot's cell.
        const std::vector<std::uint8_t> copy = [&] {
            std::vector<std::uint8_t> c(std::size_t(width) * height * 3);
            for (std::int32_t y = 0; y < height; ++y)
                for (std::int32_t x = 0; x < width; ++x)
                    for (int k = 0; k < 3; ++k)
                        c[(std::size_t(y) * width + x) * 3 + k] = px[std::int64_t{y} * stride + x * bpp + k];
            return c;
        }();
        const double angles[3] = {grey ? 45.0 : 15.0, 75.0, 0.0};
        for (int screen = 0; screen < (grey ? 1 : 3); ++screen) {
            const double a = angles[screen] * 3.14159265358979323846 / 180.0, ca = std::cos(a), sa = std::sin(a);
            for (std::int32_t y = 0; y < height; ++y)
                for (std::int32_t x = 0; x < width; ++x) {
                    // Position in the turned screen, its cell centre back in the picture.
                    const double u = (x * ca + y * sa) / size, v = (-x * sa + y * ca) / size;
                    const double cu = std::floor(u) + 0.5, cv = std::floor(v) + 0.5;
                    const auto sx = static_cast<std::int32_t>(std::clamp((cu * ca - cv * sa) * size, 0.0, width - 1.0));
                    const auto sy = static_cast<std::int32_t>(std::clamp((cu * sa + cv * ca) * size, 0.0, height - 1.0));
                    const std::uint8_t* s = &copy[(std::size_t(sy) * width + sx) * 3];
                    const int level = grey ? luma(s) : s[screen];
                    // Dot area = darkness; radius in cell units, edge softened over one pixel.
                    const double radius = std::sqrt((255 - level) / 255.0 / 3.14159265358979323846);
                    const double dist = std::sqrt((u - cu) * (u - cu) + (v - cv) * (v - cv));
                    const double ink = std::clamp((radius - dist) * size + 0.5, 0.0, 1.0);
                    std::uint8_t* p = px + std::int64_t{y} * stride + x * bpp;
                    const std::uint8_t out = clampToByte(255.0 * (1.0 - ink));
                    if (grey)
                        p[0] = p[1] = p[2] = out;
                    else
                        p[screen] = out;
                }
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t MosaicImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t size) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || size < 1) return 0;
    const std::int32_t tile = std::min(size, std::max(width, height));
    for (std::int32_t ty = 0; ty < height; ty += tile)
        for (std::int32_t tx = 0; tx < width; tx += tile) {
            const std::int32_t w = std::min(tile, width - tx), h = std::min(tile, height - ty);
            std::uint64_t sum[4] = {};
            for (std::int32_t y = ty; y < ty + h; ++y)
                for (std::int32_t x = tx; x < tx + w; ++x)
                    for (int c = 0; c < bpp; ++c) sum[c] += px[std::int64_t{y} * stride + x * bpp + c];
            const std::uint64_t n = std::uint64_t(w) * h;
            for (std::int32_t y = ty; y < ty + h; ++y)
                for (std::int32_t x = tx; x < tx + w; ++x)
                    for (int c = 0; c < bpp; ++c)
                        px[std::int64_t{y} * stride + x * bpp + c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        }
    return 1;
}

}  // namespace plr::imaging_lib
