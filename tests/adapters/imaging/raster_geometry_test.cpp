// Crops, flips, quarter turns and turns by any angle, against the pixel
// mappings they promise.
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_geometry_reference.h"
#include "adapters/imaging/raster_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using RasterGeometry = EngineTest;

const std::uint8_t* at(const std::vector<std::uint8_t>& v, int w, int bpp, int x, int y) {
    return v.data() + (std::size_t(y) * w + x) * bpp;
}

TEST_F(RasterGeometry, QuarterTurnsMovePixelsAsSeenOnScreen) {
    const int w = 67, h = 45;  // more than one 64-pixel tile each way
    for (int bpp : {1, 2, 3, 4, 8}) {
        const auto src = noise(std::size_t(w) * h * bpp, unsigned(bpp));
        std::vector<std::uint8_t> right(src.size()), left(src.size()), half(src.size()), back(src.size());
        ASSERT_EQ(imaging_lib::QuickRotateImage(src.data(), w, h, w * bpp, right.data(), h * bpp, 0, bpp), 1);
        ASSERT_EQ(imaging_lib::QuickRotateImage(src.data(), w, h, w * bpp, left.data(), h * bpp, 2, bpp), 1);
        ASSERT_EQ(imaging_lib::QuickRotateImage(src.data(), w, h, w * bpp, half.data(), w * bpp, 1, bpp), 1);
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x) {
                // Clockwise: the top-left corner goes to the top right.
                ASSERT_EQ(std::memcmp(at(right, h, bpp, x, y), at(src, w, bpp, y, h - 1 - x), bpp), 0);
                ASSERT_EQ(std::memcmp(at(left, h, bpp, x, y), at(src, w, bpp, w - 1 - y, x), bpp), 0);
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(std::memcmp(at(half, w, bpp, x, y), at(src, w, bpp, w - 1 - x, h - 1 - y), bpp), 0);
        ASSERT_EQ(imaging_lib::QuickRotateImage(right.data(), h, w, h * bpp, back.data(), w * bpp, 2, bpp), 1);
        EXPECT_EQ(back, src);
    }
    std::uint8_t px[4] = {};
    EXPECT_EQ(imaging_lib::QuickRotateImage(px, 1, 1, 4, px + 1, 4, 3, 4), 0);
}

TEST_F(RasterGeometry, TiledTurnsMatchThePlainTurnOnPaddedRowsOfOddSizes) {
    std::mt19937 rng(33);
    for (int draw = 0; draw < 24; ++draw) {
        const int bpp = std::array{1, 2, 3, 4, 8}[std::size_t(draw) % 5];
        const int w = 1 + int(rng() % 150), h = 1 + int(rng() % 150), pad = int(rng() % 3) * bpp + int(rng() % 2);
        const int ss = w * bpp + pad;
        const auto src = noise(std::size_t(ss) * h, unsigned(draw));
        for (int selector = 0; selector < 3; ++selector) {
            const int dw = selector == 1 ? w : h, dh = selector == 1 ? h : w, ds = dw * bpp + pad;
            std::vector<std::uint8_t> fast(std::size_t(ds) * dh, 7), plain(fast.size(), 7);
            ASSERT_EQ(imaging_lib::QuickRotateImage(src.data(), w, h, ss, fast.data(), ds, selector, bpp), 1);
            ASSERT_EQ(reference::quickRotateImage(src.data(), w, h, ss, plain.data(), ds, selector, bpp), 1);
            ASSERT_EQ(fast, plain) << w << "x" << h << " bpp " << bpp << " selector " << selector;
        }
    }
}

TEST_F(RasterGeometry, FlipsMirrorAndUndoThemselves) {
    const int w = 13, h = 6;
    for (int bpp : {1, 2, 3, 4, 8}) {
        const auto src = noise(std::size_t(w) * h * bpp, 3u + unsigned(bpp));
        auto hf = src, vf = src;
        ASSERT_EQ(imaging_lib::HorizontalFlipImage(hf.data(), w, h, bpp, w * bpp), 1);
        ASSERT_EQ(imaging_lib::VerticalFlipImage(vf.data(), w * bpp, h), 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(std::memcmp(at(hf, w, bpp, x, y), at(src, w, bpp, w - 1 - x, y), bpp), 0);
                ASSERT_EQ(std::memcmp(at(vf, w, bpp, x, y), at(src, w, bpp, x, h - 1 - y), bpp), 0);
            }
        imaging_lib::HorizontalFlipImage(hf.data(), w, h, bpp, w * bpp);
        EXPECT_EQ(hf, src);
    }
}

