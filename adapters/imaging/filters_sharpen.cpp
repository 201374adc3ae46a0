#include "adapters/imaging/filters_sharpen.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/cv_mat.h"
#include "adapters/imaging/filters_common.h"
#include "adapters/imaging/filters_hash.h"

namespace plr::imaging_lib {
namespace {

constexpr double kPi = 3.14159265358979323846;

// `dst` holds the blurred picture on entry; on return
// out = v + (v - blurred) * gain, rounded and held to 0..255 (OpenCV's
// saturating weighted sum), except where |v - blurred| <= threshold: there
// v is copied (a threshold below 1 sharpens everywhere, since a zero detail
// already gives v). Worked in place: no picture-sized temporary.
void addDetail(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
               std::uint8_t* dst, std::int32_t dstStride, double gain, int threshold, std::int32_t channelMask) {
    const cv::Mat in = wrap(src, w, h, bpp, stride);
    cv::Mat out = wrap(dst, w, h, bpp, dstStride);
    const double g = std::clamp(gain, -100.0, 100.0);
    cv::Mat flat;
    if (threshold > 0) {
        cv::absdiff(in, out, flat);
        cv::compare(flat, threshold, flat, cv::CMP_LE);
    }
    cv::addWeighted(in, 1.0 + g, out, -g, 0.0, out);
    if (threshold > 0) in.copyTo(out, flat);
    keepUnmaskedChannels(src, stride, dst, dstStride, w, h, bpp, channelMask);
}

}  // namespace

std::int32_t SharpenImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t amount,
                          std::int32_t channelMask) noexcept {
    if (!validRasterPair(src, width, height, bpp, stride, dst, dstStride, bpp) || bpp == 2) return 0;
    return attempt([&] {
        cv::Mat mean = wrap(dst, width, height, bpp, dstStride);
        cv::blur(wrap(src, width, height, bpp, stride), mean, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_REPLICATE);
        addDetail(src, width, height, bpp, stride, dst, dstStride, std::clamp(amount, 0, 100) / 25.0, -1, channelMask);
    });
}

std::int32_t SharpenImageRadius(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                                double strength, std::int32_t channelMask) noexcept {
    if (!validRasterPair(src, width, height, bpp, stride, dst, dstStride, bpp) || bpp == 2 || !std::isfinite(strength))
        return 0;
    return attempt([&] {
        cv::Mat blurred = wrap(dst, width, height, bpp, dstStride);
        const double sigma = std::clamp(radius, 1, 100);
        cv::GaussianBlur(wrap(src, width, height, bpp, stride), blurred, cv::Size(0, 0), sigma, sigma,
                         cv::BORDER_REPLICATE);
        addDetail(src, width, height, bpp, stride, dst, dstStride, strength, -1, channelMask);
    });
}

std::int32_t UnsharpMaskImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t threshold,
                              double amount, double radius, std::int32_t channelMask) noexcept {
    if (!validRasterPair(src, width, height, bpp, stride, dst, dstStride, bpp) || bpp == 2 || !std::isfinite(amount) ||
        !(radius > 0) || radius > 1000)
        return 0;
    return attempt([&] {
        cv::Mat blurred = wrap(dst, width, height, bpp, dstStride);
        cv::GaussianBlur(wrap(src, width, height, bpp, stride), blurred, cv::Size(0, 0), radius, radius,
                         cv::BORDER_REPLICATE);
        addDetail(src, width, height, bpp, stride, dst, dstStride, amount, threshold, channelMask);
    });
}

