#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

class LegacyLoad : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, 4, 2, 4, 0);
        ASSERT_EQ(PLR_CreateLayer(2, 4, 2), 1);
        ASSERT_EQ(PLR_CreateLayer(3, 4, 2), 1);
        PLR_SetLayer(3);
        PLR_Clear(9, 9, 9, 255);  // the current layer: cleared by the load
        source.assign(4 * 2 * 4, 0);
        for (int i = 0; i < 8; ++i) {
            source[i * 4 + 0] = static_cast<uint8_t>(10 * i);
            source[i * 4 + 1] = 100;
            source[i * 4 + 2] = 200;
            source[i * 4 + 3] = 255;
        }
    }
    const uint16_t* slot(int i) { return page().layers[i].pixels.data(); }
    std::vector<uint8_t> source;
};

TEST_F(LegacyLoad, ClearsTheCurrentLayerAndPastesIntoTheSlot) {
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 2, 4, 2, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(slot(2)[i * 4 + 0], 10 * i * 256);
        EXPECT_EQ(slot(2)[i * 4 + 2], 200 * 256);
        EXPECT_EQ(slot(2)[i * 4 + 3], 0xFF00);  // opacity 255 counts as full
        for (int c = 0; c < 4; ++c) EXPECT_EQ(slot(3)[i * 4 + c], 0) << "current layer cleared";
    }
    EXPECT_EQ(source[3], 255) << "without adjust the source is left alone";
}

TEST_F(LegacyLoad, AdjustFoldsTheMaskIntoTheSourceAlpha) {
    page().mask.plane[1] = 0;       // protected: alpha 0, and the clear skips it
    page().mask.plane[2] = 0x8000;  // half
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 2, 4, 2, 0x101);
    EXPECT_EQ(source[1 * 4 + 3], 0);
    EXPECT_EQ(source[2 * 4 + 3], 127);  // 32767 / 65535 * 255
    EXPECT_EQ(slot(2)[1 * 4 + 3], 0) << "a transparent source pixel leaves the slot";
    EXPECT_EQ(slot(2)[2 * 4 + 3], 127 * 256);
    EXPECT_EQ(slot(3)[1 * 4 + 0], 9 * 256) << "the clear went through the mask";
}

TEST_F(LegacyLoad, RefusesEmptySlotsAndNullSources) {
    PLR_LoadRGBA32Layer_BAD(nullptr, 0, 2, 4, 2, 0);
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 7, 4, 2, 0);
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 99, 4, 2, 0);
    EXPECT_EQ(slot(3)[0], 9 * 256) << "nothing happened";
}

TEST_F(LegacyLoad, AllocationFailureIsReported) {
    PLR_SetLastError("");
    mem::injectFailure(1);
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 2, 4, 2, 0);
    EXPECT_STREQ(PLR_GetLastError(), "LoadRGBA32Layer Excpt");
    EXPECT_EQ(slot(2)[3], 0);
    PLR_LoadRGBA32Layer_BAD(source.data(), 0, 2, 4, 2, 0);
    EXPECT_EQ(slot(2)[3], 0xFF00);
}

}  // namespace
}  // namespace plr::test
