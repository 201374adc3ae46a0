// Run-length line codecs: byte-exact records, run limits, line ends, count 0
// records, truncated and corrupt input.
#include "core/rle_codec.h"

#include <vector>

#include "engine_fixture.h"
#include "pixel_test_support.h"

namespace plr::test {
namespace {

using RunLength = EngineTest;
using V8 = std::vector<std::uint8_t>;
using V16 = std::vector<std::uint16_t>;

V16 repeated(std::size_t n, V16 pixel) {
    V16 v;
    for (std::size_t i = 0; i < n; ++i) v.insert(v.end(), pixel.begin(), pixel.end());
    return v;
}

TEST_F(RunLength, ThreeHundredEqualPixelsMakeRunsOf255And45) {
    const V16 line = repeated(300, {0x1200, 0x34FF, 0x5601, 0xFFFF});
    V8 out(300 * 5, 0xEE);
    ASSERT_EQ(PLR_RLECompressRGBA64ToRGBA32(line.data(), out.data(), 300), 10);
    EXPECT_EQ(V8(out.begin(), out.begin() + 11), (V8{255, 0x12, 0x34, 0x56, 0xFF, 45, 0x12, 0x34, 0x56, 0xFF, 0xEE}));
    const V16 values(300, 0xAB12);
    ASSERT_EQ(PLR_RLECompressG16ToG8(values.data(), out.data(), 300), 4);
    EXPECT_EQ(V8(out.begin(), out.begin() + 4), (V8{255, 0xAB, 45, 0xAB}));
}

TEST_F(RunLength, RunsBreakAt255AndOnAnyHighByteChangeButNotOnLowBytes) {
    V16 line = repeated(256, {0x0100, 0x0200, 0x0300, 0x0400});
    line[4 * 100 + 2] = 0x03FF;  // only the low byte differs: same run
    V8 out(256 * 5);
    ASSERT_EQ(PLR_RLECompressRGBA64ToRGBA32(line.data(), out.data(), 256), 10);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[5], 1);
    // Alpha alone differing in the high byte starts a new run.
    const V16 two = {1 << 8, 2 << 8, 3 << 8, 4 << 8, 1 << 8, 2 << 8, 3 << 8, 5 << 8};
    ASSERT_EQ(PLR_RLECompressRGBA64ToRGBA32(two.data(), out.data(), 2), 10);
    EXPECT_EQ(V8(out.begin(), out.begin() + 10), (V8{1, 1, 2, 3, 4, 1, 1, 2, 3, 5}));
    // Exactly 255 equal values: one full record.
    const V16 g(255, 0x7F00);
    ASSERT_EQ(PLR_RLECompressG16ToG8(g.data(), out.data(), 255), 2);
    EXPECT_EQ(V8(out.begin(), out.begin() + 2), (V8{255, 0x7F}));
    // One value: one record.
    ASSERT_EQ(PLR_RLECompressG16ToG8(g.data(), out.data(), 1), 2);
    EXPECT_EQ(out[0], 1);
}

TEST_F(RunLength, DecodingCutsTheLastRunAtTheLineEnd) {
    const V8 runs = {2, 0x10, 0x20, 0x30, 0x40, 200, 1, 2, 3, 4};
    V16 out(5 * 4, 0xEEEE);  // room for 5 pixels, the line is 4
    ASSERT_EQ(PLR_RLEUncompressRGBA32ToRGBA64(runs.data(), out.data(), 4), 10);
    EXPECT_EQ(V16(out.begin(), out.begin() + 4), (V16{0x1000, 0x2000, 0x3000, 0x4000}));
    EXPECT_EQ(V16(out.begin() + 12, out.begin() + 16), (V16{0x100, 0x200, 0x300, 0x400}));
    EXPECT_EQ(V16(out.begin() + 16, out.end()), (V16{0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE}));

    const V8 g = {3, 0x80, 9, 0x01};
    V16 gout(5, 0xEEEE);
    ASSERT_EQ(PLR_RLEUncompressG8ToG16(g.data(), gout.data(), 4), 4);
    EXPECT_EQ(gout, (V16{0x8000, 0x8000, 0x8000, 0x0100, 0xEEEE}));
}

TEST_F(RunLength, RecordsWithCountZeroAreSkipped) {
    const V8 runs = {0, 9, 9, 9, 9, 2, 1, 2, 3, 4};
    V16 out(2 * 4, 0xEEEE);
    ASSERT_EQ(PLR_RLEUncompressRGBA32ToRGBA64(runs.data(), out.data(), 2), 10);
    EXPECT_EQ(out, (V16{0x100, 0x200, 0x300, 0x400, 0x100, 0x200, 0x300, 0x400}));
    const V8 g = {0, 7, 2, 5};
    V16 gout(2, 0xEEEE);
    ASSERT_EQ(PLR_RLEUncompressG8ToG16(g.data(), gout.data(), 2), 4);
    EXPECT_EQ(gout, (V16{0x0500, 0x0500}));
}

TEST_F(RunLength, ZeroedInputStopsAtTheLineBudget) {
    // A line of 3 pixels needs at most 3 records; a buffer of nothing but zero
    // counts (exactly that long, so the sanitizer sees any read past it) is
    // read to its end and no further, and writes nothing.
    const V8 zeros(3 * 5, 0);
    V16 out(3 * 4, 0xEEEE);
    EXPECT_EQ(PLR_RLEUncompressRGBA32ToRGBA64(zeros.data(), out.data(), 3), 15);
    EXPECT_EQ(out, V16(12, 0xEEEE));
    const V8 gz(2 * 2, 0);
    V16 gout(2, 0xEEEE);
    EXPECT_EQ(PLR_RLEUncompressG8ToG16(gz.data(), gout.data(), 2), 4);
    EXPECT_EQ(gout, V16(2, 0xEEEE));
}

TEST_F(RunLength, TruncatedInputDecodesWholeRecordsOnly) {
    const V8 runs = {2, 1, 2, 3, 4, 5, 9};  // one record and two bytes of the next
    V8 out(4 * 8, 0xEE);
    EXPECT_EQ(decodeRGBA32Runs(runs.data(), runs.size(), out.data(), 4), 5u);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[15], 4);
    EXPECT_EQ(out[16], 0xEE);  // the rest of the line left as it was
    EXPECT_EQ(decodeRGBA32Runs(runs.data(), 0, out.data(), 4), 0u);
    const V8 g = {4, 1, 3};
    V8 gout(8, 0xEE);
    EXPECT_EQ(decodeG8Runs(g.data(), g.size(), gout.data(), 8), 2u);
    EXPECT_EQ(gout[7], 1);
}

