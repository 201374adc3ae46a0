#include "adapters/imaging/raster_resize.h"

#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/cv_raster.h"

#include "core/block.h"
#include "core/parallel_rows.h"
#include "core/sizes.h"

namespace plr::imaging_lib {
namespace {

bool validPixelSize(std::int32_t bpp) noexcept {
    return bpp == 1 || bpp == 2 || bpp == 3 || bpp == 4 || bpp == 8;
}

bool validRasters(const void* src, std::int32_t w, std::int32_t h, std::int32_t ss, const void* dst,
                  std::int32_t dw, std::int32_t dh, std::int32_t ds, std::int32_t bpp) noexcept {
    if (!src || !dst || !validPixelSize(bpp)) return false;
    if (w <= 0 || h <= 0 || dw <= 0 || dh <= 0) return false;
    return std::int64_t{ss} >= std::int64_t{w} * bpp && std::int64_t{ds} >= std::int64_t{dw} * bpp;
}

// Source pixel i spans [i * D, (i + 1) * D) and destination pixel o spans
// [o * S, (o + 1) * S) in units of 1/(S * D) of the axis; the weights of one
// destination pixel are the overlaps and add up to S.
template <class C>
std::int32_t decimate(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t ss,
                      std::uint8_t* dst, std::int32_t dw, std::int32_t dh, std::int32_t ds, int channels) {
    const std::size_t n = saturatingProduct(static_cast<std::uint64_t>(dw), static_cast<std::uint64_t>(channels));
    // Each band of destination rows has its own horizontal sums of one source
    // row and vertical accumulation of one destination row, n values each.
    const std::int32_t minRows = minBandRows(std::int64_t{ss} * std::max<std::int64_t>(1, h / dh));
    const auto bands = static_cast<std::size_t>(bandsFor(dh, minRows));
    Block<std::uint64_t> scratch;
    if (n > SIZE_MAX / 2 / bands || !scratch.allocate(bands * n * 2)) return 0;
    const std::uint64_t total = std::uint64_t(w) * std::uint64_t(h);
    const auto band = [&](std::int32_t b, std::int32_t y0, std::int32_t y1) {
        std::uint64_t* rows = scratch.data() + std::size_t(b) * n * 2;
        std::uint64_t* acc = rows + n;
        for (std::int32_t oy = y0; oy < y1; ++oy) {
            for (std::size_t i = 0; i < n; ++i) acc[i] = 0;
            const std::int64_t ylo = std::int64_t{oy} * h, yhi = std::int64_t{oy + 1} * h;
            for (std::int64_t sy = ylo / dh; sy <= (yhi - 1) / dh; ++sy) {
                const std::int64_t wy =
                    std::min<std::int64_t>((sy + 1) * dh, yhi) - std::max<std::int64_t>(sy * dh, ylo);
                const C* srow = reinterpret_cast<const C*>(src + sy * ss);
                for (std::int32_t ox = 0; ox < dw; ++ox) {
                    const std::int64_t xlo = std::int64_t{ox} * w, xhi = std::int64_t{ox + 1} * w;
                    std::uint64_t* r = rows + std::size_t(ox) * channels;
                    for (int c = 0; c < channels; ++c) r[c] = 0;
                    for (std::int64_t sx = xlo / dw; sx <= (xhi - 1) / dw; ++sx) {
                        const std::uint64_t wx = std::uint64_t(std::min<std::int64_t>((sx + 1) * dw, xhi) -
                                                               std::max<std::int64_t>(sx * dw, xlo));
                        const C* p = srow + sx * channels;
                        for (int c = 0; c < channels; ++c) r[c] += wx * p[c];
                    }
                }
                for (std::size_t i = 0; i < n; ++i) acc[i] += rows[i] * std::uint64_t(wy);
            }
            C* drow = reinterpret_cast<C*>(dst + std::int64_t{oy} * ds);
            for (std::size_t i = 0; i < n; ++i) drow[i] = static_cast<C>((acc[i] + total / 2) / total);
        }
    };
    try {
        parallelBands(dh, minRows, band);
    } catch (...) {
        return 0;
    }
    return 1;
}

// Position of destination pixel o in source pixels, 8 fractional bits,
// clamped to 0..(S - 1) * 256.
std::int64_t sourcePosition(std::int32_t o, std::int32_t s, std::int32_t d) noexcept {
    const std::int64_t pos = ((2 * std::int64_t{o} + 1) * s * 256 - std::int64_t{d} * 256) / (2 * std::int64_t{d});
    const std::int64_t hi = std::int64_t{s - 1} * 256;
    return pos < 0 ? 0 : pos > hi ? hi : pos;
}

template <class C>
std::int32_t bilinear(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t ss,
                      std::uint8_t* dst, std::int32_t dw, std::int32_t dh, std::int32_t ds, int channels) {
    Block<std::int32_t> xs;
    if (!xs.allocate(static_cast<std::size_t>(dw))) return 0;
    for (std::int32_t ox = 0; ox < dw; ++ox) xs[ox] = static_cast<std::int32_t>(sourcePosition(ox, w, dw));
    // Bands of destination rows on the engine's threads.
    parallelRows(dh, minBandRows(std::int64_t{dw} * channels * std::int64_t(sizeof(C))), [&](std::int32_t b0,
                                                                                             std::int32_t b1) {
        for (std::int32_t oy = b0; oy < b1; ++oy) {
            const std::int64_t py = sourcePosition(oy, h, dh);
            const std::int64_t y0 = py >> 8, y1 = y0 + 1 < h ? y0 + 1 : y0;
            const std::uint64_t fy = std::uint64_t(py & 255);
            const C* r0 = reinterpret_cast<const C*>(src + y0 * ss);
            const C* r1 = reinterpret_cast<const C*>(src + y1 * ss);
            C* out = reinterpret_cast<C*>(dst + std::int64_t{oy} * ds);
            for (std::int32_t ox = 0; ox < dw; ++ox) {
                const std::int32_t x0 = xs[ox] >> 8, x1 = x0 + 1 < w ? x0 + 1 : x0;
                const std::uint64_t fx = std::uint64_t(xs[ox] & 255);
                for (int c = 0; c < channels; ++c) {
                    const std::uint64_t top = r0[x0 * channels + c] * (256 - fx) + r0[x1 * channels + c] * fx;
                    const std::uint64_t bot = r1[x0 * channels + c] * (256 - fx) + r1[x1 * channels + c] * fx;
                    out[ox * channels + c] = static_cast<C>((top * (256 - fy) + bot * fy + 32768) >> 16);
                }
            }
        }
    });
    return 1;
}

// OpenCV's resize over the caller's rasters; false when it throws or would
// have reallocated the destination.
bool cvResize(const void* src, std::int32_t w, std::int32_t h, std::int32_t ss, void* dst, std::int32_t dw,
              std::int32_t dh, std::int32_t ds, std::int32_t bpp, int interpolation) noexcept {
    try {
        const int type = cv_raster::matType(bpp);
        const cv::Mat in(h, w, type, const_cast<void*>(src), static_cast<std::size_t>(ss));
        cv::Mat out(dh, dw, type, dst, static_cast<std::size_t>(ds));
        cv::resize(in, out, out.size(), 0, 0, interpolation);
        return out.data == dst;
    } catch (...) {
        return false;
    }
}

// Halving both sides of 8-bit pixels: OpenCV averages each 2 x 2 block as
// (a + b + c + d + 2) >> 2, the exact rounded mean.
bool isExactHalving(std::int32_t w, std::int32_t h, std::int32_t dw, std::int32_t dh, std::int32_t bpp) noexcept {
    return (bpp == 1 || bpp == 3 || bpp == 4) && w == 2 * dw && h == 2 * dh;
}

template <class P>
void nearest(const std::uint8_t* src, std::int32_t ss, std::uint8_t* dst, std::int32_t dw, std::int32_t dh,
             std::int32_t ds, const std::int32_t* xs, std::int32_t h) noexcept {
    parallelRows(dh, minBandRows(std::int64_t{dw} * std::int64_t(sizeof(P))), [&](std::int32_t b0, std::int32_t b1) {
        for (std::int32_t oy = b0; oy < b1; ++oy) {
            const std::int64_t sy = (2 * std::int64_t{oy} + 1) * h / (2 * std::int64_t{dh});
            const auto* row = src + sy * ss;
            auto* out = dst + std::int64_t{oy} * ds;
            for (std::int32_t ox = 0; ox < dw; ++ox)
                std::memcpy(out + std::int64_t{ox} * sizeof(P), row + xs[ox], sizeof(P));
        }
    });
}

template <int N>
struct Bytes {
    std::uint8_t b[N];
};

}  // namespace

std::int32_t exact::decimateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                           void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                           std::int32_t bytesPerPixel) noexcept {
    if (!validRasters(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel)) return 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    if (bytesPerPixel == 2 || bytesPerPixel == 8)
        return decimate<std::uint16_t>(s, width, height, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel / 2);
    return decimate<std::uint8_t>(s, width, height, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel);
}

