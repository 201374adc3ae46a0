#include "adapters/imaging/raster_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "adapters/imaging/cv_raster.h"
#include "core/parallel_rows.h"

namespace plr::imaging_lib {
namespace {

bool validPixelSize(std::int32_t bpp) noexcept { return bpp == 1 || bpp == 2 || bpp == 3 || bpp == 4 || bpp == 8; }

bool validRaster(const void* p, std::int32_t w, std::int32_t h, std::int32_t stride, std::int32_t bpp) noexcept {
    return p && w > 0 && h > 0 && validPixelSize(bpp) && std::int64_t{stride} >= std::int64_t{w} * bpp;
}

// A pixel of N bytes moved as one value.
template <int N>
struct Pixel {
    std::uint8_t b[N];
};
template <int N>
using PixelOf = std::conditional_t<N == 1, std::uint8_t,
                std::conditional_t<N == 2, std::uint16_t,
                std::conditional_t<N == 4, std::uint32_t,
                std::conditional_t<N == 8, std::uint64_t, Pixel<N>>>>>;

template <class P>
P load(const std::uint8_t* row, std::int64_t x) noexcept {
    P p;
    std::memcpy(&p, row + x * std::int64_t(sizeof(P)), sizeof(P));
    return p;
}

// Quarter turns in square tiles of the destination, so both sides stay in
// cache whichever way the source is walked: a tile's source columns are read
// again for each of its rows. Along a destination row the source pointer
// steps by a whole source row, down (`Left`) or up. 64 x 64 measured best for
// 8-byte pixels on 4096-pixel rows (32 slower, 128 no faster). Bands of
// destination rows go to the engine's threads.
//
// Destination (x, y) shows source (y, h - 1 - x) turning right,
// (w - 1 - y, x) turning left.
template <class P, bool Left>
void turnPixels(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int64_t ss, std::uint8_t* dst,
                std::int64_t ds, std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) noexcept {
    constexpr auto kSize = std::int64_t(sizeof(P));
    const std::int64_t step = Left ? ss : -ss;
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::uint8_t* in = Left ? src + std::int64_t{x0} * ss + std::int64_t{w - 1 - y} * kSize
                                      : src + std::int64_t{h - 1 - x0} * ss + std::int64_t{y} * kSize;
        std::uint8_t* out = dst + y * ds + std::int64_t{x0} * kSize;
        for (std::int32_t i = 0; i < x1 - x0; ++i, in += step) std::memcpy(out + i * kSize, in, sizeof(P));
    }
}

#if defined(__SSE2__) || defined(_M_X64)
// 8-byte pixels in 8 x 8 blocks: each source row's 64 bytes (one cache line
// when aligned) are read once and each destination row's 64 bytes written
// once, two pixels to a register, instead of a read per pixel from a line
// that the 32 KB row stride of a 4096-pixel layer keeps evicting from the
// first-level cache. A 2 x 2 block of pixels turns with one unpack each way.
// Destination block row j, columns i: turning left, source block row i,
// column 7 - j; turning right, source block row 7 - i, column j.
template <bool Left, bool Stream>
void turnBlock8(const std::uint8_t* src, std::int64_t ss, std::uint8_t* dst, std::int64_t ds) noexcept {
    __m128i row[8][4];  // source block row, pixel pair
    for (int r = 0; r < 8; ++r)
        for (int q = 0; q < 4; ++q)
            row[r][q] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + r * ss + q * 16));
    for (int j = 0; j < 8; ++j) {
        std::uint8_t* out = dst + j * ds;
        for (int q = 0; q < 4; ++q) {  // destination pixels 2q, 2q + 1
            __m128i v;
            if (Left) {
                // (S[2q][7 - j], S[2q + 1][7 - j])
                const int c = 7 - j;
                const __m128i a = row[2 * q][c / 2], b = row[2 * q + 1][c / 2];
                v = c % 2 == 0 ? _mm_unpacklo_epi64(a, b) : _mm_unpackhi_epi64(a, b);
            } else {
                // (S[7 - 2q][j], S[6 - 2q][j])
                const __m128i a = row[7 - 2 * q][j / 2], b = row[6 - 2 * q][j / 2];
                v = j % 2 == 0 ? _mm_unpacklo_epi64(a, b) : _mm_unpackhi_epi64(a, b);
            }
            if (Stream)
                _mm_stream_si128(reinterpret_cast<__m128i*>(out + q * 16), v);
            else
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + q * 16), v);
        }
    }
}

