#include "adapters/imaging/filters_artistic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/cv_mat.h"
#include "adapters/imaging/filters_common.h"
#include "core/crt_random.h"

namespace plr::imaging_lib {
namespace {

bool validPair(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
               const std::uint8_t* dst, std::int32_t dstStride) {
    return validRasterPair(src, w, h, bpp, stride, dst, dstStride, bpp) && bpp >= 3;
}

// White paper with the source's alpha.
void paper(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
           std::uint8_t* dst, std::int32_t dstStride) {
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::int64_t{y} * stride;
        std::uint8_t* d = dst + std::int64_t{y} * dstStride;
        for (std::int32_t x = 0; x < w; ++x) {
            d[x * bpp] = d[x * bpp + 1] = d[x * bpp + 2] = 255;
            if (bpp == 4) d[x * 4 + 3] = s[x * 4 + 3];
        }
    }
}

// Lays ink of `colour` with opacity `cover` (0..1) over (x, y), multiplying.
void inkAt(std::uint8_t* dst, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t dstStride,
           std::int32_t x, std::int32_t y, const std::uint8_t* colour, double cover) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    std::uint8_t* p = dst + std::int64_t{y} * dstStride + x * bpp;
    for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] * (1.0 - cover) + p[c] * colour[c] / 255.0 * cover);
}

double darknessAt(const std::uint8_t* src, std::int32_t bpp, std::int32_t stride, std::int32_t x, std::int32_t y) {
    return (255 - luma(src + std::int64_t{y} * stride + x * bpp)) / 255.0;
}

const std::uint8_t kBlack[3] = {0, 0, 0};

}  // namespace

std::int32_t OilPaintRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                         std::int32_t levels, std::int32_t flags) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || radius < 0) return 0;
    return attempt([&] {
        const int bins = std::clamp(levels, 2, 256);
        const int r = std::min(radius, 100);
        // Bin of every pixel, worked once.
        std::vector<std::uint8_t> bin(std::size_t(width) * height);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t* p = src + std::int64_t{y} * stride + x * bpp;
                const int level = (flags & 1) ? std::max({p[0], p[1], p[2]}) : luma(p);
                bin[std::size_t(y) * width + x] = static_cast<std::uint8_t>(level * bins / 256);
            }
        std::vector<std::uint32_t> count(bins), sum(std::size_t(bins) * 3);
        for (std::int32_t y = 0; y < height; ++y) {
            std::fill(count.begin(), count.end(), 0u);
            std::fill(sum.begin(), sum.end(), 0u);
            const std::int32_t y0 = std::max(0, y - r), y1 = std::min(height - 1, y + r);
            // Adds (k = 1) or removes (k = -1) column x of the window.
            auto column = [&](std::int32_t x, int k) {
                if (x < 0 || x >= width) return;
                for (std::int32_t j = y0; j <= y1; ++j) {
                    const int b = bin[std::size_t(j) * width + x];
                    const std::uint8_t* p = src + std::int64_t{j} * stride + x * bpp;
                    count[b] += k;
                    for (int c = 0; c < 3; ++c) sum[b * 3 + c] += k * p[c];
                }
            };
            for (std::int32_t x = -r; x < r; ++x) column(x, 1);
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (std::int32_t x = 0; x < width; ++x) {
                column(x + r, 1);
                int best = 0;
                for (int b = 1; b < bins; ++b)
                    if (count[b] > count[best]) best = b;
                const std::uint8_t* s = src + std::int64_t{y} * stride + x * bpp;
                std::uint8_t* p = d + x * bpp;
                for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((sum[best * 3 + c] + count[best] / 2) / count[best]);
                if (flags & 2) {
                    const int from = luma(p), to = luma(s);
                    if (from == 0)
                        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(to);
                    else
                        for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] * to / from);
                }
                if (bpp == 4) p[3] = s[3];
                column(x - r, -1);
            }
        }
    });
}

std::int32_t Stipple(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                     std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t density,
                     std::int32_t dotSize, std::int32_t colourMode, std::int32_t seed) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride)) return 0;
    paper(src, width, height, bpp, stride, dst, dstStride);
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const int radius = std::clamp(dotSize, 0, 8);
    const double area = (2.0 * radius + 1) * (2.0 * radius + 1);
    // Candidates: as many as would cover the page once at density 100.
    const std::int64_t tries =
        static_cast<std::int64_t>(std::clamp(density, 0, 100) / 100.0 * width * height / std::max(1.0, area * 0.5));
    for (std::int64_t t = 0; t < tries; ++t) {
        const std::int32_t x = static_cast<std::int32_t>((std::int64_t{rng.next()} << 15 | rng.next()) % width);
        const std::int32_t y = static_cast<std::int32_t>((std::int64_t{rng.next()} << 15 | rng.next()) % height);
        if (rng.next() / 32767.0 >= darknessAt(src, bpp, stride, x, y)) continue;
        const std::uint8_t* colour = colourMode == 1 ? src + std::int64_t{y} * stride + x * bpp : kBlack;
        for (int j = -radius; j <= radius; ++j)
            for (int i = -radius; i <= radius; ++i)
                if (i * i + j * j <= radius * radius + radius) inkAt(dst, width, height, bpp, dstStride, x + i, y + j, colour, 1.0);
    }
    return 1;
}

