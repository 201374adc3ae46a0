// The history's rectangle copies against a plain per-pixel reference, on
// random page shapes (odd widths 1..67), rectangles and pixel sizes, with
// guard bytes around every packed buffer.
#include "history/plane_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace plr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t n, std::mt19937& rng) {
    Bytes b(n);
    for (auto& v : b) {
        const std::uint32_t r = rng();
        v = (r & 3) == 0 ? 0 : (r & 3) == 1 ? 0xFF : static_cast<std::uint8_t>(r >> 8);
    }
    return b;
}

constexpr std::size_t kGuard = 64;

TEST(PlaneCopy, MatchesAPerPixelReferenceAndTouchesNothingElse) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 400; ++round) {
        const std::int32_t bpp = round % 2 ? 8 : 2;
        const std::int32_t w = 1 + static_cast<std::int32_t>(rng() % 67), h = 1 + static_cast<std::int32_t>(rng() % 23);
        PageRect r;
        r.left = static_cast<std::int32_t>(rng() % w);
        r.right = r.left + static_cast<std::int32_t>(rng() % (w - r.left));
        r.top = static_cast<std::int32_t>(rng() % h);
        r.bottom = r.top + static_cast<std::int32_t>(rng() % (h - r.top));
        if (round % 17 == 0) r = {0, 0, w - 1, h - 1};  // whole planes too
        const PlaneShape shape{w, h, bpp};
        const std::size_t planeBytes = static_cast<std::size_t>(w) * h * bpp;
        const std::size_t rw = static_cast<std::size_t>(r.width()), rh = static_cast<std::size_t>(r.height());
        const std::size_t rowBytes = rw * bpp;
        auto planeAt = [&](std::size_t x, std::size_t y) { return (y * w + x) * bpp; };

        const Bytes plane = randomBytes(planeBytes, rng);
        // Out: the rectangle's rows, packed; the guard bytes stay.
        Bytes packed = randomBytes(rw * rh * bpp + 2 * kGuard, rng), expected = packed;
        for (std::size_t y = 0; y < rh; ++y)
            for (std::size_t i = 0; i < rowBytes; ++i)
                expected[kGuard + y * rowBytes + i] = plane[planeAt(r.left, r.top + y) + i];
        copyRectOut(plane.data(), shape, r, packed.data() + kGuard);
        ASSERT_EQ(packed, expected) << "out, round " << round;

        // In: packed rows into the rectangle; every other plane byte stays.
        const Bytes source = randomBytes(rw * rh * bpp, rng);
        Bytes target = randomBytes(planeBytes + 2 * kGuard, rng);
        expected = target;
        for (std::size_t y = 0; y < rh; ++y)
            for (std::size_t i = 0; i < rowBytes; ++i)
                expected[kGuard + planeAt(r.left, r.top + y) + i] = source[y * rowBytes + i];
        copyRectIn(source.data(), target.data() + kGuard, shape, r);
        ASSERT_EQ(target, expected) << "in, round " << round;

        // Across: the same rectangle of another plane.
        target = randomBytes(planeBytes + 2 * kGuard, rng);
        expected = target;
        for (std::size_t y = 0; y < rh; ++y)
            for (std::size_t i = 0; i < rowBytes; ++i)
                expected[kGuard + planeAt(r.left, r.top + y) + i] = plane[planeAt(r.left, r.top + y) + i];
        copyRectAcross(plane.data(), target.data() + kGuard, shape, r);
        ASSERT_EQ(target, expected) << "across, round " << round;
    }
}

TEST(PlaneCopy, RectangleGeometry) {
    const PageRect r{2, 3, 5, 3};
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.height(), 1);
    EXPECT_EQ(r.pixels(), 4u);
    EXPECT_TRUE(r.insidePage(6, 4));
    EXPECT_FALSE(r.insidePage(5, 4));
    EXPECT_FALSE(r.insidePage(6, 3));
    EXPECT_FALSE((PageRect{-1, 0, 2, 2}.insidePage(10, 10)));
    EXPECT_FALSE((PageRect{3, 0, 2, 2}.insidePage(10, 10)));
    EXPECT_TRUE((PageRect{0, 0, 9, 4}.coversPage(10, 5)));
    EXPECT_FALSE((PageRect{0, 0, 9, 3}.coversPage(10, 5)));
}

}  // namespace
}  // namespace plr::test
