#include <cstring>

#include "engine/page_lifecycle.h"
#include "engine_fixture.h"
#include "history/history.h"

namespace plr::test {
namespace {

using PageLifecycle = EngineTest;

TEST_F(PageLifecycle, SizesOutsideTheRangeBecome100AndZeroIsKept) {
    PLR_CreateImage(nullptr, -1, 20000, 16, 0);
    EXPECT_EQ(page().width, 100);
    EXPECT_EQ(page().height, 100);
    PLR_DeleteImage();
    PLR_CreateImage(nullptr, 0, 10000, 16, 0);
    EXPECT_EQ(page().width, 0);
    EXPECT_EQ(page().height, 10000);
    PLR_DeleteImage();
    PLR_CreateImage(nullptr, 10001, 3, 16, 0);
    EXPECT_EQ(page().width, 100);
    EXPECT_EQ(page().height, 3);
}

TEST_F(PageLifecycle, CreationLeavesTheFreshPageState) {
    page().currentLayerIndex = 7;  // not reset by creation
    PLR_CreateImage(reinterpret_cast<void*>(0x1234), 300, 200, 40, 9);
    const Page& p = page();
    EXPECT_EQ(p.ownerWindow, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(p.rowValues, 1200);
    EXPECT_EQ(p.brushRowValues, 160);
    EXPECT_EQ(p.reserved, 9);
    EXPECT_EQ(p.view.scale, 1);
    EXPECT_EQ(p.view.zoom, 1.0f);
    EXPECT_EQ(p.currentLayer, nullptr);
    EXPECT_EQ(PLR_GetLayerNum(), 7);
    EXPECT_EQ(p.traceLayer, &p.layers[0]);
    EXPECT_EQ(p.tracingMode, 0);
    EXPECT_EQ(p.mask.enabled, 1);
    ASSERT_EQ(p.mask.plane.size(), 300u * 200u);
    for (std::size_t i = 0; i < p.mask.plane.size(); ++i) ASSERT_EQ(p.mask.plane[i], 0xFFFF);
    EXPECT_EQ(p.history.underPixels.size(), 300u * 200u * 4u);
    EXPECT_EQ(p.history.underMask.size(), 300u * 200u);
    EXPECT_EQ(p.history.memoryKB, 300 * 200 * 10 / 1024);
    for (const auto& g : p.brush.gritTextures) EXPECT_EQ(g.size(), 65u * 65u);
    EXPECT_EQ(p.brush.shapePlane.size(), 40u * 40u);
    EXPECT_EQ(p.brush.mixingBuffer.size(), 40u * 40u * 4u);
    for (std::size_t i = 0; i < p.brush.mixingBuffer.size(); ++i) ASSERT_EQ(p.brush.mixingBuffer[i], 0) << i;
    EXPECT_EQ(p.randomTables[0].modulus, 255);
    EXPECT_EQ(p.randomTables[1].modulus, 254);
    EXPECT_EQ(p.randomTables[0].length, 1000000);
    EXPECT_TRUE(p.processing.src32.empty());
    // The stroke rectangle starts empty.
    EXPECT_EQ(p.history.stroke.left, 299);
    EXPECT_EQ(p.history.stroke.top, 199);
    EXPECT_EQ(p.history.stroke.right, 0);
}

TEST_F(PageLifecycle, NewSizeKeepsLayersAndTraceButReallocatesTheRest) {
    PLR_CreateImage(nullptr, 50, 40, 8, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 50, 40), 1);
    PLR_SetLayer(2);
    page().traceLayer = &page().layers[5];
    page().view.scale = 4;
    page().tracingMode = 1;
    page().mask.plane[0] = 7;
    PLR_NewSize(nullptr, 80, 60, 12, 0);
    Page& p = page();
    EXPECT_EQ(p.width, 80);
    EXPECT_EQ(p.height, 60);
    EXPECT_EQ(p.view.scale, 1);
    EXPECT_EQ(p.tracingMode, 0);
    EXPECT_EQ(p.traceLayer, &p.layers[5]);
    EXPECT_EQ(p.currentLayer, &p.layers[2]);
    EXPECT_TRUE(p.layers[2].hasPixels());
    EXPECT_EQ(p.layers[2].width, 50);  // the host recreates layers at the new size
    EXPECT_EQ(p.mask.plane.size(), 80u * 60u);
    EXPECT_EQ(p.mask.plane[0], 0xFFFF);
    EXPECT_EQ(p.brush.shapePlane.size(), 144u);
    EXPECT_EQ(PLR_CreateLayer(2, 80, 60), 1);
    EXPECT_EQ(p.layers[2].width, 80);
}

TEST_F(PageLifecycle, DeleteReleasesLayersButKeepsSizeAndRandomTables) {
    PLR_CreateImage(nullptr, 30, 20, 8, 0);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(PLR_CreateLayer(i, 30, 20), 1);
    PLR_DeleteImage();
    EXPECT_EQ(PLR_GetLayerCount(), 0);
    EXPECT_EQ(page().width, 30);
    EXPECT_TRUE(page().mask.plane.empty());
    EXPECT_TRUE(page().history.underPixels.empty());
    EXPECT_FALSE(page().randomTables[0].data.empty());
    // Only the two random tables stay.
    EXPECT_EQ(mem::stats().liveBlocks, 2);
    PLR_CreateImage(nullptr, 30, 20, 8, 0);
    EXPECT_EQ(page().mask.plane.size(), 600u);
}

TEST_F(PageLifecycle, RandomTablesAreReusedForTheSameSeedAndRebuiltForANewOne) {
    PLR_SetRandomSeed(5);
    PLR_CreateImage(nullptr, 10, 10, 4, 0);
    const std::uint8_t* first = page().randomTables[0].data.data();
    std::vector<std::uint8_t> copy(first, first + 1000);
    PLR_NewSize(nullptr, 20, 20, 4, 0);
    EXPECT_EQ(page().randomTables[0].data.data(), first) << "same seed: reused, not rebuilt";
    PLR_SetRandomSeed(6);
    PLR_NewSize(nullptr, 20, 20, 4, 0);
    EXPECT_EQ(page().randomTables[0].seed, 6);
    EXPECT_NE(0, std::memcmp(copy.data(), page().randomTables[0].data.data(), copy.size()));
    PLR_SetRandomSeed(5);
    PLR_NewSize(nullptr, 20, 20, 4, 0);
    EXPECT_EQ(0, std::memcmp(copy.data(), page().randomTables[0].data.data(), copy.size()));
}

TEST_F(PageLifecycle, RandomTablesFollowTheRunTimeGenerator) {
    PLR_SetRandomSeed(1);
    PLR_CreateImage(nullptr, 4, 4, 4, 0);
    // srand(1); rand() gives 41, 18467, 6334, 26500, 19169 ...
    const std::uint8_t* t = page().randomTables[0].data.data();
    EXPECT_EQ(t[0], 41 % 255);
    EXPECT_EQ(t[1], 18467 % 255);
    EXPECT_EQ(t[2], 6334 % 255);
    EXPECT_EQ(t[3], 26500 % 255);
    EXPECT_EQ(t[4], 19169 % 255);
    // The second table is drawn after reseeding, so it starts over.
    const std::uint8_t* u = page().randomTables[1].data.data();
    EXPECT_EQ(u[0], 41 % 254);
    EXPECT_EQ(u[1], 18467 % 254);
    for (int i = 0; i < 1000000; ++i) ASSERT_LT(t[i], 255);
}

TEST_F(PageLifecycle, BrushSizesAreReplacedLikePageSizes) {
    EXPECT_EQ(clampBrushSize(-5), 0);
    EXPECT_EQ(clampBrushSize(0x7FFFFFFF), 10000);
    EXPECT_EQ(clampBrushSize(512), 512);
    PLR_CreateImage(nullptr, 10, 10, -5, 0);
    EXPECT_EQ(page().maxBrushSize, 0);
    EXPECT_EQ(page().brushRowValues, 0);
    EXPECT_EQ(page().mask.plane.size(), 100u);
    EXPECT_EQ(page().brush.gritTextures[0].size(), 625u);
}

TEST_F(PageLifecycle, AFailedCreationLeavesTheEngineUsable) {
    PLR_SetLastError("");
    mem::injectFailure(22);  // the mixing buffer, allocated before the mask plane
    PLR_CreateImage(nullptr, 10, 10, 8, 0);
    EXPECT_STREQ(PLR_GetLastError(), "CreateImage Excpt");
    EXPECT_TRUE(page().mask.plane.empty());
    PLR_NewSize(nullptr, 10, 10, 8, 0);
    EXPECT_EQ(page().mask.plane.size(), 100u);
    EXPECT_EQ(PLR_CreateLayer(2, 10, 10), 1);
}

// Every allocation of creation and resizing can fail: the failure is
// reported, nothing leaks (the fixture checks) and the engine still works.
TEST_F(PageLifecycle, AllocationFailureAtEverySiteOfCreationAndResize) {
    const int created = forEachAllocationFailure(
        [] { resetEngine(); PLR_SetLastError(""); },
        [] { PLR_CreateImage(nullptr, 64, 48, 16, 0); },
        [](int n) {
            const std::string err = PLR_GetLastError();
            EXPECT_TRUE(err == "CreateImage Excpt" || err == "MakeRandArrayByte Excpt") << "at " << n << ": " << err;
            PLR_DeleteImage();
            PLR_CreateImage(nullptr, 64, 48, 16, 0);
            EXPECT_EQ(PLR_CreateLayer(1, 64, 48), 1) << "engine unusable after failure " << n;
            EXPECT_EQ(page().mask.plane.size(), 64u * 48u);
        });
    EXPECT_GE(created, 26);  // 20 grit textures, shape, mixing, mask, 2 under-layer planes, tables

    const int resized = forEachAllocationFailure(
        [] {
            resetEngine();
            PLR_CreateImage(nullptr, 64, 48, 16, 0);
            PLR_SetLastError("");
        },
        [] { PLR_NewSize(nullptr, 32, 32, 8, 0); },
        [](int n) {
            const std::string err = PLR_GetLastError();
            EXPECT_TRUE(err == "NewSize Excpt" || err == "MakeRandArrayByte Excpt") << "at " << n << ": " << err;
            PLR_NewSize(nullptr, 32, 32, 8, 0);
            EXPECT_EQ(page().mask.plane.size(), 32u * 32u);
        });
    EXPECT_GE(resized, 25);
}

}  // namespace
}  // namespace plr::test
