// A page of size 0 still has layer slots whose blocks have no length. The
// pixel transfers refuse such a page (nothing to move, so no success to
// report); the layer-stack operations treat those slots as ordinary layers.
#include <cstdint>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

using ZeroSizedPage = EngineTest;

TEST_F(ZeroSizedPage, TransfersRefuseItWhileTheStackSeesItsLayers) {
    PLR_CreateImage(nullptr, 0, 3, 8, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 0, 3), 1);
    ASSERT_TRUE(page().layers[2].hasPixels());  // a zero-length block
    ASSERT_NE(page().pageLayer(2), nullptr);
    std::vector<std::uint8_t> buffer(64, 0xAB);

    EXPECT_EQ(PLR_GetRGBA32Layer(buffer.data(), 0, 2), 0);
    EXPECT_EQ(PLR_GetLayerData(buffer.data(), 2), 0);
    EXPECT_EQ(PLR_SetRGBA64Layer(buffer.data(), 0, 2), 0);
    EXPECT_EQ(buffer[0], 0xAB);
    PLR_SetLayer(2);
    ASSERT_NE(page().currentPageLayer(), nullptr);
    EXPECT_EQ(PLR_Clear(1, 2, 3, 4), 0);
    EXPECT_EQ(PLR_ClearMasked(1, 2, 3, 4), 0);
    EXPECT_EQ(PLR_GetRGBA32(buffer.data(), 0), 0);

    std::int32_t l = -7, t = -7, r = -7, b = -7;
    PLR_FindDataExtentsLayer(2, &l, &t, &r, &b);  // found out: no data on a 0 x 3 page
    EXPECT_EQ(l, 0);
    EXPECT_EQ(t, 3);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(b, 0);
}

}  // namespace
}  // namespace plr::test