template <bool Left>
void turnBlocks8(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int64_t ss, std::uint8_t* dst,
                 std::int64_t ds, std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) noexcept {
    // Destination block (x, y) of 8 x 8 starts at source column w - 8 - y,
    // row x (left), or column y, row h - 8 - x (right). Destination rows of
    // whole cache lines (64-byte boundaries) are written past the cache: the
    // turned picture is not read back soon, and this saves reading each line
    // before writing it.
    const bool stream = (reinterpret_cast<std::uintptr_t>(dst) | std::uintptr_t(ds)) % 64 == 0;
    for (std::int32_t y = y0; y < y1; y += 8)
        for (std::int32_t x = x0; x < x1; x += 8) {
            const std::uint8_t* in = Left ? src + std::int64_t{x} * ss + std::int64_t{w - 8 - y} * 8
                                          : src + std::int64_t{h - 8 - x} * ss + std::int64_t{y} * 8;
            std::uint8_t* out = dst + y * ds + std::int64_t{x} * 8;
            if (stream)
                turnBlock8<Left, true>(in, ss, out, ds);
            else
                turnBlock8<Left, false>(in, ss, out, ds);
        }
    if (stream) _mm_sfence();
}
#endif

template <class P, bool Left>
void quarterTurn(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int64_t ss, std::uint8_t* dst,
                 std::int64_t ds) noexcept {
    constexpr std::int32_t kTile = 64;
    const std::int32_t dw = h, dh = w;
    parallelRows(dh, kTile, [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t ty = y0; ty < y1; ty += kTile) {
            const std::int32_t yEnd = std::min(y1, ty + kTile);
            for (std::int32_t tx = 0; tx < dw; tx += kTile) {
                const std::int32_t xEnd = std::min(dw, tx + kTile);
#if defined(__SSE2__) || defined(_M_X64)
                if constexpr (sizeof(P) == 8) {
                    // Whole 8 x 8 blocks, then the tile's last columns and rows pixel by pixel.
                    const std::int32_t xBlocks = tx + (xEnd - tx) / 8 * 8, yBlocks = ty + (yEnd - ty) / 8 * 8;
                    turnBlocks8<Left>(src, w, h, ss, dst, ds, tx, xBlocks, ty, yBlocks);
                    turnPixels<P, Left>(src, w, h, ss, dst, ds, xBlocks, xEnd, ty, yBlocks);
                    turnPixels<P, Left>(src, w, h, ss, dst, ds, tx, xEnd, yBlocks, yEnd);
                    continue;
                }
#endif
                turnPixels<P, Left>(src, w, h, ss, dst, ds, tx, xEnd, ty, yEnd);
            }
        }
    });
}

// A half turn: each destination row is a source row read backwards.
template <class P>
void halfTurn(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int64_t ss, std::uint8_t* dst,
              std::int64_t ds) noexcept {
    constexpr auto kSize = std::int64_t(sizeof(P));
    parallelRows(h, minBandRows(std::int64_t{w} * kSize), [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t y = y0; y < y1; ++y) {
            const std::uint8_t* in = src + std::int64_t{h - 1 - y} * ss + std::int64_t{w - 1} * kSize;
            std::uint8_t* out = dst + y * ds;
            for (std::int32_t x = 0; x < w; ++x, in -= kSize) std::memcpy(out + x * kSize, in, sizeof(P));
        }
    });
}

template <class P>
void turn(const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int64_t ss, std::uint8_t* dst,
          std::int64_t ds, std::int32_t selector) noexcept {
    if (selector == 0) quarterTurn<P, false>(src, w, h, ss, dst, ds);
    else if (selector == 2) quarterTurn<P, true>(src, w, h, ss, dst, ds);
    else halfTurn<P>(src, w, h, ss, dst, ds);
}

