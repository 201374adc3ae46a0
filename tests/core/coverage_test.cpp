// The coverage arithmetic, with every expected value worked out by hand
// (products written out in the comments).
#include "core/coverage.h"

#include <gtest/gtest.h>

#include "core/packed_pixels.h"

namespace plr::test {
namespace {

TEST(EightSixteenRule, WidensToTheHighByteAndNarrowsByTruncation) {
    EXPECT_EQ(widen8(255), 0xFF00);  // not 0xFFFF
    EXPECT_EQ(widen8(1), 0x0100);
    EXPECT_EQ(widen8(0), 0);
    EXPECT_EQ(narrow16(0xFFFF), 255);
    EXPECT_EQ(narrow16(0xFF00), 255);
    EXPECT_EQ(narrow16(0xFEFF), 254);  // truncates, never rounds up
    EXPECT_EQ(narrow16(0x00FF), 0);
}

TEST(CoverageA, TextureEdges) {
    EXPECT_EQ(textureCoverageA(0xFFFF, 0), 0u);
    EXPECT_EQ(textureCoverageA(0xFFFF, 1), 767u);      // 3 * 65535 = 196605, >> 8
    EXPECT_EQ(textureCoverageA(0xFFFF, 4), 2303u);     // 9 * 65535 = 589815, >> 8
    EXPECT_EQ(textureCoverageA(0xFFFF, 127), 65279u);  // 255 * 65535 = 16711425, >> 8
    EXPECT_EQ(textureCoverageA(0xFFFF, 128), 0xFFFFu);
    EXPECT_EQ(textureCoverageA(0xFFFF, 250), 0xFFFFu);
    EXPECT_EQ(textureCoverageA(1234, 200), 1234u);  // t >= 128 leaves f
}

TEST(CoverageA, MaskEdgesUseTheHighByte) {
    EXPECT_EQ(maskCoverageA(0xFFFF, 0x0000), 0u);
    EXPECT_EQ(maskCoverageA(0xFFFF, 0x00FF), 0u);       // h = 0: untouched, low byte ignored
    EXPECT_EQ(maskCoverageA(0xFFFF, 0xFF00), 0xFFFFu);  // h = 255 leaves f
    EXPECT_EQ(maskCoverageA(1000, 0xFFFF), 1000u);
    EXPECT_EQ(maskCoverageA(0xFFFF, 0x0100), 511u);    // 2 * 65535 >> 8
    EXPECT_EQ(maskCoverageA(0xFFFF, 0x7F00), 32767u);  // 128 * 65535 = 8388480, >> 8
    EXPECT_EQ(maskCoverageA(0xFFFF, 0x7FFF), 32767u);
    EXPECT_EQ(maskCoverageA(0xFFFF, 0xFE00), 65279u);  // 255 * 65535 >> 8
}

TEST(CoverageA, TextureThenMask) {
    // t = 64: 129 * 65535 = 8454015 >> 8 = 33023; h = 127: 128 * 33023 = 4226944 >> 8 = 16511
    EXPECT_EQ(coverageA(true, 64, true, 0x7F00), 16511u);
    EXPECT_EQ(coverageA(true, 0, true, 0xFFFF), 0u);
    EXPECT_EQ(coverageA(false, 0, false, 0), 0xFFFFu);  // nothing consulted
    EXPECT_EQ(coverageA(true, 200, false, 0), 0xFFFFu);
}

TEST(CoverageB, TextureAndMaskEdges) {
    EXPECT_EQ(textureCoverageB(0xFFFF, 0), 0u);
    EXPECT_EQ(textureCoverageB(0xFFFF, 1), 511u);      // 0x1FFFE = 131070, >> 8
    EXPECT_EQ(textureCoverageB(0xFFFF, 127), 65023u);  // 127 * 131070 = 16645890, >> 8
    EXPECT_EQ(textureCoverageB(0xFFFF, 128), 0xFFFFu);
    EXPECT_EQ(maskCoverageB(0xFFFF, 0xFFFF), 0xFFFFu);
    EXPECT_EQ(maskCoverageB(0xFFFF, 0xFFFE), 65533u);  // 65534 * 65535 = 4294770690, >> 16
    EXPECT_EQ(maskCoverageB(0xFFFF, 0x8000), 32767u);  // 32768 * 65535 >> 16
    EXPECT_EQ(maskCoverageB(0xFFFF, 0x00FF), 254u);    // the low byte counts here (255 * 65535 >> 16)
    EXPECT_EQ(maskCoverageB(0xFFFF, 0), 0u);
    // t = 64: 64 * 131070 = 8388480 >> 8 = 32767; m = 0x8000: 32768 * 32767 >> 16 = 16383
    EXPECT_EQ(coverageB(true, 64, true, 0x8000), 16383u);
}

TEST(CoverageBlend, InteriorValues) {
    EXPECT_EQ(coverageBlend(255, 0, 0x8000), 32640);     // 255 * 32768 = 8355840, >> 8
    EXPECT_EQ(coverageBlend(0, 0xFFFF, 0x8000), 32766);  // 65535 * 32767 = 2147385345 >> 8 = 8388224, >> 8
    EXPECT_EQ(coverageBlend(255, 0xFFFF, 1), 65533);     // (255 + 16776448) >> 8
    // Largest product: 255 * 256 * 65534 = 4278059520 still fits 32 bits.
    EXPECT_EQ(coverageBlend(255, 0xFFFF, 0xFFFE), 65279);  // (16711170 + 255) >> 8
    EXPECT_EQ(coverageBlend(100, 0x1234, 32767), 15129);   // (3276700 + 596480) >> 8
}

TEST(CoverageBlend, EndsAreExactNotContinuous) {
    // Just below full coverage the blend gives 65279; full coverage gives s * 256.
    EXPECT_EQ(coverageApply(255, 0xFFFF, 0xFFFF), 0xFF00);
    EXPECT_EQ(coverageApply(255, 0, 0xFFFF), 0xFF00);
    EXPECT_EQ(coverageApply(7, 0x1234, 0), 0x1234);
    EXPECT_EQ(coverageApply(255, 0xFFFF, 0xFFFE), 65279);
    // The plain formula at the ends would not give them: s * 65535 >> 8 (255, not 256) and d - 1.
    EXPECT_EQ(coverageBlend(1, 0, 0xFFFF), 255);
    EXPECT_EQ(coverageBlend(0, 0x1234, 0), 0x1233);
}

}  // namespace
}  // namespace plr::test
