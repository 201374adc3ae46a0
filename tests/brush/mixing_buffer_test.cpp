// The mixing buffer's pick-ups, tint, clear, fill and filters, against values
// worked out by hand from the pick-up rules.
#include "dab_test_support.h"

namespace plr::test {
namespace {

class MixingBuffer : public DabTest {
public:
    // 8 x 8 page, brush 4, blend strength 100, dab colour (0x10, 0x20, 0x30).
    void SetUp() override {
        DabTest::SetUp();
        makePage(8, 8, 4, 4);
        PLR_SetBlendStrength(100);
        PLR_SetColor(0x10, 0x20, 0x30);
        PLR_ClearBlendBuffer();
    }
};

TEST_F(MixingBuffer, CopyAtTheCornerFillsTheOffPagePartWithTheBrushColour) {
    fillCurrent({0x4000, 0x5000, 0x6000, 65535});
    PLR_CopyBlendBufferSurface(0, 0, 64, 0);                         // square -2..1: offsets 2, 2
    EXPECT_EQ(get(mix(0, 0)), (Px{0x1000, 0x2000, 0x3000, 16384}));  // alpha 64 * 256
    EXPECT_EQ(get(mix(3, 1)), (Px{0x1000, 0x2000, 0x3000, 16384}));
    // ((S * 192 + B * 64) >> 8) + 1; alpha (65535 * 192 + 65535 * 64) >> 8
    for (int r = 2; r < 4; ++r)
        for (int c = 2; c < 4; ++c) EXPECT_EQ(get(mix(r, c)), (Px{13313, 17409, 21505, 65535}));
}

TEST_F(MixingBuffer, CopyWithAmountZeroOverWhiteCapsAt65280) {
    fillCurrent({65535, 65535, 65535, 65535});
    PLR_CopyBlendBufferSurface(4, 4, 0, 0);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) ASSERT_EQ(get(mix(r, c)), (Px{65280, 65280, 65280, 65535}));
}

TEST_F(MixingBuffer, CopyKeepFlagKeepsColoursAndTransparentPixelsTakeTheInverse) {
    fillMix({0x0100, 0x0200, 0x0300, 7});
    PLR_CopyBlendBufferSurface(0, 0, 64, 1);                             // transparent layer
    EXPECT_EQ(get(mix(0, 0)), (Px{0x0100, 0x0200, 0x0300, 65535}));      // off the page: alpha only
    EXPECT_EQ(get(mix(2, 2)), (Px{0x1000, 0x2000, 0x3000, 192 * 256}));  // transparent: B, (256 - a) * 256
    PLR_CopyBlendBufferSurface(4, 4, 256, 0);
    EXPECT_EQ(get(mix(1, 1)), (Px{0x1000, 0x2000, 0x3000, 0}));  // 256 * 256 truncated to 16 bits
}

TEST_F(MixingBuffer, CopyReadsTheMaskedAlpha) {
    fillCurrent({0x4000, 0x4000, 0x4000, 65535});
    page().mask.plane.data()[4 * 8 + 4] = 32768;  // m = 32768 * 65535 >> 16 = 32767
    PLR_CopyBlendBufferSurface(4, 4, 0, 0);       // square 2..5
    EXPECT_EQ(mix(2, 2)[3], 32767);               // 65535 * 32767 / 65535
    EXPECT_EQ(mix(1, 1)[3], 65535);
    page().mask.enabled = 0;
    PLR_CopyBlendBufferSurface(4, 4, 0, 0);
    EXPECT_EQ(mix(2, 2)[3], 65535);
}

TEST_F(MixingBuffer, SourcesLayerUnderLayerAndTrace) {
    ASSERT_NE(PLR_CreateLayer(5, 8, 8), 0);
    fill(page().layers[5], {0x2000, 0x2000, 0x2000, 65535});
    PLR_CopyBlendBufferLayer(5, 4, 4, 0);
    EXPECT_EQ(get(mix(0, 0)), (Px{0x2001, 0x2001, 0x2001, 65535}));
    PLR_CopyBlendBufferLayer(64, 4, 4, 0);  // no such slot: nothing
    PLR_CopyBlendBufferLayer(9, 4, 4, 0);   // empty slot: nothing
    EXPECT_EQ(get(mix(0, 0)), (Px{0x2001, 0x2001, 0x2001, 65535}));

    // The under-layer holds the layer as it was when it became current.
    fillCurrent({0x3000, 0x3000, 0x3000, 65535});
    PLR_SetLayer(2);
    fillCurrent({0x7000, 0x7000, 0x7000, 65535});
    PLR_CopyBlendBufferHistory(4, 4, 0);
    EXPECT_EQ(get(mix(1, 1)), (Px{0x3001, 0x3001, 0x3001, 65535}));
    PLR_MixBlendBufferUnderLayer(4, 4, 0);  // k = 0: X = M, ((M * 65536) >> 16) + 1
    EXPECT_EQ(get(mix(1, 1)), (Px{0x3002, 0x3002, 0x3002, 65535}));

    ASSERT_NE(PLR_CreateLayer(0, 8, 8), 0);
    fill(page().layers[0], {0x5000, 0x5000, 0x5000, 65535});
    PLR_CopyBlendBufferTrace(4, 4, 0);
    EXPECT_EQ(get(mix(3, 3)), (Px{0x5001, 0x5001, 0x5001, 65535}));
}

TEST_F(MixingBuffer, NothingMovesWhileBlendStrengthIsZeroButFiltersStillRun) {
    fillCurrent({0x4000, 0x5000, 0x6000, 65535});
    fillMix({0x1000, 0x8000, 0xFFFF, 500});
    PLR_SetBlendStrength(0);
    PLR_CopyBlendBufferSurface(4, 4, 0, 0);
    PLR_MixBlendBufferSurface(4, 4, 100);
    PLR_DoColorBlendBuffer(4, 4, 255, 0, 0, 0, 100);
    PLR_DoCopyBlendBufferMask(4, 4, 100);
    EXPECT_EQ(get(mix(1, 1)), (Px{0x1000, 0x8000, 0xFFFF, 500}));
    PLR_FilterBlendBuffer(290, 0);
    EXPECT_EQ(get(mix(1, 1)), (Px{0xEFFF, 0x7FFF, 0, 500}));
}

TEST_F(MixingBuffer, MixOverTransparentFadesAlphaAndKeepsColour) {
    fillMix({0x1000, 0x2000, 0x3000, 40000});
    PLR_MixBlendBufferSurface(4, 4, 64);  // k = 16384: alpha 49152 * 40000 >> 16
    EXPECT_EQ(get(mix(2, 2)), (Px{0x1000, 0x2000, 0x3000, 30000}));
}

TEST_F(MixingBuffer, MixNormalMovesTowardThePicture) {
    fillCurrent({0x8000, 0x8000, 0x8000, 65535});
    fillMix({0x1000, 0x2000, 0x3000, 40000});
    PLR_MixBlendBufferSurface(4, 4, 64);
    // (((X * 49152) >> 8) + ((D * 16384) >> 8)) >> 8, + 1
    EXPECT_EQ(get(mix(2, 2)), (Px{11265, 14337, 17409, 46383}));
    // An empty buffer pixel takes the picture, capped.
    fillCurrent({0xFFFF, 0x1000, 0x2000, 30000});
    fillMix({1, 2, 3, 0});
    PLR_MixBlendBufferSurface(4, 4, 64);
    EXPECT_EQ(get(mix(2, 2)), (Px{65280, 0x1000, 0x2000, 30000}));
}

TEST_F(MixingBuffer, MixThroughTheModes) {
    fillCurrent({0x8000, 0x4000, 0xFFFF, 65535});
    fillMix({0x8000, 0x8000, 0x8000, 65535});
    PLR_SetMixMode(33, 256);  // X = M * D >> 16: 0x4000, 0x2000, 0x7FFF
    PLR_MixBlendBufferSurface(4, 4, 0);
    EXPECT_EQ(get(mix(0, 0)), (Px{0x4001, 0x2001, 0x8000, 65535}));

    fillMix({0x1000, 0x1000, 0x1000, 30000});
    PLR_SetMixMode(256, 256);  // L = 4096: unchanged, X = D with D's alpha
    PLR_MixBlendBufferSurface(4, 4, 0);
    EXPECT_EQ(get(mix(0, 0)), (Px{0x8001, 0x4001, 65280, 65535}));

    fillMix({0xC000, 0x4000, 0x8000, 30000});
    PLR_SetMixMode(340, 256);  // grey with alpha L = 32768
    PLR_MixBlendBufferSurface(4, 4, 0);
    EXPECT_EQ(get(mix(0, 0)), (Px{32768, 32768, 32768, 32768}));
}

TEST_F(MixingBuffer, TintAndMaskPickUp) {
    fillMix({0x4000, 0x4000, 0xFFFF, 100});
    mix(0, 0)[3] = 0;
    PLR_DoColorBlendBuffer(2, 2, 0x80, 0x180, 0, 0, 128);  // f = 32768; low bytes of the colour
    EXPECT_EQ(get(mix(0, 0)), (Px{0x8000, 0x8000, 0, 0}));
    // ((r * f + ((ch * 32768) >> 8)) >> 8) + 1
    EXPECT_EQ(get(mix(1, 1)), (Px{24577, 24577, 32768, 100}));

    PLR_SetColor(0, 0, 0);  // level 65535
    std::uint16_t* mask = page().mask.plane.data();
    mask[4 * 8 + 4] = 0;
    PLR_DoCopyBlendBufferMask(4, 4, 128);  // w = 128 * 65535 + 0
    const std::uint16_t* values = page().brush.mixingBuffer.data();
    EXPECT_EQ(values[2 * 16 + 2], 32768);
    EXPECT_EQ(values[1 * 16 + 1], 65280);  // mask 65535: w >= 0xFF0000
    PLR_DoCopyBlendBufferMask(0, 0, 128);  // clipped: the square starts at the level
    EXPECT_EQ(values[0], 65535);
}

TEST_F(MixingBuffer, FiltersClearAndFill) {
    fillMix({32766, 32767, 40000, 1234});
    PLR_FilterBlendBuffer(291, 50);  // d = trunc(50 * 655.35) = 32767
    EXPECT_EQ(get(mix(3, 3)), (Px{0, 32767, 40000, 1234}));
    PLR_FilterBlendBuffer(292, 50);
    EXPECT_EQ(get(mix(3, 3)), (Px{0, 32767, 65280, 1234}));
    PLR_FilterBlendBuffer(289, 0);
    EXPECT_EQ(get(mix(3, 3)), (Px{32682, 32682, 32682, 1234}));
    PLR_FilterBlendBuffer(1, 0);
    EXPECT_EQ(get(mix(3, 3)), (Px{32682, 32682, 32682, 1234}));
    PLR_FillBlendBuffer(0, 0, 0, 0x1AB);
    EXPECT_EQ(get(mix(3, 3)), (Px{0xABAB, 0xABAB, 0xABAB, 0xABAB}));
    PLR_ClearBlendBuffer();
    EXPECT_EQ(get(mix(3, 3)), (Px{0, 0, 0, 0}));
}

TEST_F(MixingBuffer, PickUpsOffThePageOrWithoutAPageAreSafe) {
    const Px held{0x0700, 0x0800, 0x0900, 0x0A00};
    const auto expectBufferEverywhere = [&](Px v, const char* what) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) ASSERT_EQ(get(mix(r, c)), v) << what << " at " << r << "," << c;
    };
    fillCurrent({0x4000, 0x5000, 0x6000, 65535});
    // A copy whose square lies wholly off the page is all brush colour, alpha amount * 256.
    fillMix(held);
    PLR_CopyBlendBufferSurface(1000, -1000, 0, 0);
    expectBufferEverywhere({0x1000, 0x2000, 0x3000, 0}, "copy off the page");
    // Mix and tint read nothing off the page, and a missing source reads nothing: the buffer keeps its paint.
    fillMix(held);
    PLR_MixBlendBufferSurface(INT32_MIN, INT32_MAX, 10);
    PLR_DoColorBlendBuffer(-50, 50, 1, 2, 3, 0, 10);
    PLR_DoCopyBlendBuffer(1, 1, nullptr, 0, 0);
    PLR_DoMixBlendBuffer(1, 1, nullptr, 0);
    expectBufferEverywhere(held, "off the page or without a source");
    EXPECT_STREQ(PLR_GetLastError(), "");

    // Without a page every pick-up, filter and clear does nothing: no block, no failure.
    resetEngine();
    const auto before = mem::stats().allocations;
    PLR_CopyBlendBufferSurface(1, 1, 0, 0);
    PLR_MixBlendBufferSurface(1, 1, 10);
    PLR_FilterBlendBuffer(289, 0);
    PLR_ClearBlendBuffer();
    PLR_DrawDabGritMask(1, 1);
    EXPECT_EQ(mem::stats().allocations, before);
    EXPECT_EQ(mem::stats().liveBlocks, 0);
    EXPECT_TRUE(page().brush.mixingBuffer.empty());
    EXPECT_STREQ(PLR_GetLastError(), "");
}

}  // namespace
}  // namespace plr::test
