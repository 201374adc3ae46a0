// The branch-free channel conversion of the pixel writers against the plain
// truncation rule it stands for.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "script/lua_numbers.h"

namespace plr::script {
namespace {

TEST(LuaNumbers, ChannelByteIsTruncToByteOfTheScaledValue) {
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 1.5, -0.2, 254.0 / 255, 255.0 / 255, 1e300, -1e300,
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min()};
    for (int i = -300; i <= 600; ++i) values.push_back(i / 255.0), values.push_back(std::nextafter(i / 255.0, 1e9));
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> any(-2.0, 3.0);
    for (int i = 0; i < 100000; ++i) values.push_back(any(rng));
    for (double v : values) ASSERT_EQ(channelByte(v), truncToByte(v * 255.0)) << v;
}

TEST(LuaNumbers, IntegersTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(truncToInt64(-2.9), -2);
    EXPECT_EQ(truncToInt64(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(truncToInt64(1e30), INT64_MAX);
    EXPECT_EQ(truncToInt64(-1e30), INT64_MIN);
    EXPECT_EQ(truncToInt32(3e9), INT32_MAX);
    EXPECT_EQ(truncToInt32(-3e9), INT32_MIN);
    EXPECT_EQ(maskValue(0.5), 32767);
    EXPECT_EQ(maskValue(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(maskValue(7), 65535);
}

}  // namespace
}  // namespace plr::script
