// The dab's arithmetic, pixel by pixel, against values worked out by hand
// from the composing rules (one-pixel brushes unless placement is tested).
#include "dab_test_support.h"

namespace plr::test {
namespace {

using DabRules = DabTest;

TEST_F(DabRules, NormalOverTransparentCopiesColourAndAlphaFollowsCoverage) {
    makePage(8, 8, 4, 1);
    PLR_DrawDabGrit(3, 4, 0x12FF, 0x3400, 0xAB7F);                       // only the high bytes count
    EXPECT_EQ(get(current(3, 4)), (Px{0x1200, 0x3400, 0xAB00, 65534}));  // (65535 * 65535) >> 16
    EXPECT_EQ(get(current(2, 4)), (Px{0, 0, 0, 0}));
    EXPECT_EQ(page().brush.dabColor.alpha, 65535);
}

TEST_F(DabRules, NormalOverOpaqueScalesTheSourceByFullCoverage) {
    makePage(8, 8, 4, 1);
    fillCurrent({0x1000, 0x2000, 0x3000, 65535});
    PLR_DrawDabGrit(1, 1, 0xFF00, 0x0000, 0x8000);
    EXPECT_EQ(get(current(1, 1)), (Px{65279, 0, 32767, 65535}));
}

TEST_F(DabRules, NormalAndMultiplyAtPartialCoverageOverHalfAlpha) {
    makePage(8, 8, 4, 1, 2, 50000);
    *reinterpret_cast<std::array<std::uint16_t, 4>*>(current(2, 2)) = {0x8000, 0x4000, 0xFFFF, 32768};
    PLR_DrawDabGrit(2, 2, 0xFF00, 0x2000, 0);
    EXPECT_EQ(get(current(2, 2)), (Px{60906, 9292, 8811, 57767}));

    PLR_SetMixMode(33, 256);
    *reinterpret_cast<std::array<std::uint16_t, 4>*>(current(3, 3)) = {0x8000, 0x4000, 0xFFFF, 40000};
    PLR_DrawDabGrit(3, 3, 0xFF00, 0x8000, 0);
    EXPECT_EQ(get(current(3, 3)), (Px{43348, 17544, 10445, 59481}));
}

TEST_F(DabRules, OpacityBelowHundredScalesCoverageBy128ths) {
    makePage(8, 8, 4, 1);
    PLR_SetAlpha(50);  // alpha128 = 64: Y = 65535 * 64 >> 7 = 32767
    PLR_DrawDabGrit(0, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(current(0, 0)[3], (32767u * 65535u) >> 16);
    PLR_SetAlpha(0);
    PLR_DrawDabGrit(1, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(get(current(1, 0)), (Px{0, 0, 0, 0}));
}

TEST_F(DabRules, SmudgeMixesTheBufferColourAndRemixWritesBack) {
    makePage(8, 8, 4, 1, 2, 30000);
    fillCurrent({0x8000, 0x8000, 0x8000, 65535});
    PLR_SetBlendStrength(100);
    PLR_SetBlendRemix(1);
    fillMix({0x1000, 0x2000, 0x3000, 40000});
    PLR_DrawDabGrit(4, 4, 0, 0, 0);
    EXPECT_EQ(get(current(4, 4)), (Px{19643, 21518, 23393, 53846}));
    EXPECT_EQ(get(mix(0, 0)), (Px{21569, 23169, 24769, 55560}));

    // With the one-dab switch the buffer is ignored and untouched.
    fillMix({0x1000, 0x2000, 0x3000, 40000});
    PLR_TempDisableBlend();
    PLR_DrawDabGrit(5, 5, 0xFF00, 0, 0);
    EXPECT_EQ(get(mix(0, 0)), (Px{0x1000, 0x2000, 0x3000, 40000}));
    EXPECT_EQ(tool().tempDisableBlend, 0);
    // Normal over opaque: s = 30000; red = (32767 * 35535) / 65535 + (30000 * 0xFF00 >> 16)
    EXPECT_EQ(current(5, 5)[0], 47649);
}

TEST_F(DabRules, EraseLowersAlphaAndTheBlobLockKeepsTheOpaqueRegion) {
    makePage(8, 8, 4, 1, 2, 30000);
    fillCurrent({1, 2, 3, 50000});
    PLR_SetEraseModeOn();
    PLR_DrawDabGrit(0, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(get(current(0, 0)), (Px{1, 2, 3, 27111}));  // (65535 - 30000) * 50000 >> 16
    EXPECT_EQ(tool().eraseMode, 0);                       // one dab only
    PLR_DrawDabGrit(1, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(get(current(1, 0)), (Px{34289, 34289, 34290, 57111}));  // the next dab paints again

    setShape(65535);
    PLR_SetBlobLocked(1);
    current(2, 0)[3] = 8191;
    current(3, 0)[3] = 8192;
    for (int x : {0, 2, 3}) {
        PLR_SetEraseModeOn();
        PLR_DrawDabGrit(x, 0, 0, 0, 0);
    }
    EXPECT_EQ(current(0, 0)[3], 9215);  // never below 9215 inside the blob
    EXPECT_EQ(current(2, 0)[3], 8191);  // outside it: untouched
    EXPECT_EQ(current(3, 0)[3], 9215);
    PLR_SetBlobLocked(0);
    PLR_SetEraseModeOn();
    PLR_DrawDabGrit(3, 0, 0, 0, 0);
    EXPECT_EQ(current(3, 0)[3], 0);
}

TEST_F(DabRules, BlobLockedPaintWritesAlphaOnlyWhereBothAlphasAreOpaqueEnough) {
    makePage(8, 8, 4, 1);
    PLR_SetBlobLocked(1);
    PLR_DrawDabGrit(0, 0, 0xFF00, 0, 0);  // Da = 0: colour only
    EXPECT_EQ(get(current(0, 0)), (Px{0xFF00, 0, 0, 0}));
    current(1, 0)[3] = 20000;
    PLR_DrawDabGrit(1, 0, 0xFF00, 0, 0);
    EXPECT_EQ(current(1, 0)[3], 65535);
}

TEST_F(DabRules, LocksAndAlphaLevel) {
    makePage(8, 8, 4, 1);
    PLR_SetColorLocked(1);
    PLR_DrawDabGrit(0, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(get(current(0, 0)), (Px{0, 0, 0, 65534}));
    PLR_SetColorLocked(0);
    PLR_SetAlphaLocked(1);
    PLR_DrawDabGrit(1, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(get(current(1, 0)), (Px{0xFF00, 0xFF00, 0xFF00, 0}));
    PLR_SetAlphaLocked(0);
    page().currentLayer->alphaLock = 1;
    PLR_DrawDabGrit(2, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(current(2, 0)[3], 0);
    page().currentLayer->alphaLock = 0;
    PLR_SetAlphaLevel(1234);
    PLR_DrawDabGrit(3, 0, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(current(3, 0)[3], 1234);
}

TEST_F(DabRules, SlotsZeroAndOneKeepAlphaUnlessThePaintLayerTakesTheDab) {
    for (int slot : {0, 1}) {
        makePage(8, 8, 4, 1, slot);
        fillCurrent({0x1000, 0x1000, 0x1000, 30000});
        PLR_DrawDabGrit(2, 2, 0xFF00, 0, 0);
        const Px p = get(current(2, 2));
        EXPECT_EQ(p[3], 30000u) << "slot " << slot;
        EXPECT_NE(p[0], 0x1000u) << "colour still reaches slot " << slot;

        makePaintLayer();
        PLR_DrawDabGrit(3, 3, 0xFF00, 0, 0);
        EXPECT_EQ(get(layerPixel(page().paintLayer, 3, 3)), (Px{0xFF00, 0, 0, 65534}));
        EXPECT_EQ(get(current(3, 3)), (Px{0x1000, 0x1000, 0x1000, 30000})) << "the layer itself is untouched";
        const Rect b = page().paintLayer.bounds;
        EXPECT_EQ(b.left, 3);
        EXPECT_EQ(b.top, 3);
        EXPECT_EQ(b.right, 4);
        EXPECT_EQ(b.bottom, 4);
        resetEngine();
    }
}

// Target D = (0x3000, 0xE000, 0x8000) opaque, source S = (0xC000, 0x4000, 0x8000).
struct ModeCase {
    int mode;
    Px full;     // coverage 65535: R = X
    Px partial;  // coverage 40000
};
const ModeCase kModes[] = {
    {34, {52225, 59392, 49152, 65535}, {36664, 58595, 42769, 65534}},
    {35, {12288, 16384, 32768, 65535}, {12289, 32345, 32769, 65534}},
    {36, {49152, 57344, 32768, 65535}, {34789, 57345, 32769, 65534}},
    {37, {36864, 40960, 0, 65535}, {27289, 47345, 12769, 65534}},
    {38, {61440, 57342, 65534, 65535}, {42289, 57343, 52767, 65534}},
    {39, {43008, 45056, 32768, 65535}, {31039, 49845, 32769, 65534}},
    {40, {18432, 53249, 32769, 65535}, {16039, 54845, 32769, 65534}},
    {41, {38914, 28672, 32769, 65535}, {28540, 39845, 32769, 65534}},
    {42, {20333, 53760, 32768, 65535}, {17199, 55157, 32769, 65534}},
    {43, {49155, 65535, 65535, 65535}, {34790, 62344, 52768, 65534}},
    {44, {0, 32771, 1, 65535}, {4789, 42346, 12769, 65534}},
    {45, {9216, 65535, 32769, 65535}, {10414, 62344, 32769, 65534}},
    {46, {45371, 32772, 32769, 65535}, {32481, 42347, 32769, 65534}},
    {47, {61440, 65535, 65535, 65535}, {42289, 62344, 52768, 65534}},
    {48, {0, 8193, 1, 65535}, {4789, 27345, 12769, 65534}},
};

TEST_F(DabRules, MixModesAtFullAndPartialCoverage) {
    for (const ModeCase& c : kModes) {
        for (int partial = 0; partial < 2; ++partial) {
            makePage(4, 4, 2, 1, 2, partial ? 40000 : 65535);
            fillCurrent({0x3000, 0xE000, 0x8000, 65535});
            PLR_SetMixMode(c.mode, 256);
            PLR_DrawDabGrit(1, 1, 0xC000, 0x4000, 0x8000);
            EXPECT_EQ(get(current(1, 1)), partial ? c.partial : c.full) << "mode " << c.mode << " partial " << partial;
            resetEngine();
        }
    }
}

TEST_F(DabRules, MixStrengthWeighsTheModeAgainstTheSource) {
    makePage(4, 4, 2, 1);
    fillCurrent({0x3000, 0xE000, 0x8000, 65535});
    PLR_SetMixMode(35, 128);  // Darken at half strength: red (128 * S >> 4) + (128 * X >> 4) >> 4
    PLR_DrawDabGrit(0, 0, 0xC000, 0x4000, 0x8000);
    EXPECT_EQ(get(current(0, 0)), (Px{30720, 16384, 32768, 65535}));
}

TEST_F(DabRules, MixPathOverTransparentAndHalfAlphaPreparesTheTarget) {
    makePage(4, 4, 2, 1, 2, 40000);
    PLR_SetMixMode(47, 256);  // Add
    // Da = 0: D takes S's colour; X = min(65535, 2S); partial coverage blends toward D = S.
    PLR_DrawDabGrit(0, 0, 0x4000, 0, 0);
    // red: R = 32768; (((32768*40000)>>8) + ((25536*16384)>>8)) >> 8 = 26384, + 1
    // alpha: Ra = 65535 -> ((65535*40000)>>8 + 0) >> 8 = 39999
    EXPECT_EQ(get(current(0, 0)), (Px{26385, 1, 1, 39999}));
}

TEST_F(DabRules, ColourBankModes) {
    auto run = [&](int mode, Px target, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        makePage(4, 4, 2, 1);
        PLR_SetColorBanks(0x10, 0x20, 0x30, 0x50, 0x60, 0x70, 0x90, 0xA0, 0xB0, 0xD0, 0xE0, 0xF0);
        fillCurrent(target);
        PLR_SetMixMode(mode, 256);
        PLR_DrawDabGrit(0, 0, static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
        const Px out = get(current(0, 0));
        resetEngine();
        return out;
    };
    const Px d{0x3000, 0xE000, 0x8000, 65535};
    // S = (0xC000, 0x4000, 0x8000): L = 32768.
    EXPECT_EQ(run(249, d, 0xC000, 0x4000, 0x8000), (Px{0x5000, 0x6000, 0x7000, 65535}));
    EXPECT_EQ(run(250, d, 0xC000, 0x4000, 0x8000), (Px{0x5000, 0x6000, 0x7000, 65535}));
    EXPECT_EQ(run(251, d, 0xC000, 0x4000, 0x8000), (Px{0x9000, 0xA000, 0xB000, 65535}));
    EXPECT_EQ(run(253, d, 0xC000, 0x4000, 0x8000), d);
    EXPECT_EQ(run(254, d, 0xC000, 0x4000, 0x8000), (Px{0x1000, 0x2000, 0x3000, 65535}));
    EXPECT_EQ(run(255, d, 0xC000, 0x4000, 0x8000), (Px{0xC000, 0x4000, 0x8000, 65535}));
    EXPECT_EQ(run(256, d, 0xC000, 0x4000, 0x8000), (Px{0xC000, 0x4000, 0x8000, 65535}));
    // 252 with L = 16384: t = 128, halfway between banks 0 and 1.
    EXPECT_EQ(run(252, d, 0x4000, 0x4000, 0x4000), (Px{0x3000, 0x4000, 0x5000, 65535}));
    // Conditional modes outside their range leave the pixel as it was.
    const Px half{0x3000, 0xE000, 0x8000, 40000};
    EXPECT_EQ(run(256, half, 0x1000, 0x1000, 0x1000), half);
    EXPECT_EQ(run(257, half, 0xFF00, 0xFF00, 0xFF00), half);
    EXPECT_EQ(run(258, half, 0xFF00, 0xFF00, 0xFF00), half);
    EXPECT_EQ(run(259, half, 0x8000, 0x8000, 0x8000), half);
    EXPECT_EQ(run(260, half, 0x8000, 0x8000, 0x8000), half);
    EXPECT_EQ(run(259, d, 0x1000, 0x1000, 0x1000), (Px{0x1000, 0x2000, 0x3000, 65535}));
    EXPECT_EQ(run(260, d, 0xFF00, 0xFF00, 0xFF00), (Px{0x1000, 0x2000, 0x3000, 65535}));
    // Level modes.
    EXPECT_EQ(run(261, d, 0x2000, 0x4000, 0xFF00), (Px{0, 21845, 65535, 65535}));
    EXPECT_EQ(run(262, d, 0x2000, 0x8000, 0xFF00), (Px{0, 32767, 65535, 65535}));
    // Lightness pickers: Ld = 37376, Ls = 30720.
    EXPECT_EQ(run(387, d, 0xC000, 0x4000, 0x8000), (Px{0xC000, 0x4000, 0x8000, 65535}));
    EXPECT_EQ(run(388, d, 0xC000, 0x4000, 0x8000), d);
    // Grey: mid grey, alpha = L.
    EXPECT_EQ(run(340, d, 0xC000, 0x4000, 0x8000), (Px{32767, 32767, 32767, 32768}));
}

TEST_F(DabRules, PosterizeDropsLowBitsWithoutStrengthMixing) {
    makePage(4, 4, 2, 1);
    fillCurrent({0x3000, 0xE000, 0x8000, 65535});
    PLR_SetMixMode(295, 223);  // trunc(16 * 96 / 127) = 12
    ASSERT_EQ(tool().posterizeShift, 12);
    PLR_DrawDabGrit(0, 0, 0xC300, 0x4700, 0x8F00);
    EXPECT_EQ(get(current(0, 0)), (Px{0xC000, 0x4000, 0x8000, 65535}));
}

TEST_F(DabRules, UnlistedMixModesPaintAsNormal) {
    makePage(4, 4, 2, 1);
    fillCurrent({0x1000, 0x2000, 0x3000, 65535});
    PLR_SetMixMode(100, 256);
    PLR_DrawDabGrit(0, 0, 0xFF00, 0, 0x8000);
    EXPECT_EQ(get(current(0, 0)), (Px{65279, 0, 32767, 65535}));
}


TEST_F(DabRules, ImageBrushModeTurnsBufferAlphaIntoCoverage) {
    makePage(8, 8, 4, 1);
    PLR_SetBlendStrength(100);
    PLR_SetImageBrushMode(1);
    fillMix({0x4000, 0x4000, 0x4000, 32768});
    PLR_DrawDabGrit(2, 2, 0, 0, 0);
    // Y = (65535 * 32768) >> 16 = 32767, S alpha 65535: alpha (32767 * 65535) >> 16.
    EXPECT_EQ(get(current(2, 2)), (Px{0x4000, 0x4000, 0x4000, 32766}));
}

TEST_F(DabRules, PrimaryStrengthMixesTheBrushColourIntoTheBufferColour) {
    makePage(8, 8, 4, 1);
    PLR_SetBlendStrength(100);
    PLR_SetBlendPrimaryColorStrength(64);  // inverse 192
    fillMix({0x4000, 0x4000, 0x4000, 65535});
    PLR_DrawDabGrit(2, 2, 0xC000, 0, 0);
    // red (192 * 16384 + 64 * 49152) >> 8; green, blue 192 * 16384 >> 8
    EXPECT_EQ(get(current(2, 2)), (Px{24576, 12288, 12288, 65534}));
}

TEST_F(DabRules, MaskDabReadsAndRemixesTheBufferAsSingleValues) {
    makePage(8, 8, 4, 1);
    PLR_SetBlendStrength(128);
    PLR_SetBlendRemix(1);
    page().brush.mixingBuffer.data()[0] = 20000;
    PLR_SetMaskMakerOn();
    PLR_DrawDabGrit(2, 2, 0xFF00, 0xFF00, 0xFF00);
    EXPECT_EQ(page().mask.plane.data()[2 * 8 + 2], 20000);
    // min(65535, ((128 * 65535 + 128 * 20000) >> 8) + 1), from the old mask value
    EXPECT_EQ(page().brush.mixingBuffer.data()[0], 42768);
}

}  // namespace
}  // namespace plr::test
