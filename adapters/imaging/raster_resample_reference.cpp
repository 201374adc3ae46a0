#include "adapters/imaging/raster_resample_reference.h"

#include <cstring>

#include "adapters/imaging/filter_kernels.h"

namespace plr::reference {
namespace {

template <class C, class Acc>
void resample(const std::uint8_t* src, std::int32_t ss, std::uint8_t* dst, std::int32_t dw, std::int32_t dh,
              std::int32_t ds, int channels, const imaging_lib::AxisWeights& xw,
              const imaging_lib::AxisWeights& yw) {
    const Acc maxValue = static_cast<Acc>(C(~C{0}));
    for (std::int32_t oy = 0; oy < dh; ++oy)
        for (std::int32_t ox = 0; ox < dw; ++ox)
            for (int c = 0; c < channels; ++c) {
                Acc vertical = 0;
                for (std::int32_t ky = 0; ky < yw.taps; ++ky) {
                    const std::int32_t sy = yw.start[std::size_t(oy)] + ky;
                    Acc horizontal = 0;
                    for (std::int32_t kx = 0; kx < xw.taps; ++kx) {
                        const std::int32_t sx = xw.start[std::size_t(ox)] + kx;
                        C v;
                        std::memcpy(&v, src + std::int64_t{sy} * ss + (std::int64_t{sx} * channels + c) * sizeof(C),
                                    sizeof(C));
                        horizontal += Acc{xw.weights[std::size_t(ox) * xw.taps + kx]} * Acc{v};
                    }
                    vertical += Acc{yw.weights[std::size_t(oy) * yw.taps + ky]} *
                                imaging_lib::roundIntermediate<Acc>(horizontal);
                }
                const C out = static_cast<C>(imaging_lib::finishChannel<Acc>(vertical, maxValue));
                std::memcpy(dst + std::int64_t{oy} * ds + (std::int64_t{ox} * channels + c) * sizeof(C), &out,
                            sizeof(C));
            }
}

}  // namespace

std::int32_t resizeFilterImage(const void* src, std::int32_t width, std::int32_t height, std::int32_t srcStride,
                               void* dst, std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t dstStride,
                               std::int32_t bytesPerPixel, std::int32_t filter) noexcept {
    if (!src || !dst) return 0;
    if (bytesPerPixel != 1 && bytesPerPixel != 2 && bytesPerPixel != 3 && bytesPerPixel != 4 && bytesPerPixel != 8)
        return 0;
    imaging_lib::AxisWeights xw, yw;
    if (!imaging_lib::buildAxisWeights(filter, width, dstWidth, imaging_lib::kHorizontalBits, xw) ||
        !imaging_lib::buildAxisWeights(filter, height, dstHeight, imaging_lib::kVerticalBits, yw))
        return 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    if (bytesPerPixel == 2 || bytesPerPixel == 8)
        resample<std::uint16_t, std::int64_t>(s, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel / 2, xw, yw);
    else
        resample<std::uint8_t, std::int32_t>(s, srcStride, d, dstWidth, dstHeight, dstStride, bytesPerPixel, xw, yw);
    return 1;
}

}  // namespace plr::reference
