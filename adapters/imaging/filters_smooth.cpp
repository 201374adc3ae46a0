#include "adapters/imaging/filters_smooth.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/cv_mat.h"
#include "adapters/imaging/filters_common.h"

namespace plr::imaging_lib {
namespace {

bool validPair(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
               const std::uint8_t* dst, std::int32_t dstStride) {
    return validRasterPair(src, w, h, bpp, stride, dst, dstStride, bpp);
}

int oddSize(std::int32_t size) { return size % 2 ? size : size + 1; }

// Bilinear sample of channel values at (fx, fy), edges repeated.
void sampleBilinear(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t stride,
                    float fx, float fy, float weight, float* acc) {
    fx = std::clamp(fx, 0.0f, static_cast<float>(w - 1));
    fy = std::clamp(fy, 0.0f, static_cast<float>(h - 1));
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    const float ax = fx - x0, ay = fy - y0;
    const std::uint8_t* r0 = src + std::int64_t{y0} * stride;
    const std::uint8_t* r1 = src + std::int64_t{y1} * stride;
    const float w00 = (1 - ax) * (1 - ay) * weight, w10 = ax * (1 - ay) * weight;
    const float w01 = (1 - ax) * ay * weight, w11 = ax * ay * weight;
    for (int c = 0; c < bpp; ++c)
        acc[c] += w00 * r0[x0 * bpp + c] + w10 * r0[x1 * bpp + c] + w01 * r1[x0 * bpp + c] + w11 * r1[x1 * bpp + c];
}

constexpr int kMaxPathSamples = 256;
// Arcs and zoom streaks take a sample about every pixel of their length, up
// to this many: beyond it the samples spread out (the blur stays smooth, its
// cost bounded).
constexpr int kMaxTurnSamples = 48;

}  // namespace

std::int32_t BlurImageLevel(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t amount,
                            std::int32_t channelMask) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride)) return 0;
    return attempt([&] {
        cv::Mat out = wrap(dst, width, height, bpp, dstStride);
        cv::sepFilter2D(wrap(src, width, height, bpp, stride), out, -1, cv::Mat_<float>({1, 3}, {0.25f, 0.5f, 0.25f}),
                        cv::Mat_<float>({1, 3}, {0.25f, 0.5f, 0.25f}), cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        mixWithInput(src, stride, dst, dstStride, width, height, bpp, channelMask, std::clamp(amount, 0, 100) / 100.0);
        keepUnmaskedChannels(src, stride, dst, dstStride, width, height, bpp, channelMask);
    });
}

std::int32_t BlurImageRadius(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                             std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                             double weight, std::int32_t channelMask) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || radius < 0) return 0;
    return attempt([&] {
        cv::Mat out = wrap(dst, width, height, bpp, dstStride);
        const int k = 2 * std::min(radius, 1000) + 1;
        cv::blur(wrap(src, width, height, bpp, stride), out, cv::Size(k, k), cv::Point(-1, -1), cv::BORDER_REPLICATE);
        mixWithInput(src, stride, dst, dstStride, width, height, bpp, channelMask, std::clamp(weight, 0.0, 1.0));
        keepUnmaskedChannels(src, stride, dst, dstStride, width, height, bpp, channelMask);
    });
}

namespace {

// The straight streak as a kernel: the samples one pixel apart along the
// direction, each spread bilinearly over the kernel's cells, tapered by
// `taper`, summing to 1. OpenCV then runs it (by transform for long streaks).
cv::Mat streakKernel(float dx, float dy, float length, float taper) {
    const int samples = std::min(kMaxPathSamples, static_cast<int>(length) + 1);
    const int reach = static_cast<int>(std::ceil((samples - 1) * 0.5f)) + 1;
    cv::Mat k = cv::Mat::zeros(2 * reach + 1, 2 * reach + 1, CV_32F);
    float total = 0;
    for (int i = 0; i < samples; ++i) {
        const float t = i - (samples - 1) * 0.5f;
        const float weight = 1.0f - taper * (samples > 1 ? std::fabs(t) / ((samples - 1) * 0.5f) : 0.0f) + 1e-6f;
        const float fx = reach + dx * t, fy = reach + dy * t;
        const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
        const float ax = fx - x0, ay = fy - y0;
        k.at<float>(y0, x0) += (1 - ax) * (1 - ay) * weight;
        k.at<float>(y0, x0 + 1) += ax * (1 - ay) * weight;
        k.at<float>(y0 + 1, x0) += (1 - ax) * ay * weight;
        k.at<float>(y0 + 1, x0 + 1) += ax * ay * weight;
        total += weight;
    }
    return k / total;
}

}  // namespace

