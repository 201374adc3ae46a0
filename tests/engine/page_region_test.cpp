// A region found with a marker colour and the same region listed in a map
// (what a picture using every colour gets) give the same pixels and the same
// mask; neither touches a pixel outside the region.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/page_region.h"
#include "engine_fixture.h"
#include "mask/free_colour.h"

namespace plr::test {
namespace {

using PageRegionTest = EngineTest;

TEST_F(PageRegionTest, MarkerAndMapGiveTheSamePixelsAndMask) {
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        const int w = pick(1, 24), h = pick(1, 16);
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(w * h * 4));
        for (auto& b : picture) b = static_cast<std::uint8_t>(pick(0, 2) * 3 + pick(0, 1));
        const RegionSeed seed{pick(0, w - 1), pick(0, h - 1), pick(-1, 40), pick(0, 1) == 1};
        const std::uint32_t marker = findFreeColour(picture.data(), picture.size() / 4);
        ASSERT_NE(marker, kNoFreeColour);
        std::vector<std::uint8_t> a = picture, b = picture;
        std::vector<std::uint16_t> ma(static_cast<std::size_t>(w * h)), mb;
        for (std::size_t i = 0; i < ma.size(); ++i) ma[i] = static_cast<std::uint16_t>(i * 77);
        mb = ma;
        {
            PageRegion marked(a.data(), w, h, seed, marker);
            marked.mask(ma.data(), 0x1200);
            marked.paint(9, 8, 7, 255);
        }
        {
            PageRegion listed(b.data(), w, h, seed, kNoFreeColour);
            EXPECT_EQ(b, picture) << "finding a listed region leaves the buffer";
            listed.mask(mb.data(), 0x1200);
            listed.paint(9, 8, 7, 255);
        }
        ASSERT_EQ(a, b) << "round " << round;
        ASSERT_EQ(ma, mb) << "round " << round;
    }
}

}  // namespace
}  // namespace plr::test
