// The anti-aliased ellipse: ink exactly within its box, symmetric, its
// coverage summing to the ellipse's area, the colour kept under soft edges.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <cstdint>
#include <vector>

#include "adapters/imaging/drawing_ellipse_aa.h"

namespace plr::imaging_lib {
namespace {

constexpr int kW = 64, kH = 48;

struct Drawn {
    std::vector<std::uint8_t> rgba = std::vector<std::uint8_t>(kW * kH * 4);
    std::uint8_t alpha(int x, int y) const { return rgba[(y * kW + x) * 4 + 3]; }
};

Drawn ellipse(int cx, int cy, int rx, int ry, int filled = 1, int subRows = 4) {
    Drawn d;
    for (int i = 0; i < kW * kH; ++i) d.rgba[i * 4] = 30, d.rgba[i * 4 + 1] = 60, d.rgba[i * 4 + 2] = 90;
    // Blue low: (red 30, green 60, blue 90, alpha 255).
    EXPECT_EQ(DrawEllipseOnImage(d.rgba.data(), kW, kH, 4, kW * 4, 90 | (60 << 8) | (30 << 16) | 0xFF000000u, cx, cy,
                                 rx, ry, filled, 100.0, 0, 0, subRows),
              1);
    return d;
}

TEST(EllipseAA, InkCoversExactlyTheBoxAndIsSymmetric) {
    for (int subRows : {1, 4, 16})
        for (int rx : {2, 3, 7, 20})
            for (int ry : {2, 5, 11}) {
                const int cx = 30, cy = 22;
                const Drawn d = ellipse(cx, cy, rx, ry, 1, subRows);
                int minX = kW, maxX = -1, minY = kH, maxY = -1;
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x) {
                        if (!d.alpha(x, y)) continue;
                        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
                        EXPECT_EQ(d.alpha(x, y), d.alpha(2 * cx - x, y));
                        EXPECT_EQ(d.rgba[(y * kW + x) * 4 + 2], 90);  // the colour stays under soft edges
                    }
                EXPECT_EQ(minX, cx - rx);
                EXPECT_EQ(maxX, cx + rx);
                EXPECT_EQ(minY, cy - ry);
                EXPECT_EQ(maxY, cy + ry);
                EXPECT_EQ(d.alpha(cx, cy), 255);
            }
}

TEST(EllipseAA, CoverageSumsToTheAreaAndTheOutlineIsARing) {
    const int rx = 15, ry = 9;
    const Drawn d = ellipse(30, 22, rx, ry, 1, 16);
    double sum = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) sum += d.alpha(x, y) / 255.0;
    const double area = std::numbers::pi * (rx + 0.5) * (ry + 0.5);
    EXPECT_NEAR(sum, area, area * 0.01);
    const Drawn ring = ellipse(30, 22, rx, ry, 0, 16);
    EXPECT_EQ(ring.alpha(30, 22), 0);
    EXPECT_GT(ring.alpha(30 + rx, 22), 0);
    EXPECT_EQ(ring.alpha(30 + rx - 3, 22), 0);
}

TEST(EllipseAA, RefusesBadRadiiAndRasters) {
    std::vector<std::uint8_t> img(16);
    EXPECT_EQ(DrawEllipseOnImage(img.data(), 2, 2, 4, 8, 0, 1, 1, 0, 3, 1, 100.0, 0, 0, 4), 0);
    EXPECT_EQ(DrawEllipseOnImage(img.data(), 2, 2, 4, 7, 0, 1, 1, 3, 3, 1, 100.0, 0, 0, 4), 0);
    EXPECT_EQ(DrawEllipseOnImage(nullptr, 2, 2, 4, 8, 0, 1, 1, 3, 3, 1, 100.0, 0, 0, 4), 0);
}

}  // namespace
}  // namespace plr::imaging_lib