TEST_F(RunLength, ZeroLengthAndBadArgumentsAnswerZero) {
    V16 line(8, 0x1234);
    V8 out(16, 0xEE);
    EXPECT_EQ(PLR_RLECompressRGBA64ToRGBA32(line.data(), out.data(), 0), 0);
    EXPECT_EQ(PLR_RLECompressRGBA64ToRGBA32(line.data(), out.data(), -4), 0);
    EXPECT_EQ(PLR_RLECompressRGBA64ToRGBA32(nullptr, out.data(), 2), 0);
    EXPECT_EQ(PLR_RLECompressG16ToG8(line.data(), nullptr, 2), 0);
    EXPECT_EQ(PLR_RLEUncompressRGBA32ToRGBA64(out.data(), line.data(), 0), 0);
    EXPECT_EQ(PLR_RLEUncompressG8ToG16(nullptr, line.data(), 2), 0);
    EXPECT_EQ(out, V8(16, 0xEE));
    EXPECT_EQ(line, V16(8, 0x1234));
    EXPECT_EQ(encodeRGBA32Runs(nullptr, 0, nullptr), 0u);
}

TEST_F(RunLength, RandomLinesRoundTripToTheirEightBitForm) {
    Biased r(11);
    for (int it = 0; it < 200; ++it) {
        const std::int32_t n = r.range(1, 700);
        V16 line(static_cast<std::size_t>(n) * 4);
        // Few distinct values so that long runs (past 255) occur.
        const std::uint16_t palette[3] = {r.value16(), r.value16(), r.value16()};
        std::uint16_t cur = palette[0];
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i % 4 == 0 && r.below(40) == 0) cur = palette[r.below(3)];
            line[i] = static_cast<std::uint16_t>(cur + (i % 4) * 0x100 + r.below(256));  // low byte noise
        }
        V8 runs(static_cast<std::size_t>(n) * 5);
        const std::int32_t bytes = PLR_RLECompressRGBA64ToRGBA32(line.data(), runs.data(), n);
        ASSERT_EQ(bytes % 5, 0);
        std::int32_t total = 0;
        for (std::int32_t i = 0; i < bytes; i += 5) {
            ASSERT_GE(runs[i], 1);
            total += runs[i];
        }
        ASSERT_EQ(total, n);
        V16 back(line.size() + 4, 0xEEEE);
        ASSERT_EQ(PLR_RLEUncompressRGBA32ToRGBA64(runs.data(), back.data(), n), bytes);
        for (std::size_t i = 0; i < line.size(); ++i) ASSERT_EQ(back[i], line[i] & 0xFF00) << "iteration " << it;
        ASSERT_EQ(back[line.size()], 0xEEEE);
    }
}

