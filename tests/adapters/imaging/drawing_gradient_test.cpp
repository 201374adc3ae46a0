// Gradient fills: the table-driven fills against the per-pixel reference,
// stops met exactly, monotone colour between two stops.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "adapters/imaging/drawing_gradient.h"

namespace plr::imaging_lib {
namespace {

// A stop packed blue, green, red, fourth byte from the low byte.
constexpr std::uint32_t stop(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t t) {
    return b | (g << 8) | (r << 16) | (std::uint32_t{t} << 24);
}

TEST(GradientFill, FastFillsMatchTheReferenceBitForBit) {
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        const int w = pick(1, 37), h = pick(1, 23), bpp = pick(0, 1) ? 4 : 3, stride = w * bpp + pick(0, 5);
        const int count = pick(1, 4);
        std::uint32_t stops[4];
        double positions[4];
        for (int k = 0; k < count; ++k) {
            stops[k] = static_cast<std::uint32_t>(rng());
            positions[k] = k == 0 ? pick(-10, 30) : positions[k - 1] + pick(0, 40);
        }
        const double opacity = pick(0, 3) == 0 ? pick(0, 100) / 100.0 : 1.0;
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(stride) * h), ref;
        for (auto& b : fast) b = static_cast<std::uint8_t>(rng());
        ref = fast;
        const double x1 = pick(-50, 80), y1 = pick(-50, 80), x2 = pick(-50, 80), y2 = pick(-50, 80);
        if (pick(0, 1)) {
            ASSERT_EQ(GradientFillImageLinear(fast.data(), w, h, bpp, stride, x1, y1, x2, y2, stops, positions, count, 1,
                                              opacity, 0),
                      reference::GradientFillImageLinear(ref.data(), w, h, bpp, stride, x1, y1, x2, y2, stops,
                                                         positions, count, 1, opacity, 0));
        } else {
            const double radius = pick(0, 90);
            ASSERT_EQ(GradientFillImageRadial(fast.data(), w, h, bpp, stride, radius, x1, y1, stops, positions, count, 0,
                                              opacity, 0),
                      reference::GradientFillImageRadial(ref.data(), w, h, bpp, stride, radius, x1, y1, stops,
                                                         positions, count, 0, opacity, 0));
        }
        ASSERT_EQ(fast, ref) << "round " << round;
    }
}

TEST(GradientFill, StopsAreMetAtTheirPositionsAndTheEndsHold) {
    // Four stops at 0, 33, 66, 99 along a 100-pixel line: pixel x sits at x percent.
    const std::uint32_t stops[4] = {stop(255, 0, 0, 0), stop(0, 255, 0, 10), stop(0, 0, 255, 20), stop(9, 9, 9, 30)};
    const double positions[4] = {0, 33, 66, 99};
    std::vector<std::uint8_t> row(120 * 4);
    ASSERT_EQ(GradientFillImageLinear(row.data(), 120, 1, 4, 120 * 4, 0, 0, 100, 0, stops, positions, 4, 1, 1.0, 0), 1);
    const auto at = [&](int x) { return std::vector<int>(row.begin() + x * 4, row.begin() + x * 4 + 4); };
    EXPECT_EQ(at(0), (std::vector<int>{255, 0, 0, 0}));
    EXPECT_EQ(at(33), (std::vector<int>{0, 255, 0, 10}));
    EXPECT_EQ(at(66), (std::vector<int>{0, 0, 255, 20}));
    EXPECT_EQ(at(99), (std::vector<int>{9, 9, 9, 30}));
    EXPECT_EQ(at(119), (std::vector<int>{9, 9, 9, 30}));  // beyond the last stop
    // Halfway between two stops: the rounded mean.
    const double two[2] = {0, 100};
    const std::uint32_t ends[2] = {stop(0, 100, 200, 0), stop(255, 0, 0, 255)};
    ASSERT_EQ(GradientFillImageLinear(row.data(), 120, 1, 4, 120 * 4, 10, 0, 110, 0, ends, two, 2, 1, 1.0, 0), 1);
    EXPECT_EQ(at(0), (std::vector<int>{0, 100, 200, 0}));  // before the start
    EXPECT_EQ(at(60), (std::vector<int>{128, 50, 100, 128}));
    // Radial: the centre takes the first stop, the radius the last.
    std::vector<std::uint8_t> img(41 * 41 * 4);
    ASSERT_EQ(GradientFillImageRadial(img.data(), 41, 41, 4, 41 * 4, 20, 20, 20, ends, two, 2, 0, 1.0, 0), 1);
    EXPECT_EQ(img[(20 * 41 + 20) * 4 + 2], 200);
    EXPECT_EQ(img[(20 * 41 + 40) * 4 + 0], 255);
    EXPECT_EQ(img[(0 * 41 + 20) * 4 + 3], 255);
}

TEST(GradientFill, TwoStopsGiveMonotoneChannelsAlongAnyDirection) {
    const std::uint32_t ends[2] = {stop(10, 240, 0, 255), stop(250, 20, 0, 0)};
    const double two[2] = {0, 100};
    const int w = 97, h = 61;
    std::vector<std::uint8_t> img(w * h * 4);
    ASSERT_EQ(GradientFillImageLinear(img.data(), w, h, 4, w * 4, 5, 7, 90, 50, ends, two, 2, 1, 1.0, 0), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 1; x < w; ++x) {
            const std::uint8_t* p = &img[(y * w + x) * 4];
            EXPECT_GE(p[0], p[-4]);  // red rises, green and alpha fall toward the end
            EXPECT_LE(p[1], p[-3]);
            EXPECT_LE(p[3], p[-1]);
        }
}

TEST(GradientFill, DegenerateGeometryAndBadRastersDrawNothing) {
    const std::uint32_t s[1] = {stop(1, 2, 3, 4)};
    const double p[1] = {0};
    std::vector<std::uint8_t> img(16, 0xAB), before = img;
    EXPECT_EQ(GradientFillImageLinear(img.data(), 2, 2, 4, 8, 3, 3, 3, 3, s, p, 1, 1, 1.0, 0), 0);
    EXPECT_EQ(GradientFillImageRadial(img.data(), 2, 2, 4, 8, 0.5, 0, 0, s, p, 1, 0, 1.0, 0), 0);
    EXPECT_EQ(GradientFillImageLinear(img.data(), 2, 2, 4, 8, 0, 0, 5, 0, s, p, 0, 1, 1.0, 0), 0);
    EXPECT_EQ(GradientFillImageLinear(img.data(), 2, 2, 4, 7, 0, 0, 5, 0, s, p, 1, 1, 1.0, 0), 0);
    EXPECT_EQ(img, before);
    // One stop paints everything in it.
    EXPECT_EQ(GradientFillImageLinear(img.data(), 2, 2, 4, 8, 0, 0, 5, 0, s, p, 1, 1, 1.0, 0), 1);
    EXPECT_EQ(img[12], 1);
    EXPECT_EQ(img[14], 3);
    EXPECT_EQ(img[15], 4);
}

}  // namespace
}  // namespace plr::imaging_lib
