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
        Rect r;
        r.left = static_cast<std::int32_t>(rng() % w);
        r.right = r.left + 1 + static_cast<std::int32_t>(rng() % (w - r.left));
        r.top = static_cast<std::int32_t>(rng() % h);
        r.bottom = r.top + 1 + static_cast<std::int32_t>(rng() % (h - r.top));
        if (round % 17 == 0) r = {0, 0, w, h};  // whole planes too
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
    const Rect r{2, 3, 6, 4};  // columns 2..5 of row 3
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.height(), 1);
    EXPECT_EQ(r.pixels(), 4u);
    EXPECT_TRUE(insidePage(r, 6, 4));
    EXPECT_FALSE(insidePage(r, 5, 4));
    EXPECT_FALSE(insidePage(r, 6, 3));
    EXPECT_FALSE(insidePage(Rect{-1, 0, 3, 3}, 10, 10));
    EXPECT_FALSE(insidePage(Rect{3, 0, 3, 3}, 10, 10));
}

TEST(PlaneCopy, BandsCoverTheRectangleInOrder) {
    // 16-pixel rows of 8 bytes: 512 rows a band; 1300 rows make three bands.
    const Rect r{3, 7, 19, 1307};
    std::int64_t next = r.top;
    std::size_t expectedOffset = 0;
    int bands = 0;
    forEachBand(r, 8, [&](const Rect& band, std::size_t offset) {
        EXPECT_EQ(band.left, r.left);
        EXPECT_EQ(band.right, r.right);
        EXPECT_EQ(band.top, next);
        EXPECT_EQ(offset, expectedOffset);
        EXPECT_LE(band.height(), 512);
        next = band.bottom;
        expectedOffset += static_cast<std::size_t>(band.pixels()) * 8;
        ++bands;
    });
    EXPECT_EQ(next, r.bottom);
    EXPECT_EQ(bands, 3);
    forEachBand(Rect{4, 4, 4, 9}, 8, [&](const Rect&, std::size_t) { ++bands; });  // empty: no band
    EXPECT_EQ(bands, 3);
}

}  // namespace
}  // namespace plr::test
