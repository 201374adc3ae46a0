// ResizeFilterImage: one separable resampler for the fourteen kernels of
// filter_kernels.h. OpenCV has none of these kernels (its Lanczos has four
// lobes and does not widen when shrinking), so the passes are ours: each
// source row the output needs is filtered horizontally once into a ring of
// rows, then every destination row is a weighted sum of ring rows. All
// memory is taken before the first pixel; bands of destination rows run on
// the engine's threads.
#include <algorithm>
#include <cstring>

#include "adapters/imaging/filter_kernels.h"
#include "adapters/imaging/raster_resize.h"
#include "core/parallel_rows.h"

namespace plr::imaging_lib {
namespace {

template <class C, class Acc, int CH>
void horizontalPass(const C* row, Acc* out, std::int32_t dw, const AxisWeights& xw) noexcept {
    const std::int32_t taps = xw.taps;
    const std::int32_t* w = xw.weights.data();
    for (std::int32_t ox = 0; ox < dw; ++ox, w += taps) {
        const C* p = row + std::int64_t{xw.start[std::size_t(ox)]} * CH;
        Acc sum[CH] = {};
        for (std::int32_t k = 0; k < taps; ++k, p += CH)
            for (int c = 0; c < CH; ++c) sum[c] += Acc{w[k]} * Acc{p[c]};
        for (int c = 0; c < CH; ++c) out[std::int64_t{ox} * CH + c] = roundIntermediate<Acc>(sum[c]);
    }
}

// One band of destination rows [y0, y1) with its own ring.
template <class C, class Acc, int CH>
void resampleRows(const std::uint8_t* src, std::int32_t ss, std::uint8_t* dst, std::int32_t dw, std::int32_t ds,
                  const AxisWeights& xw, const AxisWeights& yw, Acc* ring, Acc* acc, std::int32_t* ringRow,
                  const Acc** rows, std::int32_t y0, std::int32_t y1) noexcept {
    const std::size_t rowValues = std::size_t(dw) * CH;
    const std::int32_t taps = yw.taps;
    std::fill(ringRow, ringRow + taps, -1);
    const Acc maxValue = static_cast<Acc>(C(~C{0}));
    for (std::int32_t oy = y0; oy < y1; ++oy) {
        const std::int32_t first = yw.start[std::size_t(oy)];
        for (std::int32_t k = 0; k < taps; ++k) {
            const std::int32_t sy = first + k, slot = sy % taps;
            Acc* r = ring + std::size_t(slot) * rowValues;
            if (ringRow[slot] != sy) {
                horizontalPass<C, Acc, CH>(reinterpret_cast<const C*>(src + std::int64_t{sy} * ss), r, dw, xw);
                ringRow[slot] = sy;
            }
            rows[k] = r;
        }
        const std::int32_t* w = yw.weights.data() + std::size_t(oy) * std::size_t(taps);
        const Acc w0 = w[0];
        const Acc* r0 = rows[0];
        for (std::size_t i = 0; i < rowValues; ++i) acc[i] = w0 * r0[i];
        for (std::int32_t k = 1; k < taps; ++k) {
            if (w[k] == 0) continue;
            const Acc wk = w[k];
            const Acc* rk = rows[k];
            for (std::size_t i = 0; i < rowValues; ++i) acc[i] += wk * rk[i];
        }
        C* out = reinterpret_cast<C*>(dst + std::int64_t{oy} * ds);
        for (std::size_t i = 0; i < rowValues; ++i) out[i] = static_cast<C>(finishChannel<Acc>(acc[i], maxValue));
    }
}

// Bands of destination rows on the engine's threads, each with a ring of its
// own (the source rows two bands share are filtered twice).
template <class C, class Acc, int CH>
std::int32_t resample(const std::uint8_t* src, std::int32_t ss, std::uint8_t* dst, std::int32_t dw, std::int32_t dh,
                      std::int32_t ds, const AxisWeights& xw, const AxisWeights& yw) noexcept {
    const std::size_t rowValues = std::size_t(dw) * CH, taps = std::size_t(yw.taps);
    const std::int32_t minRows = minBandRows(std::int64_t(rowValues * sizeof(C)) * yw.taps);
    const auto bands = static_cast<std::size_t>(bandsFor(dh, minRows));
    Block<Acc> ring, sum;
    Block<std::int32_t> ringRow;  // which source row each ring slot holds
    Block<const Acc*> rows;
    if (!ring.allocate(bands * rowValues * taps) || !sum.allocate(bands * rowValues) ||
        !ringRow.allocate(bands * taps) || !rows.allocate(bands * taps))
        return 0;
    try {
        parallelBands(dh, minRows, [&](std::int32_t b, std::int32_t y0, std::int32_t y1) {
            const auto k = static_cast<std::size_t>(b);
            resampleRows<C, Acc, CH>(src, ss, dst, dw, ds, xw, yw, ring.data() + k * rowValues * taps,
                                     sum.data() + k * rowValues, ringRow.data() + k * taps, rows.data() + k * taps,
                                     y0, y1);
        });
    } catch (...) {
        return 0;
    }
    return 1;
}

using Resampler = std::int32_t (*)(const std::uint8_t*, std::int32_t, std::uint8_t*, std::int32_t, std::int32_t,
                                   std::int32_t, const AxisWeights&, const AxisWeights&) noexcept;
// By bytes per pixel: 8-bit channels accumulate in 32 bits, 16-bit ones in 64.
constexpr Resampler kResamplers[] = {
    nullptr,
    resample<std::uint8_t, std::int32_t, 1>,
    resample<std::uint16_t, std::int64_t, 1>,
    resample<std::uint8_t, std::int32_t, 3>,
    resample<std::uint8_t, std::int32_t, 4>,
    nullptr,
    nullptr,
    nullptr,
    resample<std::uint16_t, std::int64_t, 4>,
};

}  // namespace

std::int32_t ResizeFilterImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                               void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                               std::int32_t bytesPerPixel, std::int32_t filter) noexcept {
    if (!src || !dst || bytesPerPixel < 1 || bytesPerPixel > 8 || !kResamplers[bytesPerPixel]) return 0;
    if (width < 1 || height < 1 || dstWidth < 1 || dstHeight < 1) return 0;
    if (std::int64_t{srcStride} < std::int64_t{width} * bytesPerPixel ||
        std::int64_t{dstStride} < std::int64_t{dstWidth} * bytesPerPixel)
        return 0;
    AxisWeights xw, yw;
    if (!buildAxisWeights(filter, width, dstWidth, kHorizontalBits, xw) ||
        !buildAxisWeights(filter, height, dstHeight, kVerticalBits, yw))
        return 0;
    return kResamplers[bytesPerPixel](static_cast<const std::uint8_t*>(src), srcStride,
                                      static_cast<std::uint8_t*>(dst), dstWidth, dstHeight, dstStride, xw, yw);
}

}  // namespace plr::imaging_lib