template <class P>
void mirrorRows(std::uint8_t* image, std::int32_t w, std::int32_t h, std::int64_t stride) noexcept {
    parallelRows(h, minBandRows(std::int64_t{w} * std::int64_t(sizeof(P))), [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t y = y0; y < y1; ++y) {
            std::uint8_t* row = image + y * stride;
            for (std::int32_t a = 0, b = w - 1; a < b; ++a, --b) {
                const P pa = load<P>(row, a), pb = load<P>(row, b);
                std::memcpy(row + std::int64_t(a) * std::int64_t(sizeof(P)), &pb, sizeof(P));
                std::memcpy(row + std::int64_t(b) * std::int64_t(sizeof(P)), &pa, sizeof(P));
            }
        }
    });
}

// Sums within this much above a whole number count as that number.
constexpr double kSizeSlack = 1e-3;

std::int32_t rotate(const void* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int32_t ss, void* dst,
                    std::int32_t ds, std::int64_t dstBytes, std::uint32_t fill, double radians,
                    std::int32_t quality) noexcept {
    if (!validRaster(src, w, h, ss, bpp) || !dst || quality < 0 || quality > 2) return 0;
    std::int32_t rw = 0, rh = 0;
    if (!GetRotatedPixelSize(radians, w, h, &rw, &rh)) return 0;
    if (std::int64_t{ds} < std::int64_t{rw} * bpp) return 0;
    if (dstBytes >= 0 && std::int64_t{ds} * (rh - 1) + std::int64_t{rw} * bpp > dstBytes) return 0;
    try {
        const int type = cv_raster::matType(bpp);
        const cv::Mat in(h, w, type, const_cast<void*>(src), static_cast<std::size_t>(ss));
        cv::Mat out(rh, rw, type, dst, static_cast<std::size_t>(ds));
        const double c = std::cos(radians), s = std::sin(radians);
        // Destination pixel centre -> source pixel centre, about both centres.
        const double csx = w * 0.5 - 0.5, csy = h * 0.5 - 0.5, cdx = rw * 0.5 - 0.5, cdy = rh * 0.5 - 0.5;
        const cv::Matx23d m(c, -s, csx - c * cdx + s * cdy, s, c, csy - s * cdx - c * cdy);
        static constexpr int kInterpolation[] = {cv::INTER_NEAREST, cv::INTER_LINEAR, cv::INTER_CUBIC};
        double v[4];
        cv_raster::channelValues(bpp, fill, v);
        cv::warpAffine(in, out, m, out.size(), kInterpolation[quality] | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT,
                       cv::Scalar(v[0], v[1], v[2], v[3]));
        return out.data == dst ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::int32_t CropImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride, void* dst,
                       std::int32_t dstStride, const LibRect* rect, std::int32_t bytesPerPixel) noexcept {
    if (!validRaster(src, width, height, srcStride, bytesPerPixel) || !dst || !rect) return 0;
    const LibRect r = *rect;
    if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height || r.left >= r.right || r.top >= r.bottom)
        return 0;
    const std::size_t rowBytes = std::size_t(r.right - r.left) * std::size_t(bytesPerPixel);
    if (std::int64_t{dstStride} < static_cast<std::int64_t>(rowBytes)) return 0;
    const auto* s = static_cast<const std::uint8_t*>(src) + std::int64_t{r.top} * srcStride +
                    std::int64_t{r.left} * bytesPerPixel;
    auto* d = static_cast<std::uint8_t*>(dst);
    parallelRows(r.bottom - r.top, minBandRows(static_cast<std::int64_t>(rowBytes)), [&](std::int32_t y0, std::int32_t y1) {
        for (std::int64_t y = y0; y < y1; ++y) std::memcpy(d + y * dstStride, s + y * srcStride, rowBytes);
    });
    return 1;
}

