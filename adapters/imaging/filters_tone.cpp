#include "adapters/imaging/filters_tone.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/filters_common.h"
#include "core/parallel_rows.h"

namespace plr::imaging_lib {
namespace {

bool colourRaster(const std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride) {
    return validRaster(px, w, h, bpp, stride) && bpp >= 3;
}

// Calls f(pixel) for every pixel.
template <class F>
void eachPixel(std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride, F&& f) {
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t* row = px + std::int64_t{y} * stride;
        for (std::int32_t x = 0; x < w; ++x) f(row + x * bpp);
    }
}

// Calls f(pixel) for every pixel, bands of rows on the engine's threads:
// for an f that reads and writes only the pixel it is given.
template <class F>
void mapPixels(std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride, F&& f) {
    parallelRows(h, minBandRows(std::int64_t{w} * bpp), [&](std::int32_t y0, std::int32_t y1) {
        eachPixel(px + std::int64_t{y0} * stride, w, y1 - y0, bpp, stride, f);
    });
}

// One table for the three colour channels.
void applyTable(std::uint8_t* px, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
                const std::uint8_t* table) {
    mapPixels(px, w, h, bpp, stride, [&](std::uint8_t* p) {
        p[0] = table[p[0]], p[1] = table[p[1]], p[2] = table[p[2]];
    });
}

// Scales the colour of p so that its luma goes from `from` to `to`; a black
// pixel that must lighten becomes grey.
void moveLuma(std::uint8_t* p, int from, int to) {
    if (from == to) return;
    if (from == 0) {
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(to);
        return;
    }
    for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] * to / from);
}

// Histogram equalisation table of `hist` (counts over 256 levels) into
// low..high: the darkest level present goes to low, the brightest to high.
// A single level has nothing to spread and stays (an opaque alpha stays
// opaque).
void equalizeTable(const std::uint64_t* hist, std::uint64_t total, int low, int high, std::uint8_t* table) {
    std::uint64_t below = 0, first = 0;
    while (first < 256 && hist[first] == 0) ++first;
    const std::uint64_t base = first < 256 ? hist[first] : 0;
    if (base == total) {
        for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(v);
        return;
    }
    for (int v = 0; v < 256; ++v) {
        below += hist[v];
        // The darkest level present maps to low, all levels at or below the top to high.
        const double f = total > base ? static_cast<double>(below > base ? below - base : 0) / (total - base) : 0.0;
        table[v] = clampToByte(low + (high - low) * f);
    }
}

// Levels lo and hi clipping `lowPercent` and `highPercent` of `total`.
void stretchBounds(const std::uint64_t* hist, std::uint64_t total, double lowPercent, double highPercent, int& lo,
                   int& hi) {
    // Each end clips at most half the pixels, so both at 100 still leave the middle level.
    const double lowCut = std::clamp(lowPercent, 0.0, 100.0) / 200.0 * total;
    const double highCut = std::clamp(highPercent, 0.0, 100.0) / 200.0 * total;
    std::uint64_t seen = 0;
    lo = 0;
    while (lo < 255 && seen + hist[lo] <= lowCut) seen += hist[lo++];
    seen = 0;
    hi = 255;
    while (hi > 0 && seen + hist[hi] <= highCut) seen += hist[hi--];
    if (hi < lo) hi = lo;
}

void stretchTable(int lo, int hi, std::uint8_t* table) {
    for (int v = 0; v < 256; ++v)
        table[v] = hi == lo ? static_cast<std::uint8_t>(v) : clampToByte((v - lo) * 255.0 / (hi - lo));
}

}  // namespace

std::int32_t AdjustBrightnessContrast(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                      std::int32_t stride, double brightness, double contrast, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !std::isfinite(brightness) || !std::isfinite(contrast))
        return 0;
    brightness = std::clamp(brightness, -1.0, 1.0);
    contrast = std::clamp(contrast, -1.0, 1.0);
    const double f = contrast < 0 ? 1.0 + contrast : contrast >= 1.0 ? 1e6 : 1.0 / (1.0 - contrast);
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) table[v] = clampToByte((v - 127.5) * f + 127.5 + 255.0 * brightness);
    applyTable(px, width, height, bpp, stride, table);
    return 1;
}