std::int32_t MotionBlur(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                        std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, double angle,
                        double distance, std::int32_t softness, std::int32_t kind) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || kind < 0 || kind > 2 ||
        !std::isfinite(angle) || !std::isfinite(distance))
        return 0;
    const float taper = std::clamp(softness, 0, 100) / 100.0f;
    const float length = static_cast<float>(std::min(std::fabs(distance), 1e6));
    if (kind == 0) {
        const double rad = angle * 3.14159265358979323846 / 180.0;
        return attempt([&] {
            cv::Mat out = wrap(dst, width, height, bpp, dstStride);
            cv::filter2D(wrap(src, width, height, bpp, stride), out, -1,
                         streakKernel(static_cast<float>(std::cos(rad)), static_cast<float>(-std::sin(rad)), length,
                                      taper),
                         cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
        });
    }
    const float cx = (width - 1) * 0.5f, cy = (height - 1) * 0.5f;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = dst + std::int64_t{y} * dstStride;
        for (std::int32_t x = 0; x < width; ++x) {
            const float rx = x - cx, ry = y - cy;
            // Arcs are centred on the pixel; zoom streaks run from it towards the centre.
            const float span = kind == 1 ? std::hypot(rx, ry) * length * 3.14159265f / 180.0f
                                         : std::hypot(rx, ry) * length / 100.0f;
            const int samples = std::min(kMaxTurnSamples, static_cast<int>(span) + 1);
            float acc[4] = {}, total = 0;
            // Arc: the offset (rx, ry) turned step by step, starting half the arc back.
            const float turn = samples > 1 ? length * 3.14159265f / 180.0f / (samples - 1) : 0.0f;
            const float ct = std::cos(turn), st = std::sin(turn);
            const float a0 = -turn * (samples - 1) * 0.5f;
            float ox = rx * std::cos(a0) - ry * std::sin(a0), oy = rx * std::sin(a0) + ry * std::cos(a0);
            const float shrink = samples > 1 ? length / 100.0f / (samples - 1) : 0.0f;
            for (int i = 0; i < samples; ++i) {
                const float t = kind == 2 ? static_cast<float>(i) : i - (samples - 1) * 0.5f;
                const float reach = samples > 1 ? std::fabs(t) / (kind == 2 ? samples - 1 : (samples - 1) * 0.5f) : 0;
                const float weight = 1.0f - taper * reach + 1e-6f;
                float fx, fy;
                if (kind == 1) {
                    fx = cx + ox, fy = cy + oy;
                    const float nx = ox * ct - oy * st;
                    oy = ox * st + oy * ct, ox = nx;
                } else {
                    fx = x - rx * shrink * t, fy = y - ry * shrink * t;
                }
                sampleBilinear(src, width, height, bpp, stride, fx, fy, weight, acc);
                total += weight;
            }
            for (int c = 0; c < bpp; ++c) out[x * bpp + c] = clampToByte(static_cast<double>(acc[c] / total));
        }
    }
    return 1;
}

std::int32_t BilateralFilterImage(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                                  std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                                  std::int32_t, double rangeSigma, std::int32_t spaceHundredths) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || (bpp != 1 && bpp != 3) || radius < 1 ||
        !(rangeSigma > 0))
        return 0;
    return attempt([&] {
        cv::Mat out = wrap(dst, width, height, bpp, dstStride);
        const int r = std::min(radius, 100);
        cv::bilateralFilter(wrap(src, width, height, bpp, stride), out, 2 * r + 1, rangeSigma * 4.0,
                            r * std::max(spaceHundredths, 1) / 100.0, cv::BORDER_REPLICATE);
    });
}

std::int32_t DespeckleImage(std::uint8_t* pixels, std::int32_t width, std::int32_t height, std::int32_t bpp,
                            std::int32_t stride, std::int32_t channelMask) noexcept {
    if (!validRaster(pixels, width, height, bpp, stride)) return 0;
    return attempt([&] {
        const cv::Mat in = wrap(pixels, width, height, bpp, stride).clone();
        const std::int64_t rowBytes = std::int64_t{width} * bpp;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* rows[3];
            for (int k = 0; k < 3; ++k) rows[k] = in.ptr<std::uint8_t>(std::clamp(y + k - 1, 0, height - 1));
            std::uint8_t* out = pixels + std::int64_t{y} * stride;
            for (std::int64_t i = 0; i < rowBytes; ++i) {
                const int c = static_cast<int>(i % bpp);
                if (!(channelMask & (1 << c))) continue;
                const std::int64_t x = i / bpp;
                std::uint8_t v[9];
                int n = 0, lo = 255, hi = 0;
                for (int k = 0; k < 3; ++k)
                    for (std::int64_t t = -1; t <= 1; ++t) {
                        const std::uint8_t s = rows[k][std::clamp<std::int64_t>(x + t, 0, width - 1) * bpp + c];
                        v[n++] = s;
                        if (k != 1 || t != 0) lo = std::min<int>(lo, s), hi = std::max<int>(hi, s);
                    }
                const int self = rows[1][i];
                if (self >= lo && self <= hi) continue;
                std::nth_element(v, v + 4, v + 9);
                out[i] = v[4];
            }
        }
    });
}

