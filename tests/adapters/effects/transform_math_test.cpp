// The single-precision functions of the transform rows against the
// library's double-precision ones over the ranges the formulas use.
#include <cmath>
#include <numbers>
#include <random>

#include "adapters/effects/transform_math.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using TransformMath = EngineTest;
namespace fast = effect_lib::fast;

TEST_F(TransformMath, EachFunctionIsWithinAFewFloatStepsOfTheDoubleOne) {
    std::mt19937 rng(3);
    constexpr double kTurn = 2 * std::numbers::pi;
    double sinErr = 0, pairErr = 0, asinErr = 0, powErr = 0;
    for (int i = 0; i < 200000; ++i) {
        // Angles of up to a few hundred turns, as a wave across a big picture gives.
        const float t = std::uniform_real_distribution<float>(-300.f, 300.f)(rng);
        sinErr = std::max(sinErr, std::fabs(fast::sinTurns(t) - std::sin(kTurn * double(t))));
        float s, c;
        fast::sinCosTurns(t, s, c);
        pairErr = std::max({pairErr, std::fabs(s - std::sin(kTurn * double(t))), std::fabs(c - std::cos(kTurn * double(t)))});
        // Half the draws close to 1, where asin is steep.
        const double v = i % 2 ? std::uniform_real_distribution<double>(1e-6, 1.0)(rng)
                               : 1 - std::pow(10.0, -std::uniform_real_distribution<double>(1, 12)(rng));
        if (v < 1) {
            const double exact = std::asin(v) / v;
            const float q = static_cast<float>(v * v), z = static_cast<float>(1 - v * v);
            asinErr = std::max(asinErr, std::fabs(fast::asinOverFromSquares(q, z) - exact) / exact);
        }
        const float r2 = std::uniform_real_distribution<float>(1e-7f, 1.f)(rng);
        const float power = std::uniform_real_distribution<float>(-0.25f, 0.25f)(rng);
        const double exact = std::pow(double(r2), double(power));
        powErr = std::max(powErr, std::fabs(fast::exp2Of(power * fast::log2Of(r2)) - exact) / exact);
    }
    // The reduction to one turn is exact, so the series alone decide.
    EXPECT_LT(sinErr, 1e-6);
    EXPECT_LT(pairErr, 1e-6);
    EXPECT_LT(asinErr, 1e-6);
    EXPECT_LT(powErr, 1e-6);
    // Whole, half and quarter turns are exact where they should be.
    for (float t : {0.f, 1.f, -3.f, 0.5f, 7.5f}) EXPECT_EQ(fast::sinTurns(t), 0.f) << t;
    float s, c;
    fast::sinCosTurns(0.f, s, c);
    EXPECT_EQ(s, 0.f);
    EXPECT_NEAR(c, 1.f, 1e-7f);
    fast::sinCosTurns(0.25, s, c);
    EXPECT_NEAR(s, 1.f, 1e-7f);
    EXPECT_EQ(c, 0.f);
}

TEST_F(TransformMath, TheScatterIsItsBitsOver2To52LessOne) {
    std::mt19937_64 rng(9);
    int high = 0;
    for (int i = 0; i < 100000; ++i) {
        const auto x = static_cast<std::int64_t>(rng()) >> (i % 40), y = static_cast<std::int64_t>(rng()) >> (i % 50);
        const std::uint32_t salt = static_cast<std::uint32_t>(rng());
        const std::uint64_t bits = fast::scatterBits(x, y, salt);
        ASSERT_LT(bits, 1ull << 53);
        high += bits >> 52 != 0;
        ASSERT_EQ(fast::scatter(x, y, salt), static_cast<double>(bits) / 4503599627370496.0 - 1.0) << x << "," << y;
    }
    EXPECT_GT(high, 40000);  // both halves of the range are met
    EXPECT_LT(high, 60000);
}

}  // namespace
}  // namespace plr::test