std::int32_t AdjustGamma(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, double gamma, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || std::isnan(gamma)) return 0;
    gamma = std::clamp(gamma, 0.01, 100.0);
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) table[v] = clampToByte(255.0 * std::pow(v / 255.0, 1.0 / gamma));
    applyTable(px, width, height, bpp, stride, table);
    return 1;
}

std::int32_t HistogramEqualizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                    std::int32_t stride, std::int32_t low, std::int32_t high,
                                    std::int32_t channelMask) noexcept {
    if (!validRaster(px, width, height, bpp, stride)) return 0;
    const std::uint64_t total = std::uint64_t(width) * std::uint64_t(height);
    for (int c = 0; c < bpp; ++c) {
        if (!(channelMask & (1 << c))) continue;
        std::uint64_t hist[256] = {};
        eachPixel(px, width, height, bpp, stride, [&](std::uint8_t* p) { ++hist[p[c]]; });
        std::uint8_t table[256];
        equalizeTable(hist, total, low, high, table);
        mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) { p[c] = table[p[c]]; });
    }
    return 1;
}

std::int32_t BrightnessHistogramEqualizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                              std::int32_t bpp, std::int32_t stride, std::int32_t low,
                                              std::int32_t high, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    std::uint64_t hist[256] = {};
    eachPixel(px, width, height, bpp, stride, [&](std::uint8_t* p) { ++hist[luma(p)]; });
    std::uint8_t table[256];
    equalizeTable(hist, std::uint64_t(width) * std::uint64_t(height), low, high, table);
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        moveLuma(p, l, table[l]);
    });
    return 1;
}

std::int32_t HistogramStretchImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                   std::int32_t stride, double lowPercent, double highPercent, std::int32_t,
                                   std::int32_t channelMask) noexcept {
    if (!validRaster(px, width, height, bpp, stride) || std::isnan(lowPercent) || std::isnan(highPercent)) return 0;
    if (channelMask == 0) channelMask = bpp >= 3 ? 7 : 1;
    const std::uint64_t total = std::uint64_t(width) * std::uint64_t(height);
    for (int c = 0; c < bpp; ++c) {
        if (!(channelMask & (1 << c))) continue;
        std::uint64_t hist[256] = {};
        eachPixel(px, width, height, bpp, stride, [&](std::uint8_t* p) { ++hist[p[c]]; });
        int lo = 0, hi = 255;
        stretchBounds(hist, total, lowPercent, highPercent, lo, hi);
        std::uint8_t table[256];
        stretchTable(lo, hi, table);
        mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) { p[c] = table[p[c]]; });
    }
    return 1;
}

std::int32_t BrightnessHistogramStretchImage(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                             std::int32_t bpp, std::int32_t stride, double lowPercent,
                                             double highPercent, std::int32_t, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || std::isnan(lowPercent) || std::isnan(highPercent)) return 0;
    std::uint64_t hist[256] = {};
    eachPixel(px, width, height, bpp, stride, [&](std::uint8_t* p) { ++hist[luma(p)]; });
    int lo = 0, hi = 255;
    stretchBounds(hist, std::uint64_t(width) * std::uint64_t(height), lowPercent, highPercent, lo, hi);
    std::uint8_t table[256];
    stretchTable(lo, hi, table);
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        moveLuma(p, l, table[l]);
    });
    return 1;
}

