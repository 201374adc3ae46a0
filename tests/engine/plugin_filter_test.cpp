// "Adobe Compatible Plug-ins": a plug-in that cannot run leaves the layer as
// it was; on Windows the test plug-in (tests/plugins/, inverts every plane
// it is given) runs in colour-only and in colour-and-alpha mode.
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kW = 9, kH = 5;

class PluginFilter : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (std::size_t i = 0; i < picture.size(); ++i)
            picture[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 200 + i % 7 : i * 37 + 11);
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(1, kW, kH);
        PLR_CreateLayer(2, kW, kH);
        PLR_SetLayer(2);
        PLR_LoadRGBA32(picture.data(), kW * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    void run(const std::string& path, std::int32_t option3) {
        PLR_IPLImageProcess(0, "Adobe Compatible Plug-ins", 0, 0, 0, 0, 0, 0, 0, 0, 0, option3, 0, 0, 0, 0, 0, 0, 0,
                            0, path.c_str());
    }
    std::vector<std::uint8_t> layer() {
        std::vector<std::uint8_t> out(kW * kH * 4);
        PLR_GetRGBA32Layer(out.data(), kW * 4, 2);
        return out;
    }
    std::vector<std::uint8_t> picture = std::vector<std::uint8_t>(kW * kH * 4);
};

TEST_F(PluginFilter, APlugInThatCannotRunLeavesTheLayer) {
    for (std::int32_t option3 : {0, 1, 0x101}) {
        run(PALORAN_TEST_DATA "/no such plug-in.8bf", option3);
        EXPECT_EQ(layer(), picture) << option3;
        run("", option3);
        EXPECT_EQ(layer(), picture) << option3;
    }
}

#ifdef _WIN32
// The invert plug-in in colour-only mode (option 3 = 1: the layer keeps its
// alpha) and in colour-and-alpha mode (its alpha inverted too).
TEST_F(PluginFilter, TheTestPlugInInvertsThePlanesItIsGiven) {
    const std::string path = PALORAN_BINARY_DIR "/bin/plugins/paloran_invert.8bf";
    run(path, 1);
    std::vector<std::uint8_t> expected = picture;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (i % 4 != 3) expected[i] = static_cast<std::uint8_t>(255 - expected[i]);
    EXPECT_EQ(layer(), expected);

    PLR_LoadRGBA32(picture.data(), kW * 4, 0);
    run(path, 0);
    const std::vector<std::uint8_t> out = layer();
    for (std::size_t i = 0; i < out.size(); i += 4)
        EXPECT_EQ(out[i + 3], 255 - picture[i + 3]) << i / 4;
}

TEST_F(PluginFilter, ScanListsTheTestPlugIn) {
    const std::string folder = PALORAN_BINARY_DIR "/bin/plugins";
    EXPECT_EQ(PLR_PhotoshopPluginScan(folder.c_str()), 1);
    EXPECT_EQ(std::string(PLR_PhotoshopPluginNextName()), "paloran Tests :: Invert Planes :: " + folder + "\\paloran_invert.8bf");
    EXPECT_EQ(std::string(PLR_PhotoshopPluginNextName()), "");
}
#endif

}  // namespace
}  // namespace plr::test