TEST_F(RasterGeometry, CropCopiesTheRectangleAndRefusesOneOffThePicture) {
    const int w = 10, h = 8, bpp = 3;
    const auto src = noise(std::size_t(w) * h * bpp, 5);
    const imaging_lib::LibRect r{2, 3, 9, 8};
    std::vector<std::uint8_t> out(7 * 5 * bpp);
    ASSERT_EQ(imaging_lib::CropImage(src.data(), w, h, w * bpp, out.data(), 7 * bpp, &r, bpp), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(std::memcmp(at(out, 7, bpp, x, y), at(src, w, bpp, x + 2, y + 3), bpp), 0);
    for (const imaging_lib::LibRect bad : {imaging_lib::LibRect{-1, 0, 3, 3}, imaging_lib::LibRect{0, 0, 11, 3},
                                           imaging_lib::LibRect{4, 0, 4, 3}, imaging_lib::LibRect{0, 5, 3, 2}})
        EXPECT_EQ(imaging_lib::CropImage(src.data(), w, h, w * bpp, out.data(), 7 * bpp, &bad, bpp), 0);
}

TEST_F(RasterGeometry, TurnByAQuarterMatchesTheQuarterTurnAwayFromTheEdges) {
    const int w = 31, h = 20, bpp = 4;
    const auto src = noise(std::size_t(w) * h * bpp, 11);
    std::vector<std::uint8_t> quarter(src.size());
    // Quarter turns as a caller holding radians in a float passes them.
    const double quarter32 = float(std::numbers::pi / 2);
    for (auto [radians, selector] : {std::pair{quarter32, 2}, std::pair{-quarter32, 0}}) {
        std::int32_t rw = 0, rh = 0;
        ASSERT_EQ(imaging_lib::GetRotatedPixelSize(radians, w, h, &rw, &rh), 1);
        ASSERT_EQ(rw, h);
        ASSERT_EQ(rh, w);
        ASSERT_EQ(imaging_lib::QuickRotateImage(src.data(), w, h, w * bpp, quarter.data(), h * bpp, selector, bpp), 1);
        for (int quality : {0, 1, 2}) {
            std::vector<std::uint8_t> turned(src.size(), 0);
            ASSERT_EQ(imaging_lib::RotateImage40(src.data(), w, h, bpp, w * bpp, turned.data(), h * bpp, 0, 0,
                                                 radians, quality),
                      1);
            for (int y = 2; y < w - 2; ++y)
                for (int x = 2; x < h - 2; ++x)
                    ASSERT_EQ(std::memcmp(at(turned, h, bpp, x, y), at(quarter, h, bpp, x, y), bpp), 0)
                        << "quality " << quality << " at " << x << "," << y;
        }
    }
}

TEST_F(RasterGeometry, TurnByAnyAngleGrowsTheRasterAndFillsTheCorners) {
    const int w = 40, h = 30, bpp = 4;
    std::int32_t rw = 0, rh = 0;
    const double a = 17.0 * std::numbers::pi / 180.0;
    ASSERT_EQ(imaging_lib::GetRotatedPixelSize(a, w, h, &rw, &rh), 1);
    EXPECT_EQ(rw, int(std::ceil(w * std::cos(a) + h * std::sin(a))));
    EXPECT_EQ(rh, int(std::ceil(w * std::sin(a) + h * std::cos(a))));
    std::vector<std::uint8_t> src(std::size_t(w) * h * bpp, 200), out(std::size_t(rw) * rh * bpp, 0);
    ASSERT_EQ(imaging_lib::RotateImage(src.data(), w, h, bpp, w * bpp, out.data(), rw * bpp, std::int64_t(out.size()),
                                       0x04030201u, 0, a, 1),
              1);
    const std::uint8_t corner[4] = {1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(out.data(), corner, 4), 0);                            // top left lies outside
    EXPECT_EQ(out[(std::size_t(rh / 2) * rw + rw / 2) * bpp], 200);             // the centre inside
    EXPECT_EQ(imaging_lib::RotateImage(src.data(), w, h, bpp, w * bpp, out.data(), rw * bpp,
                                       std::int64_t(out.size()) - 1, 0, 0, a, 1),
              0);  // does not fit
}

}  // namespace
}  // namespace plr::test
