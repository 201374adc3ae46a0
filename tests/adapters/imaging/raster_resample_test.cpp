// The resize family: properties every sound resampler has, the fast kernel
// resampler against its plain reference, the OpenCV halving against the
// exact integer path.
#include <cstring>
#include <random>
#include <vector>

#include "adapters/imaging/filter_kernels.h"
#include "adapters/imaging/raster_resample_reference.h"
#include "adapters/imaging/raster_resize.h"
#include "adapters/imaging/raster_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using RasterResample = EngineTest;

using Resize = std::int32_t (*)(const void*, std::int32_t, std::int32_t, std::int32_t, void*, std::int32_t,
                                std::int32_t, std::int32_t, std::int32_t, std::int32_t);

// All eighteen methods behind one signature: 0..3 the fixed calls, 4.. the kernels.
std::int32_t resizeBy(int method, const void* s, int w, int h, void* d, int dw, int dh, int bpp) {
    const int ss = w * bpp, ds = dw * bpp;
    switch (method) {
        case 0: return imaging_lib::DecimateImage(s, w, h, ss, d, dw, dh, ds, bpp, 1);
        case 1: return imaging_lib::SimpleResampleImage(s, w, h, ss, d, dw, dh, ds, bpp);
        case 2: return imaging_lib::ResizeImage(s, w, h, ss, d, dw, dh, ds, bpp);
        case 3: return imaging_lib::ResizeImageBicubic(s, w, h, ss, d, dw, dh, ds, bpp);
        default: return imaging_lib::ResizeFilterImage(s, w, h, ss, d, dw, dh, ds, bpp, method - 4);
    }
}
constexpr int kMethods = 4 + imaging_lib::kFilterKernelCount;

TEST_F(RasterResample, ConstantPictureStaysConstantForEveryMethod) {
    struct Case {
        int w, h, dw, dh;
    };
    const Case cases[] = {{37, 23, 17, 11}, {37, 23, 61, 40}, {20, 10, 10, 5}, {9, 7, 18, 14}, {5, 5, 1, 1}};
    for (int bpp : {1, 3, 4, 8})
        for (const Case& c : cases)
            for (int m = 0; m < kMethods; ++m) {
                std::vector<std::uint8_t> src(std::size_t(c.w) * c.h * bpp);
                for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(40 + 53 * (i % bpp));
                std::vector<std::uint8_t> dst(std::size_t(c.dw) * c.dh * bpp, 0);
                ASSERT_EQ(resizeBy(m, src.data(), c.w, c.h, dst.data(), c.dw, c.dh, bpp), 1) << m;
                for (std::size_t i = 0; i < dst.size(); ++i)
                    ASSERT_EQ(dst[i], src[i % bpp]) << "method " << m << " bpp " << bpp << " " << c.w << "->" << c.dw;
            }
}

TEST_F(RasterResample, SameSizeNearestIsExactAndDoublingThenAreaAverageReturnsTheOriginal) {
    for (int bpp : {1, 2, 3, 4, 8}) {
        const int w = 23, h = 17;
        const auto src = noise(std::size_t(w) * h * bpp, 7u + unsigned(bpp));
        std::vector<std::uint8_t> same(src.size()), big(src.size() * 4), back(src.size());
        ASSERT_EQ(imaging_lib::SimpleResampleImage(src.data(), w, h, w * bpp, same.data(), w, h, w * bpp, bpp), 1);
        EXPECT_EQ(same, src);
        // Enlargements that replicate: nearest, box and area averaging itself.
        for (int m : {0, 1, 4}) {
            ASSERT_EQ(resizeBy(m, src.data(), w, h, big.data(), 2 * w, 2 * h, bpp), 1);
            ASSERT_EQ(imaging_lib::DecimateImage(big.data(), 2 * w, 2 * h, 2 * w * bpp, back.data(), w, h, w * bpp, bpp,
                                                 1),
                      1);
            for (std::size_t i = 0; i < src.size(); ++i) ASSERT_NEAR(back[i], src[i], 1) << m << " bpp " << bpp;
        }
    }
}

TEST_F(RasterResample, KernelResamplerMatchesItsReferenceBitForBit) {
    struct Case {
        int w, h, dw, dh;
    };
    const Case cases[] = {{41, 29, 17, 13}, {19, 11, 45, 30}, {8, 8, 8, 8}, {3, 40, 7, 9}, {64, 2, 31, 5}};
    for (int bpp : {1, 2, 3, 4, 8})
        for (const Case& c : cases)
            for (int f = 0; f < imaging_lib::kFilterKernelCount; ++f) {
                const auto src = noise(std::size_t(c.w) * c.h * bpp, unsigned(f * 31 + bpp));
                std::vector<std::uint8_t> fast(std::size_t(c.dw) * c.dh * bpp, 1), plain(fast.size(), 2);
                ASSERT_EQ(imaging_lib::ResizeFilterImage(src.data(), c.w, c.h, c.w * bpp, fast.data(), c.dw, c.dh,
                                                         c.dw * bpp, bpp, f),
                          1);
                ASSERT_EQ(reference::resizeFilterImage(src.data(), c.w, c.h, c.w * bpp, plain.data(), c.dw, c.dh,
                                                       c.dw * bpp, bpp, f),
                          1);
                ASSERT_EQ(fast, plain) << imaging_lib::kFilterKernels[f].name << " bpp " << bpp << " " << c.w << "x"
                                       << c.h << "->" << c.dw << "x" << c.dh;
            }
    std::uint8_t px[4] = {};
    EXPECT_EQ(imaging_lib::ResizeFilterImage(px, 1, 1, 4, px, 1, 1, 4, 4, 14), 0);
    EXPECT_EQ(imaging_lib::ResizeFilterImage(px, 1, 1, 4, px, 1, 1, 4, 5, 0), 0);
}

TEST_F(RasterResample, HalvingThroughOpenCVMatchesTheExactAreaAverage) {
    for (int bpp : {1, 3, 4})
        for (int w : {2, 30, 66}) {
            const int h = 14;
            const auto src = noise(std::size_t(w) * h * bpp, unsigned(w + bpp));
            std::vector<std::uint8_t> fast(std::size_t(w / 2) * (h / 2) * bpp), exact(fast.size());
            ASSERT_EQ(imaging_lib::DecimateImage(src.data(), w, h, w * bpp, fast.data(), w / 2, h / 2, w / 2 * bpp,
                                                 bpp, 1),
                      1);
            ASSERT_EQ(imaging_lib::exact::decimateImage(src.data(), w, h, w * bpp, exact.data(), w / 2, h / 2,
                                                        w / 2 * bpp, bpp),
                      1);
            EXPECT_EQ(fast, exact) << bpp << " " << w;
        }
}

TEST_F(RasterResample, KernelWeightsAddUpToOneAndStayInsideTheSource) {
    for (int f = 0; f < imaging_lib::kFilterKernelCount; ++f)
        for (auto [s, d] : {std::pair{100, 7}, std::pair{7, 100}, std::pair{3, 3}, std::pair{1, 5}}) {
            imaging_lib::AxisWeights a;
            ASSERT_TRUE(imaging_lib::buildAxisWeights(f, s, d, 14, a));
            for (int o = 0; o < d; ++o) {
                int sum = 0;
                for (int k = 0; k < a.taps; ++k) sum += a.weights[std::size_t(o) * a.taps + k];
                EXPECT_EQ(sum, 1 << 14);
                EXPECT_GE(a.start[std::size_t(o)], 0);
                EXPECT_LE(a.start[std::size_t(o)] + a.taps, s);
            }
        }
}

}  // namespace
}  // namespace plr::test