std::int32_t GauzyRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                      std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double spread,
                      double brightness, double mix, std::int32_t mode) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || !std::isfinite(spread) ||
        !std::isfinite(brightness) || !std::isfinite(mix))
        return 0;
    return attempt([&] {
        cv::Mat glow;
        const double sigma = 1.0 + 30.0 * std::clamp(spread, 0.0, 1.0);
        cv::GaussianBlur(wrap(src, width, height, bpp, stride), glow, cv::Size(0, 0), sigma, sigma,
                         cv::BORDER_REPLICATE);
        const double lift = 1.0 + std::clamp(brightness, 0.0, 1.0);
        const double opacity = std::clamp(mix, 0.0, 1.0);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* s = src + std::int64_t{y} * stride;
            const std::uint8_t* g = glow.ptr<std::uint8_t>(y);
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (std::int32_t x = 0; x < width; ++x) {
                const int grey = luma(g + x * bpp);
                for (int c = 0; c < 3; ++c) {
                    const double v = s[x * bpp + c];
                    const double light = std::min(255.0, (mode == 1 ? grey : g[x * bpp + c]) * lift);
                    const double screen = 255.0 - (255.0 - v) * (255.0 - light) / 255.0;
                    d[x * bpp + c] = clampToByte(v + (screen - v) * opacity);
                }
                if (bpp == 4) d[x * 4 + 3] = s[x * 4 + 3];
            }
        }
    });
}

std::int32_t Scribble(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                      std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t strokeLength,
                      std::int32_t colourMode, std::int32_t density, std::int32_t seed) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride)) return 0;
    paper(src, width, height, bpp, stride, dst, dstStride);
    CrtRandom rng;
    rng.seed(static_cast<std::uint32_t>(seed));
    const int length = strokeLength <= 0 ? 12 : std::min(strokeLength, 200);
    const bool coloured = (colourMode & 0xFF) == 1;
    const std::int64_t tries =
        static_cast<std::int64_t>(std::clamp(density, 0, 100) / 100.0 * 3.0 * width * height / length);
    auto lumaAt = [&](std::int32_t x, std::int32_t y) {
        x = std::clamp(x, 0, width - 1), y = std::clamp(y, 0, height - 1);
        return luma(src + std::int64_t{y} * stride + x * bpp);
    };
    for (std::int64_t t = 0; t < tries; ++t) {
        const std::int32_t x = static_cast<std::int32_t>((std::int64_t{rng.next()} << 15 | rng.next()) % width);
        const std::int32_t y = static_cast<std::int32_t>((std::int64_t{rng.next()} << 15 | rng.next()) % height);
        const int wobble = rng.next();
        if (rng.next() / 32767.0 >= darknessAt(src, bpp, stride, x, y)) continue;
        // Along the contour: perpendicular to the gradient, with a little wobble.
        const double gx = lumaAt(x + 1, y) - lumaAt(x - 1, y), gy = lumaAt(x, y + 1) - lumaAt(x, y - 1);
        double angle = (gx == 0 && gy == 0 ? 0.785398 : std::atan2(gx, -gy)) + (wobble / 32767.0 - 0.5) * 0.8;
        const std::uint8_t* colour = coloured ? src + std::int64_t{y} * stride + x * bpp : kBlack;
        double px = x, py = y;
        for (int step = 0; step < length; ++step) {
            inkAt(dst, width, height, bpp, dstStride, static_cast<std::int32_t>(px), static_cast<std::int32_t>(py),
                  colour, 0.6);
            px += std::cos(angle), py += std::sin(angle);
            angle += (step & 1 ? 0.05 : -0.03);
        }
    }
    return 1;
}

