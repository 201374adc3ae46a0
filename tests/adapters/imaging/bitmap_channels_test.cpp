// Device-independent bitmaps both ways, channel split/combine/reorder and
// look-up tables.
#include <cstring>
#include <random>
#include <vector>

#include "adapters/imaging/bitmap.h"
#include "adapters/imaging/raster_channels.h"
#include "adapters/imaging/raster_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using BitmapChannels = EngineTest;

TEST_F(BitmapChannels, DibRoundTripsAreExactForBothDepthsAndRowOrders) {
    for (int bits : {24, 32})
        for (bool topDown : {false, true})
            for (int w : {1, 3, 6}) {
                const int h = 5;
                const auto rgba = noise(std::size_t(w) * h * 4, unsigned(bits + w), true);
                std::vector<std::uint8_t> dib(std::size_t(imaging_lib::DIBBytes(w, h, bits)));
                ASSERT_EQ(imaging_lib::RGBAToDIBFormat(rgba.data(), w, h, bits, topDown, dib.data()), 1);
                EXPECT_EQ(imaging_lib::DIBWidth(dib.data()), w);
                EXPECT_EQ(imaging_lib::DIBHeight(dib.data()), h);
                std::vector<std::uint8_t> back(rgba.size());
                ASSERT_EQ(imaging_lib::DIBToRGBA(dib.data(), 77, back.data()), 1);
                for (std::size_t i = 0; i < rgba.size(); ++i)
                    ASSERT_EQ(back[i], i % 4 == 3 && bits == 24 ? 77 : rgba[i]) << bits << topDown << w;
                // ... and the DIB made again from the pixels is the same DIB.
                std::vector<std::uint8_t> again(dib.size());
                ASSERT_EQ(imaging_lib::RGBAToDIBFormat(back.data(), w, h, bits, topDown, again.data()), 1);
                EXPECT_EQ(again, dib);
            }
}

TEST_F(BitmapChannels, DibLayoutWorkedExample) {
    // 2 x 2, 24-bit, bottom-up: rows padded to 8 bytes, bottom row first, BGR.
    std::uint8_t dib[40 + 16] = {};
    dib[0] = 40;
    dib[4] = 2;
    dib[8] = 2;
    dib[12] = 1;
    dib[14] = 24;
    const std::uint8_t rows[16] = {3, 2, 1, 6, 5, 4, 0, 0,  // bottom row
                                   9, 8, 7, 12, 11, 10, 0, 0};
    std::memcpy(dib + 40, rows, 16);
    std::uint8_t rgba[16];
    ASSERT_EQ(imaging_lib::DIBToRGBA(dib, 255, rgba), 1);
    const std::uint8_t expected[16] = {7, 8, 9, 255, 10, 11, 12, 255, 1, 2, 3, 255, 4, 5, 6, 255};
    EXPECT_EQ(std::memcmp(rgba, expected, 16), 0);
    // A 32-bit DIB whose fourth bytes are all 0 leaves alpha unused.
    std::vector<std::uint8_t> d32(std::size_t(imaging_lib::DIBBytes(2, 2, 32)));
    std::uint8_t clear[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    ASSERT_EQ(imaging_lib::RGBAToDIB(clear, 2, 2, d32.data()), 1);
    ASSERT_EQ(imaging_lib::DIBToRGBA(d32.data(), 200, rgba), 1);
    EXPECT_EQ(rgba[3], 200);
    EXPECT_EQ(rgba[15], 200);
    dib[14] = 16;  // a depth this family does not read
    EXPECT_EQ(imaging_lib::DIBWidth(dib), 0);
    EXPECT_EQ(imaging_lib::DIBToRGBA(dib, 255, rgba), 0);
}

TEST_F(BitmapChannels, SplitCombineReorderAndTablesMoveTheRightBytes) {
    const int w = 9, h = 4;
    const auto rgba = noise(std::size_t(w) * h * 4, 3, true);
    std::vector<std::uint8_t> plane(std::size_t(w) * h);
    ASSERT_EQ(imaging_lib::SplitImage(rgba.data(), w, h, 4, w * 4, 3, plane.data(), w), 1);
    auto out = rgba;
    ASSERT_EQ(imaging_lib::CombineImageChannels(plane.data(), w, h, w, out.data(), 4, w * 4, 0b0111), 1);
    auto swapped = rgba;
    const std::int32_t order[4] = {2, 1, 0, 3};
    ASSERT_EQ(imaging_lib::ReorderImageChannels(swapped.data(), w, h, 4, w * 4, order), 1);
    std::uint8_t invert[256];
    for (int v = 0; v < 256; ++v) invert[v] = static_cast<std::uint8_t>(255 - v);
    auto mapped = rgba;
    ASSERT_EQ(imaging_lib::ApplyLUTsToImage40(mapped.data(), w, h, 4, w * 4, nullptr, invert, nullptr, invert), 1);
    for (int p = 0; p < w * h; ++p) {
        const std::uint8_t* s = &rgba[std::size_t(p) * 4];
        ASSERT_EQ(plane[std::size_t(p)], s[3]);
        for (int c = 0; c < 3; ++c) ASSERT_EQ(out[std::size_t(p) * 4 + c], s[3]);
        ASSERT_EQ(out[std::size_t(p) * 4 + 3], s[3]);
        for (int c = 0; c < 4; ++c) ASSERT_EQ(swapped[std::size_t(p) * 4 + c], s[order[c]]);
        for (int c = 0; c < 4; ++c) ASSERT_EQ(mapped[std::size_t(p) * 4 + c], c % 2 ? 255 - s[c] : s[c]);
    }
    EXPECT_EQ(imaging_lib::SplitImage(rgba.data(), w, h, 4, w * 4, 4, plane.data(), w), 0);
}

}  // namespace
}  // namespace plr::test