std::int32_t DecimateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                           void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                           std::int32_t bytesPerPixel, std::int32_t /*flags*/) noexcept {
    if (!validRasters(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel)) return 0;
    if (isExactHalving(width, height, dstWidth, dstHeight, bytesPerPixel) &&
        cvResize(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel, cv::INTER_AREA))
        return 1;
    return exact::decimateImage(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel);
}

std::int32_t SimpleResampleImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                 void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                                 std::int32_t bytesPerPixel) noexcept {
    if (!validRasters(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel)) return 0;
    Block<std::int32_t> xs;  // byte offset of each destination column's source pixel
    if (!xs.allocate(std::size_t(dstWidth))) return 0;
    for (std::int32_t ox = 0; ox < dstWidth; ++ox)
        xs[std::size_t(ox)] = static_cast<std::int32_t>((2 * std::int64_t{ox} + 1) * width / (2 * std::int64_t{dstWidth})) *
                              bytesPerPixel;
    using Nearest = void (*)(const std::uint8_t*, std::int32_t, std::uint8_t*, std::int32_t, std::int32_t, std::int32_t,
                             const std::int32_t*, std::int32_t) noexcept;
    static constexpr Nearest kNearest[] = {nullptr,        nearest<std::uint8_t>, nearest<std::uint16_t>,
                                           nearest<Bytes<3>>, nearest<std::uint32_t>, nullptr,
                                           nullptr,        nullptr,               nearest<std::uint64_t>};
    kNearest[bytesPerPixel](static_cast<const std::uint8_t*>(src), srcStride, static_cast<std::uint8_t*>(dst), dstWidth,
                            dstHeight, dstStride, xs.data(), height);
    return 1;
}

std::int32_t ResizeImageBicubic(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                                void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                                std::int32_t bytesPerPixel) noexcept {
    if (!validRasters(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel)) return 0;
    return cvResize(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel, cv::INTER_CUBIC)
               ? 1
               : 0;
}

std::int32_t ResizeImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                         void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                         std::int32_t bytesPerPixel) noexcept {
    if (!validRasters(src, width, height, srcStride, dst, dstWidth, dstHeight, dstStride, bytesPerPixel)) return 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    if (bytesPerPixel == 2 || bytesPerPixel == 8)
        return bilinear<std::uint16_t>(s, width, height, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel / 2);
    return bilinear<std::uint8_t>(s, width, height, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel);
}

}  // namespace plr::imaging_lib