std::int32_t WatercolorTintRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double amount,
                               std::int32_t flags) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || !std::isfinite(amount)) return 0;
    return attempt([&] {
        cv::Mat washed, rim;
        cv::medianBlur(wrap(src, width, height, bpp, stride), washed, 5);
        if (flags & 1) {
            cv::Mat grey, dx, dy;
            cv::cvtColor(washed, grey, bpp == 4 ? cv::COLOR_RGBA2GRAY : cv::COLOR_RGB2GRAY);
            cv::Sobel(grey, dx, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
            cv::Sobel(grey, dy, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
            cv::convertScaleAbs(dx, dx, 0.25);
            cv::convertScaleAbs(dy, dy, 0.25);
            cv::add(dx, dy, rim);
        }
        const int w = static_cast<int>(std::clamp(amount, 0.0, 1.0) * 256.0);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* s = src + std::int64_t{y} * stride;
            const std::uint8_t* m = washed.ptr<std::uint8_t>(y);
            const std::uint8_t* e = (flags & 1) ? rim.ptr<std::uint8_t>(y) : nullptr;
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t* p = m + x * bpp;
                const int l = luma(p);
                int wash[3];
                for (int c = 0; c < 3; ++c) {
                    // Richer (1.3 x the chroma), then a fifth of the way to the paper.
                    const int rich = l + (p[c] - l) * 13 / 10;
                    wash[c] = rich + (255 - rich) / 5 - (e ? e[x] / 2 : 0);
                }
                if (flags & 2) {
                    const int from = (77 * wash[0] + 150 * wash[1] + 29 * wash[2] + 128) >> 8;
                    const int to = luma(s + x * bpp);
                    for (int c = 0; c < 3; ++c) wash[c] += to - from;
                }
                for (int c = 0; c < 3; ++c) {
                    const int v = s[x * bpp + c];
                    d[x * bpp + c] = clampToByte(v + (((clampToByte(wash[c]) - v) * w + 128) >> 8));
                }
                if (bpp == 4) d[x * 4 + 3] = s[x * 4 + 3];
            }
        }
    });
}

namespace {

// Blurred alpha of a 4-byte raster in floats 0..1; `outsideTransparent`
// pads the border with transparency instead of repeating it.
cv::Mat blurredAlpha(const std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t stride, int size,
                     bool outsideTransparent) {
    cv::Mat alpha(h, w, CV_32F), out;
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* s = px + std::int64_t{y} * stride;
        float* d = alpha.ptr<float>(y);
        for (std::int32_t x = 0; x < w; ++x) d[x] = s[x * 4 + 3] / 255.0f;
    }
    const double sigma = std::max(0.5, size / 2.0);
    cv::GaussianBlur(alpha, out, cv::Size(0, 0), sigma, sigma,
                     outsideTransparent ? cv::BORDER_CONSTANT : cv::BORDER_REPLICATE);
    return out;
}

}  // namespace

std::int32_t OuterGlowRGBA(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t size, double strength, std::uint32_t colour,
                           std::int32_t, std::int32_t) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || bpp != 4 || !std::isfinite(strength)) return 0;
    if (size <= 0) return 1;
    return attempt([&] {
        const cv::Mat glow = blurredAlpha(px, width, height, stride, std::min(size, 1000), false);
        const double k = std::clamp(strength, 0.0, 1.0);
        const double ink[3] = {double(colour & 0xFF), double((colour >> 8) & 0xFF), double((colour >> 16) & 0xFF)};
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = px + std::int64_t{y} * stride;
            const float* g = glow.ptr<float>(y);
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* p = row + x * 4;
                // The glow lies under the picture: picture over glow, straight alpha.
                const double a = p[3] / 255.0, ga = std::min(1.0, k * g[x] * 2.0);
                const double out = a + ga * (1.0 - a);
                if (out <= 0) continue;
                for (int c = 0; c < 3; ++c) p[c] = clampToByte((p[c] * a + ink[c] * ga * (1.0 - a)) / out);
                p[3] = clampToByte(out * 255.0);
            }
        }
    });
}

std::int32_t InnerGlowRGBA(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t size, double strength, std::uint32_t colour,
                           std::int32_t, std::int32_t) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || bpp != 4 || !std::isfinite(strength)) return 0;
    if (size <= 0) return 1;
    return attempt([&] {
        const cv::Mat inside = blurredAlpha(px, width, height, stride, std::min(size, 1000), true);
        const double k = std::clamp(strength, 0.0, 1.0);
        const double ink[3] = {double(colour & 0xFF), double((colour >> 8) & 0xFF), double((colour >> 16) & 0xFF)};
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = px + std::int64_t{y} * stride;
            const float* g = inside.ptr<float>(y);
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* p = row + x * 4;
                if (p[3] == 0) continue;
                const double edge = std::clamp(1.0 - g[x], 0.0, 1.0) * 2.0 * k;
                const double w = std::min(1.0, edge);
                for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] + (ink[c] - p[c]) * w);
            }
        }
    });
}

}  // namespace plr::imaging_lib