std::int32_t EmbossRGB(const std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t greyStride,
                       std::uint8_t* dst, std::int32_t dstStride, double azimuth, double elevation,
                       std::int32_t depth) noexcept {
    if (!validRasterPair(grey, width, height, 1, greyStride, dst, dstStride, 3) || !std::isfinite(azimuth) ||
        !std::isfinite(elevation))
        return 0;
    return attempt([&] {
        cv::Mat gx, gy;
        const cv::Mat g = wrap(grey, width, height, 1, greyStride);
        cv::Sobel(g, gx, CV_32F, 1, 0, 3, 1.0 / 8.0, 0, cv::BORDER_REPLICATE);
        cv::Sobel(g, gy, CV_32F, 0, 1, 3, 1.0 / 8.0, 0, cv::BORDER_REPLICATE);
        // Light direction; picture y grows downwards, so its y is negated.
        const double lx = std::cos(azimuth) * std::cos(elevation), ly = -std::sin(azimuth) * std::cos(elevation);
        const double lz = std::sin(elevation);
        const double scale = std::max(depth, 0) / 4.0;
        for (int y = 0; y < height; ++y) {
            const float* px = gx.ptr<float>(y);
            const float* py = gy.ptr<float>(y);
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (int x = 0; x < width; ++x) {
                // Surface normal (-dz/dx, -dz/dy, 1), not normalised beyond its length.
                const double nx = -px[x] * scale, ny = -py[x] * scale;
                const double shade = (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1.0);
                d[x * 3] = d[x * 3 + 1] = d[x * 3 + 2] = clampToByte(shade * 255.0);
            }
        }
    });
}

std::int32_t CannyEdgeDetector(const std::uint8_t* grey, std::int32_t width, std::int32_t height,
                               std::int32_t greyStride, std::uint8_t* dst, std::int32_t dstStride, double sigma,
                               double low, double high) noexcept {
    if (!validRasterPair(grey, width, height, 1, greyStride, dst, dstStride, 1) || !(sigma > 0) || sigma > 100 ||
        !std::isfinite(low) || !std::isfinite(high))
        return 0;
    return attempt([&] {
        cv::Mat smooth, gx, gy, magnitude;
        cv::GaussianBlur(wrap(grey, width, height, 1, greyStride), smooth, cv::Size(0, 0), sigma, sigma,
                         cv::BORDER_REPLICATE);
        cv::Sobel(smooth, gx, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
        cv::Sobel(smooth, gy, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
        // Thresholds relative to the strongest L2 gradient.
        cv::Mat fx, fy;
        gx.convertTo(fx, CV_32F);
        gy.convertTo(fy, CV_32F);
        cv::magnitude(fx, fy, magnitude);
        double strongest = 0;
        cv::minMaxLoc(magnitude, nullptr, &strongest);
        const double a = std::clamp(std::min(low, high), 0.0, 1.0) * strongest;
        const double b = std::clamp(std::max(low, high), 0.0, 1.0) * strongest;
        cv::Mat out = wrap(dst, width, height, 1, dstStride);
        if (strongest <= 0) {
            out.setTo(0);
            return;
        }
        cv::Canny(gx, gy, out, std::max(a, 1e-3), std::max(b, 1e-3), true);
    });
}

std::int32_t Fingerprint(const std::uint8_t* grey, std::int32_t width, std::int32_t height, std::int32_t greyStride,
                         std::uint8_t* dst, std::int32_t dstStride, double frequency, std::int32_t softness,
                         std::int32_t invert) noexcept {
    if (!validRasterPair(grey, width, height, 1, greyStride, dst, dstStride, 1) || !std::isfinite(frequency)) return 0;
    return attempt([&] {
        cv::Mat g = wrap(grey, width, height, 1, greyStride);
        cv::Mat smooth;
        if (softness > 0)
            cv::GaussianBlur(g, smooth, cv::Size(0, 0), std::min(softness, 100), 0, cv::BORDER_REPLICATE);
        else
            smooth = g;
        const double f = std::clamp(frequency, 1.0, 255.0);
        const bool flip = (invert & 0xFF) == 1;
        std::uint8_t table[256];
        for (int v = 0; v < 256; ++v) {
            const double c = std::cos(2.0 * kPi * f * v / 255.0);
            table[v] = clampToByte(128.0 + (flip ? -127.0 : 127.0) * c);
        }
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* s = smooth.ptr<std::uint8_t>(y);
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (int x = 0; x < width; ++x) d[x] = table[s[x]];
        }
    });
}

std::int32_t ShadeBevelEdge(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::int32_t bevelWidth, std::int32_t, std::int32_t, double highlight,
                            double shadow, double highlightDepth, double shadowDepth, double lightAngle) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || bpp < 3 || !std::isfinite(lightAngle) ||
        !std::isfinite(highlight) || !std::isfinite(shadow) || !std::isfinite(highlightDepth) ||
        !std::isfinite(shadowDepth))
        return 0;
    if (bevelWidth < 1) return 1;
    const double a = std::fmod(lightAngle, 360.0) * kPi / 180.0;
    const double lx = std::cos(a), ly = -std::sin(a);
    // Facing of the four faces (outward normals: left, top, right, bottom).
    const double facing[4] = {-lx, -ly, lx, ly};
    const double up = std::clamp(highlight, 0.0, 255.0), down = std::clamp(shadow, 0.0, 255.0);
    const double roundUp = std::clamp(highlightDepth, 0.0, 255.0) / 255.0;
    const double roundDown = std::clamp(shadowDepth, 0.0, 255.0) / 255.0;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = px + std::int64_t{y} * stride;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int32_t d[4] = {x, y, width - 1 - x, height - 1 - y};
            const int face = static_cast<int>(std::min_element(d, d + 4) - d);
            if (d[face] >= bevelWidth) continue;
            const double f = facing[face];
            const double inward = (d[face] + 0.5) / bevelWidth;  // 0 at the rim, 1 at the inner edge
            const double round = f >= 0 ? roundUp : roundDown;
            const double profile = (1.0 - round) + round * (1.0 - inward);
            const double change = f * profile * (f >= 0 ? up : down);
            std::uint8_t* p = row + x * bpp;
            for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] + change);
        }
    }
    return 1;
}

