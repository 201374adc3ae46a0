// The distortion filters through the dispatcher: alpha carried through the
// colour-only effects, the polygon warps on their box, edge modes of the
// transform-list filters, and the point-to-point push.
#include <array>
#include <cstring>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr int kN = 20;  // a square page

class Distortions : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kN, kN, 8, 0);
        PLR_CreateLayer(1, kN, kN);
        PLR_SetLayer(1);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }
    // Colour from the position; alpha 0 or 255 in a pattern with no symmetry.
    static std::vector<std::uint8_t> picture(bool withHoles) {
        std::vector<std::uint8_t> px(std::size_t(kN) * kN * 4);
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x) {
                std::uint8_t* p = &px[(std::size_t(y) * kN + x) * 4];
                p[0] = static_cast<std::uint8_t>(x * 12), p[1] = static_cast<std::uint8_t>(y * 12);
                p[2] = static_cast<std::uint8_t>((x * y) & 0xFF);
                p[3] = withHoles && (x < 3 || (y > 12 && x > 9)) ? 0 : 255;
            }
        return px;
    }
    void setLayer(const std::vector<std::uint8_t>& px) { PLR_LoadRGBA32(px.data(), kN * 4, 0); }
    std::vector<std::uint8_t> layer() {
        std::vector<std::uint8_t> out(std::size_t(kN) * kN * 4);
        PLR_GetRGBA32Layer(out.data(), kN * 4, 1);
        return out;
    }
    void process(const char* name, std::array<std::int32_t, 6> p, std::array<std::int32_t, 8> option = {}) {
        PLR_SetLastError("");
        PLR_IPLImageProcess(0, name, 77, p[0], p[1], p[2], p[3], p[4], p[5], option[0], option[1], option[2],
                            option[3], option[4], option[5], option[6], option[7], 10, 20, 30, "");
        EXPECT_STREQ(PLR_GetLastError(), "") << name;
    }
    static const std::uint8_t* at(const std::vector<std::uint8_t>& px, int x, int y) {
        return &px[(std::size_t(y) * kN + x) * 4];
    }
};

// "Rotate" by 180 degrees at scale 100: alpha turns with the colour, so the
// holes move with the picture; colour is compared where it is opaque.
TEST_F(Distortions, AlphaTravelsThroughTheColourOnlyEffect) {
    const auto start = picture(true);
    setLayer(start);
    process("Rotate", {750, 100, 0, 0, 0, 0});  // 7.2 * 75 - 360 = 180, t(10 * 10) = 100
    const auto out = layer();
    for (int y = 0; y < kN; ++y)
        for (int x = 0; x < kN; ++x) {
            const std::uint8_t* want = at(start, kN - 1 - x, kN - 1 - y);
            const std::uint8_t* got = at(out, x, y);
            ASSERT_EQ(got[3], want[3]) << x << "," << y;
            if (want[3] == 255) {
                ASSERT_EQ(std::memcmp(got, want, 3), 0) << x << "," << y;
            }
        }
}

// Sliders at 500 keep every corner: the warp leaves the layer as it was;
// off-centre sliders move the box's content inside the page and leave the
// rest transparent in the filter colour.
TEST_F(Distortions, PolygonWarpsKeepTheBoxAtNeutralAndClearOutsideTheShape) {
    const auto start = picture(false);
    for (const char* name : {"Perspective", "Warp", "Stretch", "Stretch Edge", "Skew"}) {
        setLayer(start);
        process(name, {500, 500, 500, 500, 500, 500});
        EXPECT_EQ(layer(), start) << name;
    }
    setLayer(start);
    process("Vertical Pivot", {500, 0, 500, 1000, 500, 500});  // m2 = 0, m4 = 0: the neutral pivot
    EXPECT_EQ(layer(), start);
    setLayer(start);
    process("Stretch", {0, 500, 500, 500, 500, 500});  // both sides in by t(19 * 0.01 * 50) = 9
    const auto out = layer();
    EXPECT_EQ(at(out, 0, 5)[3], 0);
    EXPECT_EQ(at(out, 8, 5)[3], 0);
    EXPECT_EQ(at(out, 9, 5)[3], 255);
    EXPECT_EQ(at(out, 10, 5)[3], 255);
    EXPECT_EQ(at(out, 11, 5)[3], 0);
    // "Warp 3 Point": only the switched-on corners move, the pairs in turn.
    setLayer(start);
    process("Warp 3 Point", {500, 500, 500, 500, 500, 500}, {0, 0, 0, 1, 0, 0, 1, 0});
    EXPECT_EQ(layer(), start);
    setLayer(start);
    process("Warp 3 Point", {0, 0, 500, 500, 500, 500}, {0, 0, 0, 0, 1, 0, 0, 0});  // top-left out by (-38, -38)
    EXPECT_NE(layer(), start);
    EXPECT_EQ(at(layer(), kN - 1, kN - 1)[3], 255);
}

// The transform-list filters read the nearest edge pixel beyond the page:
// an offset by the whole width smears column 0... into every pixel.
TEST_F(Distortions, TransformListFiltersUseTheNearestEdgeBeyondThePage) {
    const auto start = picture(false);
    setLayer(start);
    process("Offset", {750, 500, 0, 0, 0, 0});  // dx = t(20 * 0.5) = 10, dy = 0, no folding
    const auto out = layer();
    for (int y = 0; y < kN; ++y)
        for (int x = 0; x < kN; ++x) {
            const std::uint8_t* want = at(start, x < 10 ? 0 : x - 10, y);
            ASSERT_EQ(std::memcmp(at(out, x, y), want, 4), 0) << x << "," << y;
        }
    setLayer(start);
    process("Offset", {750, 500, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0});  // the transform wraps round
    const auto wrapped = layer();
    for (int y = 0; y < kN; ++y)
        for (int x = 0; x < kN; ++x)
            ASSERT_EQ(std::memcmp(at(wrapped, x, y), at(start, (x + 10) % kN, y), 4), 0) << x << "," << y;
}

TEST_F(Distortions, PointToPointPushMovesTheSourceAndNeedsBothBuffers) {
    const auto start = picture(false);
    setLayer(start);
    PLR_IPLUpdateSrcBuffer32();
    PLR_WarpPointToPoint(5, 5, 5, 5);
    EXPECT_EQ(layer(), start);
    PLR_WarpPointToPoint(10, 10, 13, 10);  // (13, 10) now shows (10, 10); the push reaches 8 pixels
    EXPECT_EQ(std::memcmp(at(layer(), 13, 10), at(start, 10, 10), 4), 0);
    EXPECT_EQ(std::memcmp(at(layer(), 0, 0), at(start, 0, 0), 4), 0);
    EXPECT_NE(layer(), start);
    setLayer(start);
    PLR_IPLUpdateSrcBuffer32();
    PLR_IPLFreeDstBuffer32();
    PLR_WarpPointToPoint(4, 10, 12, 10);
    EXPECT_EQ(layer(), start);
}

}  // namespace
}  // namespace plr::test
