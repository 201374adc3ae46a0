// Bump-map displacement: worked shifts on a ramp, and the refusals.
#include <random>
#include <vector>

#include "adapters/effects/displacement.h"
#include "adapters/imaging/inverse_sampler.h"
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

// The displacement written out per pixel for the plain sampler.
struct PlainBump {
    const std::vector<std::uint8_t>* plane;
    int pw, ph;
    double amount;
};

void plainBumpRow(const void* context, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    const auto& b = *static_cast<const PlainBump*>(context);
    auto g = [&](int x, int yy) { return int((*b.plane)[std::size_t(((yy % b.ph) + b.ph) % b.ph) * b.pw + ((x % b.pw) + b.pw) % b.pw]); };
    for (int x = 0; x < n; ++x) {
        xs[x] = float(x + b.amount * (g(x + 1, y) - g(x - 1, y)) / 256.0);
        ys[x] = float(y + b.amount * (g(x, y + 1) - g(x, y - 1)) / 256.0);
    }
}

TEST_F(BumpDisplacement, MatchesThePlainSamplerUnderEveryEdgeMode) {
    constexpr int w = 53, h = 71, pw = 17, ph = 13;  // more rows than a band, a tiled plane
    std::mt19937 rng(9);
    std::vector<std::uint8_t> src(w * h * 4), plane(pw * ph);
    for (auto& b : src) b = static_cast<std::uint8_t>(rng());
    for (auto& b : plane) b = static_cast<std::uint8_t>(rng());
    for (int edge = 0; edge < 4; ++edge)
        for (double amount : {37.0, -300.5}) {
            std::vector<std::uint8_t> fast(src.size()), plain(src.size());
            ASSERT_TRUE(effect_lib::BumpMapDisplacement(src.data(), w, h, w * 4, fast.data(), w * 4, amount,
                                                        plane.data(), pw, ph, edge, 0xA0B0C0D0u));
            imaging_lib::SampleSettings s;
            s.edge = static_cast<imaging_lib::SampleEdge>(edge);
            s.fill = 0xA0B0C0D0u;
            const PlainBump context{&plane, pw, ph, amount};
            ASSERT_TRUE(imaging_lib::InverseMapImageReference(src.data(), w, h, w * 4, plain.data(), w * 4,
                                                              imaging_lib::InverseMap{plainBumpRow, &context}, s));
            EXPECT_EQ(fast, plain) << "edge " << edge << " amount " << amount;
        }
}

}  // namespace
}  // namespace plr::test
