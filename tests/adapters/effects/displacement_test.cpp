// Bump-map displacement: worked shifts on a ramp, and the refusals.
#include <vector>

#include "adapters/effects/displacement.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using BumpDisplacement = EngineTest;

TEST_F(BumpDisplacement, ARampOfOneLevelAPixelMovesSamplesByAmountOver128) {
    constexpr int w = 20, h = 6;
    std::vector<std::uint8_t> src(w * h * 4), dst(w * h * 4), plane(w * h);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(i * 7 % 253);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) plane[y * w + x] = static_cast<std::uint8_t>(x);
    // amount 128: one pixel to the right; 256: two.
    for (int shift : {1, 2}) {
        ASSERT_TRUE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, dst.data(), w * 4, 128.0 * shift,
                                                    plane.data(), w, h, 2, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 1; x + shift < w - 1; ++x)
                for (int k = 0; k < 4; ++k)
                    ASSERT_EQ(dst[(y * w + x) * 4 + k], src[(y * w + x + shift) * 4 + k]) << x << "," << y;
    }
    // A flat plane copies; a plane smaller than the picture tiles.
    std::vector<std::uint8_t> flat(3 * 2, 77);
    ASSERT_TRUE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, dst.data(), w * 4, 500.0, flat.data(), 3, 2,
                                                1, 0));
    EXPECT_EQ(dst, src);
    EXPECT_FALSE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, src.data(), w * 4, 1.0, flat.data(), 3, 2, 1, 0));
    EXPECT_FALSE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, dst.data(), w * 4, 1.0, nullptr, 3, 2, 1, 0));
    EXPECT_FALSE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, dst.data(), w * 4, 1.0, flat.data(), 3, 2, 4, 0));
    EXPECT_FALSE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4 - 1, dst.data(), w * 4, 1.0, flat.data(), 3, 2, 1, 0));
}

}  // namespace
}  // namespace plr::test