TEST_F(RunLength, LayerAndMaskLines) {
    makePage(3, 2);
    setPx(2, 0, 1, 0x1100, 0x2200, 0x3300, 0xFF00);
    setPx(2, 1, 1, 0x11FF, 0x2200, 0x3300, 0xFF00);
    setPx(2, 2, 1, 0, 0, 0, 0);
    V8 line(3 * 5, 0xEE);
    ASSERT_EQ(PLR_GetRGBA32LayerLineRLE(line.data(), 2, 1), 10);
    EXPECT_EQ(V8(line.begin(), line.begin() + 11), (V8{2, 0x11, 0x22, 0x33, 0xFF, 1, 0, 0, 0, 0, 0xEE}));
    ASSERT_EQ(PLR_PutRGBA32LayerLineRLE(line.data(), 2, 0), 10);
    EXPECT_EQ(px(2, 1, 0)[0], 0x1100);
    EXPECT_EQ(px(2, 2, 0)[3], 0);
    EXPECT_EQ(PLR_GetRGBA32LayerLineRLE(line.data(), 2, 2), 0);  // row outside
    EXPECT_EQ(PLR_GetRGBA32LayerLineRLE(line.data(), 2, -1), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerLineRLE(line.data(), 64, 0), 0);  // slot outside
    EXPECT_EQ(PLR_GetRGBA32LayerLineRLE(line.data(), 3, 0), 0);   // no pixels
    EXPECT_EQ(PLR_PutRGBA32LayerLineRLE(line.data(), 2, 5), 0);
    EXPECT_EQ(PLR_PutRGBA32LayerLineRLE(nullptr, 2, 0), 0);

    page().mask.plane[3] = 0x80FF;
    page().mask.plane[4] = 0x8000;
    page().mask.plane[5] = 0x0000;
    V8 m(3 * 2, 0xEE);
    ASSERT_EQ(PLR_GetMaskLineRLE(m.data(), 1), 4);
    EXPECT_EQ(m, (V8{2, 0x80, 1, 0x00, 0xEE, 0xEE}));
    ASSERT_EQ(PLR_PutMaskLineRLE(m.data(), 0), 4);
    EXPECT_EQ(page().mask.plane[0], 0x8000);
    EXPECT_EQ(page().mask.plane[2], 0);
    EXPECT_EQ(PLR_GetMaskLineRLE(m.data(), 2), 0);
    PLR_DeleteImage();  // no mask plane any more
    EXPECT_EQ(PLR_GetMaskLineRLE(m.data(), 0), 0);
    EXPECT_EQ(PLR_PutMaskLineRLE(m.data(), 0), 0);
}

}  // namespace
}  // namespace plr::test
