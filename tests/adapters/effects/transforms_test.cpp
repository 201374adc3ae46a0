// The transform list's offset transform under each edge mode.
#include <cstring>
#include <random>
#include <vector>

#include "adapters/effects/transforms.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using Transforms = EngineTest;

constexpr int kW = 11, kH = 7;

std::uint32_t pixel(const std::vector<std::uint8_t>& v, int x, int y) {
    std::uint32_t p;
    std::memcpy(&p, &v[(std::size_t(y) * kW + x) * 4], 4);
    return p;
}

int wrap(int v, int n) { return ((v % n) + n) % n; }
int clampTo(int v, int n) { return v < 0 ? 0 : v >= n ? n - 1 : v; }
int mirror(int v, int n) {
    const int r = wrap(v, 2 * n);
    return r < n ? r : 2 * n - 1 - r;
}

TEST_F(Transforms, IntegerOffsetsMoveWholePixelsAndEdgeModesFillTheGap) {
    std::mt19937 rng(4);
    std::vector<std::uint8_t> src(std::size_t(kW) * kH * 4);
    for (auto& b : src) b = static_cast<std::uint8_t>(rng());
    effect_lib::TransformList list;
    const std::uint32_t fill = 0x80402010u;
    for (int mode : {1, 2, 3, 7})
        for (auto [dx, dy] : {std::pair{3, -2}, std::pair{-13, 9}}) {
            ASSERT_EQ(effect_lib::ClearAllTransforms(list), 1);
            ASSERT_EQ(effect_lib::AddOffsetTransform(list, kW, kH, dx, dy, mode), 1);
            std::vector<std::uint8_t> dst(src.size());
            ASSERT_EQ(effect_lib::TransformProcess(list, src.data(), kW, kH, kW * 4, dst.data(), kW * 4, 4, 0, fill), 1);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const int sx = x - dx, sy = y - dy;
                    const bool inside = sx >= 0 && sx < kW && sy >= 0 && sy < kH;
                    std::uint32_t want = fill;
                    if (mode == 1) want = pixel(src, wrap(sx, kW), wrap(sy, kH));
                    if (mode == 2) want = pixel(src, clampTo(sx, kW), clampTo(sy, kH));
                    if (mode == 3) want = pixel(src, mirror(sx, kW), mirror(sy, kH));
                    if (mode == 7 && inside) want = pixel(src, sx, sy);
                    ASSERT_EQ(pixel(dst, x, y), want) << "mode " << mode << " at " << x << "," << y;
                }
        }
    // An empty list copies; the process's own edge mode must be 0..3.
    effect_lib::ClearAllTransforms(list);
    std::vector<std::uint8_t> copy(src.size());
    ASSERT_EQ(effect_lib::TransformProcess(list, src.data(), kW, kH, kW * 4, copy.data(), kW * 4, 4, 2, 0), 1);
    EXPECT_EQ(copy, src);
    EXPECT_EQ(effect_lib::TransformProcess(list, src.data(), kW, kH, kW * 4, copy.data(), kW * 4, 4, 4, 0), 0);
}

}  // namespace
}  // namespace plr::test