std::int32_t QuickRotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                              void* dst, std::int32_t dstStride, std::int32_t selector,
                              std::int32_t bytesPerPixel) noexcept {
    if (!validRaster(src, width, height, srcStride, bytesPerPixel) || !dst || selector < 0 || selector > 2) return 0;
    const std::int32_t dw = selector == 1 ? width : height;
    if (std::int64_t{dstStride} < std::int64_t{dw} * bytesPerPixel) return 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    using Turn = void (*)(const std::uint8_t*, std::int32_t, std::int32_t, std::int64_t, std::uint8_t*, std::int64_t,
                          std::int32_t) noexcept;
    static constexpr Turn kTurns[] = {nullptr, turn<PixelOf<1>>, turn<PixelOf<2>>, turn<PixelOf<3>>,
                                      turn<PixelOf<4>>, nullptr, nullptr, nullptr, turn<PixelOf<8>>};
    kTurns[bytesPerPixel](s, width, height, srcStride, d, dstStride, selector);
    return 1;
}

std::int32_t HorizontalFlipImage(void* image, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                                 std::int32_t stride) noexcept {
    if (!validRaster(image, width, height, stride, bytesPerPixel)) return 0;
    using Mirror = void (*)(std::uint8_t*, std::int32_t, std::int32_t, std::int64_t) noexcept;
    static constexpr Mirror kMirrors[] = {nullptr, mirrorRows<PixelOf<1>>, mirrorRows<PixelOf<2>>,
                                          mirrorRows<PixelOf<3>>, mirrorRows<PixelOf<4>>, nullptr, nullptr, nullptr,
                                          mirrorRows<PixelOf<8>>};
    kMirrors[bytesPerPixel](static_cast<std::uint8_t*>(image), width, height, stride);
    return 1;
}

std::int32_t VerticalFlipImage(void* image, std::int32_t rowBytes, std::int32_t height) noexcept {
    if (!image || rowBytes <= 0 || height <= 0) return 0;
    auto* base = static_cast<std::uint8_t*>(image);
    // Bands of row pairs: pair a is rows a and height - 1 - a.
    parallelRows(height / 2, minBandRows(rowBytes), [&](std::int32_t a0, std::int32_t a1) {
        for (std::int64_t a = a0; a < a1; ++a) {
            const std::int64_t b = height - 1 - a;
            std::swap_ranges(base + a * rowBytes, base + (a + 1) * rowBytes, base + b * rowBytes);
        }
    });
    return 1;
}

std::int32_t GetRotatedPixelSize(double radians, std::int32_t width, std::int32_t height, std::int32_t* rotatedWidth,
                                 std::int32_t* rotatedHeight) noexcept {
    if (!rotatedWidth || !rotatedHeight || width <= 0 || height <= 0 || !std::isfinite(radians)) return 0;
    const double c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
    const double rw = std::ceil(width * c + height * s - kSizeSlack);
    const double rh = std::ceil(width * s + height * c - kSizeSlack);
    if (rw > double(1 << 30) || rh > double(1 << 30)) return 0;
    *rotatedWidth = std::max(1, static_cast<std::int32_t>(rw));
    *rotatedHeight = std::max(1, static_cast<std::int32_t>(rh));
    return 1;
}

std::int32_t RotateImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                         std::int32_t srcStride, void* dst, std::int32_t dstStride, std::int64_t dstBytes,
                         std::uint32_t fillColour, std::int32_t reserved, double radians,
                         std::int32_t quality) noexcept {
    if (reserved != 0 || dstBytes < 0) return 0;
    return rotate(src, width, height, bytesPerPixel, srcStride, dst, dstStride, dstBytes, fillColour, radians, quality);
}

std::int32_t RotateImage40(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                           std::int32_t srcStride, void* dst, std::int32_t dstStride, std::uint32_t fillColour,
                           std::int32_t reserved, double radians, std::int32_t quality) noexcept {
    if (reserved != 0) return 0;
    return rotate(src, width, height, bytesPerPixel, srcStride, dst, dstStride, -1, fillColour, radians, quality);
}

}  // namespace plr::imaging_lib