std::int32_t BrightnessHistogramStretchImageInHSL(std::uint8_t* px, std::int32_t width, std::int32_t height,
                                                  std::int32_t bpp, std::int32_t stride, double lowPercent,
                                                  double highPercent, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || std::isnan(lowPercent) || std::isnan(highPercent)) return 0;
    try {
        cv::Mat rgb(height, width, CV_8UC3), hls;
        cv::Mat in(height, width, CV_8UC(bpp), px, static_cast<std::size_t>(stride));
        if (bpp == 4)
            cv::cvtColor(in, rgb, cv::COLOR_RGBA2RGB);
        else
            in.copyTo(rgb);
        cv::cvtColor(rgb, hls, cv::COLOR_RGB2HLS_FULL);
        std::uint64_t hist[256] = {};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) ++hist[hls.ptr<std::uint8_t>(y)[x * 3 + 1]];
        int lo = 0, hi = 255;
        stretchBounds(hist, std::uint64_t(width) * std::uint64_t(height), lowPercent, highPercent, lo, hi);
        if (lo == 0 && hi == 255) return 1;  // already spread: no round trip through HLS
        std::uint8_t table[256];
        stretchTable(lo, hi, table);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t& l = hls.ptr<std::uint8_t>(y)[x * 3 + 1];
                l = table[l];
            }
        cv::cvtColor(hls, rgb, cv::COLOR_HLS2RGB_FULL);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* d = px + std::int64_t{y} * stride;
            const std::uint8_t* s = rgb.ptr<std::uint8_t>(y);
            for (int x = 0; x < width; ++x) std::memcpy(d + x * bpp, s + x * 3, 3);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t AdjustImageColorBalance(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                     std::int32_t stride, const ColourBalance& b, std::int32_t lightness,
                                     std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    // Shift of each channel for each lightness: shadows weigh most at black,
    // highlights at white, mid-tones in the middle (the weights sum to 1).
    std::int16_t shift[3][256];
    for (int l = 0; l < 256; ++l) {
        const double t = l / 255.0;
        const double ws = (1 - t) * (1 - t), wh = t * t, wm = 2 * t * (1 - t);
        for (int c = 0; c < 3; ++c) {
            const double s = ws * std::clamp(b.shadows[c], -100, 100) + wm * std::clamp(b.midtones[c], -100, 100) +
                             wh * std::clamp(b.highlights[c], -100, 100) + std::clamp(lightness, -100, 100);
            shift[c][l] = static_cast<std::int16_t>(s * 1.275);
        }
    }
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        for (int c = 0; c < 3; ++c) p[c] = clampToByte(p[c] + shift[c][l]);
    });
    return 1;
}

std::int32_t DuotoneImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::uint32_t colour, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    std::uint8_t ramp[3][256];
    for (int c = 0; c < 3; ++c) {
        const int ink = (colour >> (8 * c)) & 0xFF;
        for (int l = 0; l < 256; ++l)
            ramp[c][l] = static_cast<std::uint8_t>(l < 128 ? ink * l / 128 : ink + (255 - ink) * (l - 128) / 127);
    }
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        p[0] = ramp[0][l], p[1] = ramp[1][l], p[2] = ramp[2][l];
    });
    return 1;
}

std::int32_t ModifyImageSaturation(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                   std::int32_t stride, double factor) noexcept {
    if (!colourRaster(px, width, height, bpp, stride) || !std::isfinite(factor)) return 0;
    const int f = static_cast<int>(std::clamp(factor, -100.0, 100.0) * 256.0);
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        for (int c = 0; c < 3; ++c) p[c] = clampToByte(l + (((p[c] - l) * f + 128) >> 8));
    });
    return 1;
}

std::int32_t InvertImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    mapPixels(px, width, height, bpp, stride, [](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - p[c]);
    });
    return 1;
}

std::int32_t PosterizeRGB(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                          std::int32_t stride, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>((v * 4 / 256) * 85);
    applyTable(px, width, height, bpp, stride, table);
    return 1;
}

std::int32_t SolarizeImage(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                           std::int32_t stride, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(v > 127 ? 255 - v : v);
    applyTable(px, width, height, bpp, stride, table);
    return 1;
}

std::int32_t ThresholdFilter(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, std::int32_t low, std::int32_t high,
                             std::int32_t channelMask) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int l = luma(p);
        const std::uint8_t v = l >= low && l <= high ? 255 : 0;
        for (int c = 0; c < 3; ++c)
            if (channelMask & (1 << c)) p[c] = v;
    });
    return 1;
}

std::int32_t AdjustTint(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::int32_t degrees, std::int32_t) noexcept {
    if (!colourRaster(px, width, height, bpp, stride)) return 0;
    const double a = (degrees % 360) * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    // RGB -> YIQ, turn (I, Q), YIQ -> RGB, folded into one 3 x 3 matrix in 1/4096.
    const double toYiq[3][3] = {{0.299, 0.587, 0.114}, {0.596, -0.274, -0.322}, {0.211, -0.523, 0.312}};
    const double toRgb[3][3] = {{1.0, 0.956, 0.621}, {1.0, -0.272, -0.647}, {1.0, -1.106, 1.703}};
    const double turn[3][3] = {{1, 0, 0}, {0, c, -s}, {0, s, c}};
    int m[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double v = 0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) v += toRgb[i][k] * turn[k][l] * toYiq[l][j];
            m[i][j] = static_cast<int>(std::lround(v * 4096.0));
        }
    mapPixels(px, width, height, bpp, stride, [&](std::uint8_t* p) {
        const int r = p[0], g = p[1], b = p[2];
        for (int i = 0; i < 3; ++i) p[i] = clampToByte((m[i][0] * r + m[i][1] * g + m[i][2] * b + 2048) >> 12);
    });
    return 1;
}