std::int32_t DustAndScratches(const std::uint8_t* src, std::int32_t width, std::int32_t height, std::int32_t bpp,
                              std::int32_t stride, std::uint8_t* dst, std::int32_t dstStride, std::int32_t radius,
                              std::int32_t threshold, double amount, std::int32_t channelMask) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || bpp == 2 || radius < 1) return 0;
    return attempt([&] {
        cv::Mat median;
        const int k = 2 * std::min(radius, 127) + 1;
        cv::Mat in = wrap(src, width, height, bpp, stride);
        if (k > 5 && bpp != 1 && bpp != 3 && bpp != 4) return;
        cv::medianBlur(in, median, k);
        const int w = static_cast<int>(std::clamp(amount, 0.0, 1.0) * 65536.0);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* s = src + std::int64_t{y} * stride;
            const std::uint8_t* m = median.ptr<std::uint8_t>(y);
            std::uint8_t* d = dst + std::int64_t{y} * dstStride;
            for (std::int64_t i = 0; i < std::int64_t{width} * bpp; ++i) {
                const int diff = m[i] - s[i];
                const bool touch = (channelMask & (1 << (i % bpp))) && std::abs(diff) > threshold;
                d[i] = touch ? static_cast<std::uint8_t>(s[i] + ((diff * w + 32768) >> 16)) : s[i];
            }
        }
    });
}

std::int32_t NeighbourhoodFilter(Neighbourhood kind, const std::uint8_t* src, std::int32_t width,
                                 std::int32_t height, std::int32_t bpp, std::int32_t stride, std::uint8_t* dst,
                                 std::int32_t dstStride, std::int32_t size, std::int32_t channelMask) noexcept {
    if (!validPair(src, width, height, bpp, stride, dst, dstStride) || bpp == 2) return 0;
    return attempt([&] {
        const cv::Mat in = wrap(src, width, height, bpp, stride);
        cv::Mat out = wrap(dst, width, height, bpp, dstStride);
        if (size <= 1) {
            in.copyTo(out);
            return;
        }
        const int k = std::min(oddSize(size), 255);
        const cv::Size box(k, k);
        const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, box);
        switch (kind) {
            case Neighbourhood::ArithmeticMean:
                cv::blur(in, out, box, cv::Point(-1, -1), cv::BORDER_REPLICATE);
                break;
            case Neighbourhood::Maximum:
                cv::dilate(in, out, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                break;
            case Neighbourhood::Minimum:
                cv::erode(in, out, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                break;
            case Neighbourhood::Midpoint: {
                cv::Mat hi, lo;
                cv::dilate(in, hi, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                cv::erode(in, lo, square, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
                cv::addWeighted(hi, 0.5, lo, 0.5, 0.0, out);
                break;
            }
            case Neighbourhood::Median:
                cv::medianBlur(in, out, k);
                break;
            case Neighbourhood::GeometricMean:
            case Neighbourhood::HarmonicMean: {
                // Mean of log(v + 1) or of 1 / (v + 1), mapped back, in floats.
                const bool geometric = kind == Neighbourhood::GeometricMean;
                float table[256];
                for (int v = 0; v < 256; ++v) table[v] = geometric ? std::log(v + 1.0f) : 1.0f / (v + 1.0f);
                cv::Mat f(height, width, CV_32FC(bpp));
                for (std::int32_t y = 0; y < height; ++y) {
                    const std::uint8_t* s = in.ptr<std::uint8_t>(y);
                    float* d = f.ptr<float>(y);
                    for (std::int64_t i = 0; i < std::int64_t{width} * bpp; ++i) d[i] = table[s[i]];
                }
                cv::blur(f, f, box, cv::Point(-1, -1), cv::BORDER_REPLICATE);
                for (std::int32_t y = 0; y < height; ++y) {
                    const float* s = f.ptr<float>(y);
                    std::uint8_t* d = out.ptr<std::uint8_t>(y);
                    for (std::int64_t i = 0; i < std::int64_t{width} * bpp; ++i)
                        d[i] = clampToByte(static_cast<double>(geometric ? std::exp(s[i]) - 1.0f : 1.0f / s[i] - 1.0f));
                }
                break;
            }
        }
        keepUnmaskedChannels(src, stride, dst, dstStride, width, height, bpp, channelMask);
    });
}

}  // namespace plr::imaging_lib
