#include <cstring>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kW = 7, kH = 5;

class ProcessingBuffers : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(2, kW, kH);
        PLR_SetLayer(2);
        for (int i = 0; i < kW * kH * 4; ++i) picture[i] = static_cast<std::uint8_t>(i * 37 + 11);
        PLR_LoadRGBA32(picture.data(), kW * 4, 0);
    }
    std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kW * kH * 4);
    const std::vector<std::uint8_t>& src32() { return view(page().processing.src32); }
    static std::vector<std::uint8_t> copyOf(const Block<std::uint8_t>& b) { return {b.data(), b.data() + b.size()}; }
    std::vector<std::uint8_t> seen;
    const std::vector<std::uint8_t>& view(const Block<std::uint8_t>& b) { return seen = copyOf(b); }
};

TEST_F(ProcessingBuffers, SourceBuffersHoldTheCurrentLayerByTheHighByteRule) {
    PLR_IPLAllocSrcBuffer32();
    EXPECT_EQ(src32(), picture);
    PLR_IPLAllocSrcBuffer24();
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < kW * kH; ++i) rgb.insert(rgb.end(), &picture[i * 4], &picture[i * 4 + 3]);
    EXPECT_EQ(copyOf(page().processing.src24), rgb);
    PLR_IPLAllocDstBuffer32();
    PLR_IPLAllocDstBuffer24();
    EXPECT_EQ(page().processing.dst32.size(), std::size_t{kW * kH * 4});
    EXPECT_EQ(page().processing.dst24.size(), std::size_t{kW * kH * 3});
}

TEST_F(ProcessingBuffers, UpdateRefillsOnlyAnExistingBufferFromALayerWithPixels) {
    EXPECT_EQ(PLR_IPLUpdateSrcBuffer32(), 0);
    PLR_IPLAllocSrcBuffer32();
    std::vector<std::uint8_t> other(picture.rbegin(), picture.rend());
    PLR_LoadRGBA32(other.data(), kW * 4, 0);
    EXPECT_EQ(src32(), picture);
    EXPECT_NE(PLR_IPLUpdateSrcBuffer32(), 0);
    EXPECT_EQ(src32(), other);
    PLR_DeleteLayer(2);  // the current layer loses its pixels
    EXPECT_EQ(PLR_IPLUpdateSrcBuffer32(), 0);
    EXPECT_EQ(src32(), other);
}

TEST_F(ProcessingBuffers, SetCopiesAPageOfPixelsIntoAnExistingBufferOnly) {
    std::vector<std::uint8_t> host(kW * kH * 4, 0x5A);
    PLR_IPLSetSrcBuffer32(host.data());
    PLR_IPLSetDstBuffer32(host.data());
    EXPECT_TRUE(page().processing.src32.empty());
    EXPECT_TRUE(page().processing.dst32.empty());
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    PLR_IPLSetSrcBuffer32(nullptr);
    EXPECT_EQ(src32(), picture);
    PLR_IPLSetSrcBuffer32(host.data());
    PLR_IPLSetDstBuffer32(host.data());
    EXPECT_EQ(src32(), host);
    EXPECT_EQ(copyOf(page().processing.dst32), host);
}

TEST_F(ProcessingBuffers, FreeAndPageChangesReleaseEveryBuffer) {
    const auto allocAll = [] {
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
        PLR_IPLAllocSrcBuffer24();
        PLR_IPLAllocDstBuffer24();
    };
    const auto noneLeft = [] {
        return page().processing.src32.empty() && page().processing.dst32.empty() &&
               page().processing.src24.empty() && page().processing.dst24.empty();
    };
    allocAll();
    allocAll();  // a second allocation replaces the first
    PLR_IPLFreeSrcBuffer32();
    PLR_IPLFreeDstBuffer32();
    PLR_IPLFreeSrcBuffer24();
    PLR_IPLFreeDstBuffer24();
    PLR_IPLFreeDstBuffer24();  // freeing an absent buffer does nothing
    EXPECT_TRUE(noneLeft());
    allocAll();
    PLR_NewSize(nullptr, kW + 1, kH, 8, 0);
    EXPECT_TRUE(noneLeft());
    allocAll();
    PLR_DeleteImage();
    EXPECT_TRUE(noneLeft());
}

TEST_F(ProcessingBuffers, AFailedAllocationReportsItsOperationAndLeavesNoBuffer) {
    const struct {
        void (*call)();
        const char* text;
    } cases[] = {
        {PLR_IPLAllocSrcBuffer32, "IPLAllocSrcBuffer32 Excpt"},
        {PLR_IPLAllocDstBuffer32, "IPLAllocDstBuffer32 Excpt"},
        {PLR_IPLAllocSrcBuffer24, "IPLAllocSrcBuffer24 Excpt"},
        {PLR_IPLAllocDstBuffer24, "IPLAllocDstBuffer24 Excpt"},
    };
    for (const auto& c : cases) {
        PLR_SetLastError("");
        c.call();
        mem::injectFailure(1);
        c.call();
        mem::injectFailure(0);
        EXPECT_STREQ(PLR_GetLastError(), c.text);
    }
    EXPECT_TRUE(page().processing.src32.empty());
    EXPECT_TRUE(page().processing.dst24.empty());
}

TEST_F(ProcessingBuffers, TheMaskScalesTheSourceAlphaOnlyWhileEnabled) {
    std::vector<std::uint16_t> mask(kW * kH);
    for (int i = 0; i < kW * kH; ++i) mask[i] = static_cast<std::uint16_t>(i % 3 == 0 ? 0 : i % 3 == 1 ? 0xFFFF : 0x7F00);
    PLR_SetMaskData16(mask.data());
    PLR_ApplyMaskToAlpha_IPLSrcRGBA();  // no buffer: nothing
    PLR_IPLAllocSrcBuffer32();
    PLR_EnableMask(0);
    PLR_ApplyMaskToAlpha_IPLSrcRGBA();
    EXPECT_EQ(src32(), picture);
    PLR_EnableMask(1);
    PLR_ApplyMaskToAlpha_IPLSrcRGBA();
    for (int i = 0; i < kW * kH; ++i) {
        const int a = picture[i * 4 + 3];
        const int want = i % 3 == 0 ? 0 : i % 3 == 1 ? a : (a * 0x80) >> 8;
        EXPECT_EQ(src32()[i * 4 + 3], want) << i;
        EXPECT_EQ(std::memcmp(&src32()[i * 4], &picture[i * 4], 3), 0) << i;
    }
}

}  // namespace
}  // namespace plr::test