std::int32_t Deinterlace(std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                         std::int32_t stride, std::int32_t mode) noexcept {
    if (!validRaster(px, width, height, bpp, stride)) return 0;
    const std::size_t rowBytes = std::size_t(width) * bpp;
    for (std::int32_t y = 1; y < height; y += 2) {
        std::uint8_t* row = px + std::int64_t{y} * stride;
        const std::uint8_t* above = row - stride;
        if (mode == 1 || y + 1 >= height) {
            std::memcpy(row, above, rowBytes);
            continue;
        }
        const std::uint8_t* below = row + stride;
        for (std::size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>((above[i] + below[i] + 1) >> 1);
    }
    return 1;
}

double FindImageMean(const std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                     std::int32_t stride, std::int32_t channelMask) noexcept {
    if (!validRaster(px, width, height, bpp, stride)) return 0;
    std::uint64_t sum = 0, n = 0;
    eachPixel(const_cast<std::uint8_t*>(px), width, height, bpp, stride, [&](std::uint8_t* p) {
        for (int c = 0; c < bpp; ++c)
            if (channelMask & (1 << c)) sum += p[c], ++n;
    });
    return n ? static_cast<double>(sum) / n : 0.0;
}

double FindImageStandardDeviation(const std::uint8_t* px, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::int32_t channelMask) noexcept {
    if (!validRaster(px, width, height, bpp, stride)) return 0;
    std::uint64_t sum = 0, squares = 0, n = 0;
    eachPixel(const_cast<std::uint8_t*>(px), width, height, bpp, stride, [&](std::uint8_t* p) {
        for (int c = 0; c < bpp; ++c)
            if (channelMask & (1 << c)) sum += p[c], squares += std::uint64_t(p[c]) * p[c], ++n;
    });
    if (!n) return 0;
    const double mean = static_cast<double>(sum) / n;
    return std::sqrt(std::max(0.0, static_cast<double>(squares) / n - mean * mean));
}

std::int32_t LocalHistogramEnhancement(const std::uint8_t* src, std::int32_t width, std::int32_t height,
                                       std::int32_t bpp, std::int32_t stride, std::uint8_t* dst,
                                       std::int32_t dstStride, std::int32_t size, double mean, double deviation,
                                       double k0, double k1, double k2, double gain,
                                       std::int32_t channelMask) noexcept {
    if (!colourRaster(src, width, height, bpp, stride) || !validRaster(dst, width, height, bpp, dstStride) ||
        size < 1 || !std::isfinite(gain))
        return 0;
    try {
        cv::Mat l(height, width, CV_32F), m, m2;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* s = src + std::int64_t{y} * stride;
            float* d = l.ptr<float>(y);
            for (int x = 0; x < width; ++x) d[x] = static_cast<float>(luma(s + x * bpp));
        }
        const int k = size % 2 ? size : size + 1;
        cv::blur(l, m, cv::Size(k, k), cv::Point(-1, -1), cv::BORDER_REPLICATE);
        cv::blur(l.mul(l), m2, cv::Size(k, k), cv::Point(-1, -1), cv::BORDER_REPLICATE);
        const double meanLimit = k0 * mean, lo = k1 * deviation, hi = k2 * deviation;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* s = src + std::int64_t{y} * stride;
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            const float* pm = m.ptr<float>(y);
            const float* pm2 = m2.ptr<float>(y);
            for (int x = 0; x < width; ++x) {
                const double localDev = std::sqrt(std::max(0.0f, pm2[x] - pm[x] * pm[x]));
                const bool lift = pm[x] <= meanLimit && localDev >= lo && localDev <= hi;
                for (int c = 0; c < bpp; ++c) {
                    const std::uint8_t v = s[x * bpp + c];
                    d[x * bpp + c] = lift && (channelMask & (1 << c)) && c < 3 ? clampToByte(v * gain) : v;
                }
            }
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace plr::imaging_lib
