// Deflate-compressed layer transfers: round trips, the option passed through,
// corrupt, truncated and mis-sized streams, and allocation failure.
#include <cstring>
#include <vector>

#include "engine_fixture.h"
#include "pixel_test_support.h"

namespace plr::test {
namespace {

using CompressedLayer = EngineTest;
using V8 = std::vector<std::uint8_t>;

void fillRandom(std::int32_t slot, Biased& r) {
    LayerRecord& l = page().layers[slot];
    for (std::size_t i = 0; i < l.pixels.size(); ++i) l.pixels[i] = i % 4 == 3 ? r.alpha16() : r.value16();
}

V8 compressed(std::int32_t slot, std::int32_t option = 6) {
    V8 out(page().pixelCount() * 4 + 1024);
    const std::int32_t n =
        PLR_GetRGBA32LayerCompressed(out.data(), 0, static_cast<std::int32_t>(out.size()), slot, option);
    EXPECT_GT(n, 0);
    out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return out;
}

std::vector<std::uint16_t> pixelsOf(std::int32_t slot) {
    const LayerRecord& l = page().layers[slot];
    return {l.pixels.data(), l.pixels.data() + l.pixels.size()};
}

TEST_F(CompressedLayer, RoundTripGivesTheEightBitFormThroughTheCoreLoad) {
    Biased r(42);
    makePage(37, 5, {2, 3});
    fillRandom(2, r);
    const V8 z = compressed(2);
    ASSERT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, static_cast<std::int32_t>(z.size()), 3), 1);
    for (std::int32_t y = 0; y < 5; ++y)
        for (std::int32_t x = 0; x < 37; ++x) {
            const std::uint16_t* a = px(2, x, y);
            const std::uint16_t* b = px(3, x, y);
            const bool transparent = (a[3] >> 8) == 0;  // the core load writes (0, 0, 0, 0) for those
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(b[c], transparent ? 0 : (a[c] & 0xFF00)) << x << "," << y << " channel " << c;
        }
    // The mask and texture are not consulted.
    for (std::size_t i = 0; i < page().pixelCount(); ++i) page().mask.plane[i] = 0;
    std::memset(page().layers[3].pixels.data(), 0, page().layers[3].pixels.bytes());
    ASSERT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, static_cast<std::int32_t>(z.size()), 3), 1);
    EXPECT_EQ(px(3, 36, 4)[3], (px(2, 36, 4)[3] >> 8) ? (px(2, 36, 4)[3] & 0xFF00) : 0);
}

TEST_F(CompressedLayer, OptionIsPassedToTheLibraryAndSmallCapacityFails) {
    makePage(64, 64);
    const V8 stored = compressed(2, 0);  // level 0: stored blocks, bigger than the raw 16 KB
    const V8 best = compressed(2, 9);
    EXPECT_GT(stored.size(), 64u * 64u * 4u);
    EXPECT_LT(best.size(), 200u);  // all zero: compresses to almost nothing
    V8 tiny(8, 0xEE);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(tiny.data(), 0, 8, 2, 9), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(tiny.data(), 0, 0, 2, 9), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(tiny.data(), 0, -8, 2, 9), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(nullptr, 0, 8, 2, 9), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(tiny.data(), 0, 8, 64, 9), 0);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(tiny.data(), 0, 8, 3, 9), 0);  // no pixels
}

TEST_F(CompressedLayer, BadStreamsLoadNothing) {
    Biased r(7);
    makePage(16, 8, {2, 3});
    fillRandom(2, r);
    fillRandom(3, r);
    const auto before = pixelsOf(3);
    const V8 z = compressed(2);
    const auto len = static_cast<std::int32_t>(z.size());

    V8 corrupt = z;
    corrupt[corrupt.size() / 2] ^= 0x5A;
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(corrupt.data(), 0, len, 3), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, len - 7, 3), 0);  // truncated
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, 2, 3), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, 0, 3), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, -1, 3), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(nullptr, 0, len, 3), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, len, 64), 0);
    const V8 garbage = r.bytes(300);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(garbage.data(), 0, 300, 3), 0);
    EXPECT_EQ(pixelsOf(3), before);

    // A valid stream of another page size: too short, then too long.
    PLR_NewSize(nullptr, 16, 7, 4, 0);
    createLayer(page(), 2, 16, 7);
    createLayer(page(), 3, 16, 7);
    const V8 shorter = compressed(2);
    PLR_NewSize(nullptr, 16, 8, 4, 0);
    createLayer(page(), 3, 16, 8);
    fillRandom(3, r);
    const auto kept = pixelsOf(3);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(shorter.data(), 0, static_cast<std::int32_t>(shorter.size()), 3), 0);
    EXPECT_EQ(pixelsOf(3), kept);
    PLR_NewSize(nullptr, 16, 6, 4, 0);
    createLayer(page(), 3, 16, 6);
    fillRandom(3, r);
    const auto kept6 = pixelsOf(3);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(z.data(), 0, len, 3), 0);
    EXPECT_EQ(pixelsOf(3), kept6);
}

TEST_F(CompressedLayer, PageOfSizeZeroTransfersNothing) {
    PLR_CreateImage(nullptr, 0, 4, 4, 0);
    createLayer(page(), 2, 0, 4);
    V8 out(64);
    EXPECT_EQ(PLR_GetRGBA32LayerCompressed(out.data(), 0, 64, 2, 6), 0);
    EXPECT_EQ(PLR_LoadRGBA32LayerCompressed(out.data(), 0, 64, 2), 0);
}

TEST_F(CompressedLayer, AllocationFailureReportsReleasesAndKeepsTheLayer) {
    Biased r(9);
    makePage(8, 8, {2, 3});
    fillRandom(2, r);
    const V8 z = compressed(2);
    const auto before = pixelsOf(3);
    const auto live = mem::stats().liveBlocks;
    std::int32_t result = -1;
    const int loads = forEachAllocationFailure(
        [] { PLR_SetLastError(""); },
        [&] { result = PLR_LoadRGBA32LayerCompressed(z.data(), 0, static_cast<std::int32_t>(z.size()), 3); },
        [&](int) {
            EXPECT_EQ(result, 0);
            EXPECT_STREQ(PLR_GetLastError(), "LoadRGBA32LayerCompressed Excpt");
            EXPECT_EQ(mem::stats().liveBlocks, live);
            EXPECT_EQ(pixelsOf(3), before);
        });
    EXPECT_EQ(loads, 1);   // the one temporary buffer
    EXPECT_EQ(result, 1);  // the last run, without a failure, loaded
    EXPECT_EQ(mem::stats().liveBlocks, live);

    V8 out(8 * 8 * 4 + 256);
    const int reads = forEachAllocationFailure(
        [] { PLR_SetLastError(""); },
        [&] { result = PLR_GetRGBA32LayerCompressed(out.data(), 0, static_cast<std::int32_t>(out.size()), 2, 6); },
        [&](int) {
            EXPECT_EQ(result, 0);
            EXPECT_STREQ(PLR_GetLastError(), "GetRGBA32Layer Excpt");
            EXPECT_EQ(mem::stats().liveBlocks, live);
        });
    EXPECT_EQ(reads, 1);
    EXPECT_GT(result, 0);
    EXPECT_EQ(mem::stats().liveBlocks, live);
}

}  // namespace
}  // namespace plr::test