std::int32_t CrackleRGB(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t pattern,
                        std::int32_t cellSize, std::int32_t raised) noexcept {
    if (!validRasterPair(src, width, height, bpp, stride, dst, dstStride, bpp) || bpp < 3) return 0;
    const int cell = std::clamp(cellSize, 4, 4096);
    const bool rim = (raised & 0xFF) == 1;
    const std::uint32_t seed = static_cast<std::uint32_t>(pattern);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = src + std::int64_t{y} * stride;
        std::uint8_t* d = dst + std::int64_t{y} * dstStride;
        const int cy = y / cell;
        for (std::int32_t x = 0; x < width; ++x) {
            const int cx = x / cell;
            // Nearest and second-nearest scattered points of the 3 x 3 cells around.
            double first = 1e30, second = 1e30;
            double firstY = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const std::uint32_t h = hash3(static_cast<std::uint32_t>(cx + i), static_cast<std::uint32_t>(cy + j), seed);
                    const double fx = (cx + i + (h & 0xFFFF) / 65536.0) * cell;
                    const double fy = (cy + j + (h >> 16) / 65536.0) * cell;
                    const double dist = (fx - x) * (fx - x) + (fy - y) * (fy - y);
                    if (dist < first) {
                        second = first, first = dist, firstY = fy;
                    } else if (dist < second) {
                        second = dist;
                    }
                }
            // Distance to the border between the two nearest cells.
            const double gap = (std::sqrt(second) - std::sqrt(first)) * 0.5;
            double shade = 1.0;
            if (gap < 1.5) shade = 0.35 + 0.65 * (gap / 1.5);
            else if (rim && gap < 3.0 && firstY < y) shade = 1.0 + 0.25 * (3.0 - gap) / 1.5;
            for (int c = 0; c < bpp; ++c)
                d[x * bpp + c] = c < 3 ? clampToByte(s[x * bpp + c] * shade) : s[x * bpp + c];
        }
    }
    return 1;
}

}  // namespace plr::imaging_lib
