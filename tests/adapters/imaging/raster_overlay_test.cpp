// The overlay at opacity 1.0 against a per-pixel reference: clipping at
// every edge, padded and exact strides (exact strides on both sides take the
// one-block road), pixel sizes 1 to 8, guard bytes around the destination.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "adapters/imaging/raster.h"

namespace plr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t n, std::mt19937& rng) {
    Bytes b(n);
    for (auto& v : b) v = static_cast<std::uint8_t>(rng() >> 5);
    return b;
}

// Pixel (sx, sy) of the source lands on (x + sx, y + sy) when that is inside
// the destination; nothing else changes.
void referenceOverlay(const Bytes& src, int w, int h, int bpp, int srcStride, Bytes& dst, std::size_t dstStart, int dw,
                      int dh, int dstStride, int x, int y) {
    for (int sy = 0; sy < h; ++sy)
        for (int sx = 0; sx < w; ++sx) {
            const int dx = x + sx, dy = y + sy;
            if (dx < 0 || dy < 0 || dx >= dw || dy >= dh) continue;
            for (int b = 0; b < bpp; ++b)
                dst[dstStart + static_cast<std::size_t>(dy) * dstStride + static_cast<std::size_t>(dx) * bpp + b] =
                    src[static_cast<std::size_t>(sy) * srcStride + static_cast<std::size_t>(sx) * bpp + b];
        }
}

TEST(IsRasterOverlay, AtFullOpacityCopiesExactlyWhatFallsInside) {
    std::mt19937 rng(99);
    constexpr std::size_t kGuard = 32;
    for (int round = 0; round < 600; ++round) {
        const int bpp = 1 + static_cast<int>(rng() % 8);
        const int w = 1 + static_cast<int>(rng() % 67), h = 1 + static_cast<int>(rng() % 19);
        const bool exact = round % 3 == 0;  // whole rows on both sides
        const int dw = exact ? w : 1 + static_cast<int>(rng() % 67);
        const int dh = 1 + static_cast<int>(rng() % 19);
        const int srcStride = w * bpp + (exact ? 0 : static_cast<int>(rng() % 9));
        const int dstStride = dw * bpp + (exact ? 0 : static_cast<int>(rng() % 9));
        const int x = exact ? 0 : static_cast<int>(rng() % (dw + 20)) - 10;
        const int y = exact && round % 2 ? 0 : static_cast<int>(rng() % (dh + 20)) - 10;
        const Bytes src = randomBytes(static_cast<std::size_t>(srcStride) * h, rng);
        Bytes dst = randomBytes(static_cast<std::size_t>(dstStride) * dh + 2 * kGuard, rng), expected = dst;
        referenceOverlay(src, w, h, bpp, srcStride, expected, kGuard, dw, dh, dstStride, x, y);
        EXPECT_EQ(
            imaging_lib::OverlayImage(src.data(), w, h, bpp, srcStride, dst.data() + kGuard, dw, dh, dstStride, x, y, 1.0), 1);
        ASSERT_EQ(dst, expected) << "round " << round << " bpp " << bpp << " " << w << "x" << h << " at " << x << ","
                                 << y;
    }
}

TEST(IsRasterOverlay, CopiesWithinOneBufferWhenRowsOverlap) {
    // A contiguous block moved down by one row inside the same buffer.
    Bytes buf(6 * 4);
    for (std::size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<std::uint8_t>(i);
    const Bytes before = buf;
    EXPECT_EQ(imaging_lib::OverlayImage(buf.data(), 2, 5, 2, 4, buf.data() + 4, 2, 5, 4, 0, 0, 1.0), 1);
    for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(buf[i + 4], before[i]);
}

TEST(IsRasterOverlay, RefusesNullAndNegativeSizes) {
    std::uint8_t a[16] = {}, b[16] = {};
    EXPECT_EQ(imaging_lib::OverlayImage(nullptr, 2, 2, 1, 2, b, 2, 2, 2, 0, 0, 1.0), 0);
    EXPECT_EQ(imaging_lib::OverlayImage(a, -1, 2, 1, 2, b, 2, 2, 2, 0, 0, 1.0), 0);
    EXPECT_EQ(imaging_lib::OverlayImage(a, 2, 2, 0, 2, b, 2, 2, 2, 0, 0, 1.0), 0);
    // Entirely outside: nothing to do, and nothing written.
    b[0] = 7;
    EXPECT_EQ(imaging_lib::OverlayImage(a, 2, 2, 1, 2, b, 2, 2, 2, 5, 0, 1.0), 1);
    EXPECT_EQ(b[0], 7);
}

TEST(IsRasterOverlay, BelowFullOpacityStillBlendsBytewise) {
    const std::uint8_t src[4] = {200, 0, 100, 255};
    std::uint8_t dst[4] = {100, 100, 100, 0};
    EXPECT_EQ(imaging_lib::OverlayImage(src, 4, 1, 1, 4, dst, 4, 1, 4, 0, 0, 0.5), 1);
    // d + (s - d) * 0.5, truncated toward zero
    EXPECT_EQ(dst[0], 150);
    EXPECT_EQ(dst[1], 50);
    EXPECT_EQ(dst[2], 100);
    EXPECT_EQ(dst[3], 127);
}

}  // namespace
}  // namespace plr::test
