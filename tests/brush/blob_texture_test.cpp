// Blob conversion and the paper texture exports.
#include "engine_fixture.h"

namespace plr::test {
namespace {

class BlobTexture : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, 2, 2, 4, 0);
        ASSERT_TRUE(PLR_CreateLayer(2, 2, 2));
    }
    std::uint16_t* px(int i) { return page().layers[2].pixels.data() + i * 4; }
    void set(int i, std::uint16_t r, std::uint16_t g, std::uint16_t b, std::uint16_t a) {
        px(i)[0] = r, px(i)[1] = g, px(i)[2] = b, px(i)[3] = a;
    }
};

TEST_F(BlobTexture, BlobAlphaFollowsBrightnessAboveTheThreshold) {
    set(0, 65535, 65535, 65535, 65535);  // L 65535
    set(1, 0, 0, 0, 8192);               // L 0, alpha just above the threshold
    set(2, 3000, 6000, 9000, 8191);      // alpha at the threshold: kept
    set(3, 10000, 20000, 60000, 40000);  // L 30000
    PLR_CreateBlobFromImage(2, 0);
    EXPECT_EQ(px(0)[0], 32767);
    EXPECT_EQ(px(0)[3], 65485);  // trunc(65535 * 0.843 + 10239) = 65485.0
    EXPECT_EQ(px(1)[3], 10239);
    EXPECT_EQ(px(2)[3], 8191);
    EXPECT_EQ(px(2)[1], 32767);  // colour still replaced
    EXPECT_EQ(px(3)[3], 35529);  // 30000 * 0.843 + 10239
}

TEST_F(BlobTexture, BlobModeOnePullsColoursTowardTheMiddle) {
    set(0, 65535, 65535, 32767, 65535);  // L 54612: k = (54612 - 32767) / 65534
    set(1, 0, 0, 30000, 100);            // L 10000: k = 22767 / 65534
    PLR_CreateBlobFromImage(2, 1);
    const double k0 = (54612 - 32767) / 65534.0;
    EXPECT_EQ(px(0)[0], static_cast<std::uint16_t>(65535 - 65535 * k0));
    EXPECT_EQ(px(0)[2], static_cast<std::uint16_t>(32767 - 32767 * k0));
    const double k1 = 22767 / 65534.0;
    EXPECT_EQ(px(1)[0], static_cast<std::uint16_t>(65535 * k1));
    EXPECT_EQ(px(1)[2], static_cast<std::uint16_t>(30000 + 35535 * k1));
    EXPECT_EQ(px(1)[3], 100);
    PLR_CreateBlobFromImage(40, 1);  // an empty slot: nothing
    PLR_CreateBlobFromImage(64, 1);
}

TEST_F(BlobTexture, TextureIsClampedAverage) {
    set(0, 0, 0, 0, 0);
    set(1, 65535, 65535, 65535, 0);
    set(2, 30000, 30000, 30000, 0);  // 90000 / 768 = 117
    set(3, 1000, 1000, 1000, 0);     // 3 -> 4
    const std::uint8_t* t = PLR_CreateTexture(2);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t[0], 4);
    EXPECT_EQ(t[1], 250);
    EXPECT_EQ(t[2], 117);
    EXPECT_EQ(t[3], 4);
    PLR_DeleteTexture();
    EXPECT_EQ(page().textureIfPresent(), nullptr);
    mem::injectFailure(1);
    EXPECT_EQ(PLR_CreateTexture(2), nullptr);
    mem::injectFailure(0);
    EXPECT_STREQ(PLR_GetLastError(), "CreateTexture Excpt");
}

}  // namespace
}  // namespace plr::test
