// The marker-colour search: held to the pass-per-pair search on pictures
// whose first (green, blue) pairs are crowded, its worked values, and the
// answer for a picture that uses every colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/failure.h"
#include "engine_fixture.h"
#include "mask/free_colour.h"
#include "mask/free_colour_reference.h"

namespace plr::test {
namespace {

using FreeColour = EngineTest;

void put(std::vector<std::uint8_t>& rgba, std::uint32_t colour, std::uint8_t alpha) {
    rgba.insert(rgba.end(), {std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16), alpha});
}

TEST_F(FreeColour, MatchesThePassPerPairSearchOnCrowdedPictures) {
    std::mt19937 rng(99);
    auto pick = [&](std::uint32_t lo, std::uint32_t hi) { return std::uniform_int_distribution<std::uint32_t>(lo, hi)(rng); };
    for (int round = 0; round < 60; ++round) {
        std::vector<std::uint8_t> rgba;
        // The first `full` colours of the search order all in use, then a few
        // holes among the following ones, in random order with random alpha.
        const std::uint32_t full = pick(0, 3) * 256 + pick(0, 1) * pick(0, 300);
        std::vector<std::uint32_t> colours;
        for (std::uint32_t c = 0; c < full; ++c) colours.push_back(c);
        for (int i = 0; i < 300; ++i) colours.push_back(pick(full, full + 700));
        for (int i = 0; i < 50; ++i) colours.push_back(pick(0, 0xFFFFFF));
        std::shuffle(colours.begin(), colours.end(), rng);
        for (std::uint32_t c : colours) put(rgba, c, static_cast<std::uint8_t>(pick(0, 255)));
        const std::size_t n = rgba.size() / 4;
        EXPECT_EQ(findFreeColour(rgba.data(), n), reference::findFreeColour(rgba.data(), n)) << "round " << round;
    }
}

TEST_F(FreeColour, WorkedValues) {
    std::vector<std::uint8_t> rgba;
    EXPECT_EQ(findFreeColour(rgba.data(), 0), 0u) << "an empty picture leaves black free";
    for (std::uint32_t red = 0; red < 256; ++red) put(rgba, red, 255);
    EXPECT_EQ(findFreeColour(rgba.data(), 256), 0x000100u) << "every pure red in use: (0, 1, 0)";
    EXPECT_NE(findFreeColour(rgba.data(), 256), kNoFreeColour);
    put(rgba, 0x000100, 0);
    put(rgba, 0x000101, 9);
    EXPECT_EQ(findFreeColour(rgba.data(), 258), 0x000102u) << "alpha takes no part";
}

TEST_F(FreeColour, APictureOfEveryColourHasNoneFree) {
    std::vector<std::uint8_t> rgba(std::size_t{4} << 24);
    for (std::uint32_t c = 0; c < (1u << 24); ++c) {
        // In reverse order, so no pass can stop early by luck.
        const std::uint32_t v = 0xFFFFFF - c;
        rgba[4 * c] = std::uint8_t(v), rgba[4 * c + 1] = std::uint8_t(v >> 8), rgba[4 * c + 2] = std::uint8_t(v >> 16);
    }
    EXPECT_EQ(findFreeColour(rgba.data(), std::size_t{1} << 24), kNoFreeColour);
    rgba[4 * 12345] = 0, rgba[4 * 12345 + 1] = 0, rgba[4 * 12345 + 2] = 0;  // colour 0xFFFFFF - 12345 freed
    EXPECT_EQ(findFreeColour(rgba.data(), std::size_t{1} << 24), 0xFFFFFFu - 12345u);
    // With the used-colour table out of reach the search fails rather than guessing.
    mem::injectFailure(1);
    EXPECT_THROW(findFreeColour(rgba.data(), std::size_t{1} << 24), EngineFailure);
    mem::injectFailure(0);
}

}  // namespace
}  // namespace plr::test
