// The 100-point stroke spline: worked points, the ends on the first and last
// input point, symmetry, and the getters' index rules.
#include "engine_fixture.h"

namespace plr::test {
namespace {

using TabletSpline = EngineTest;

TEST_F(TabletSpline, EvenlySpacedPointsOnALineGiveEvenlySpacedPoints) {
    EXPECT_EQ(PLR_GetSplinePointCount(), 0);
    EXPECT_EQ(PLR_GetSplinePointX(5), 0);
    PLR_CalcSpline3(0, 40, 100, 40, 200, 40, 0);
    ASSERT_EQ(PLR_GetSplinePointCount(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(PLR_GetSplinePointX(i), 200 * i / 99) << i;  // 200 i / 99 is never within 0.01 of an integer
        EXPECT_EQ(PLR_GetSplinePointY(i), 40) << i;
    }
}

TEST_F(TabletSpline, CurveRunsFromFirstToLastPointThroughTheMiddleSymmetrically) {
    PLR_CalcSpline3(0, 0, 100, 100, 200, 0, 0);
    EXPECT_EQ(PLR_GetSplinePointX(0), 0);
    EXPECT_EQ(PLR_GetSplinePointY(0), 0);
    EXPECT_EQ(PLR_GetSplinePointX(99), 200);
    EXPECT_EQ(PLR_GetSplinePointY(99), 0);
    // Points 49 and 50 sit just either side of the middle point.
    EXPECT_EQ(PLR_GetSplinePointX(49), 98);
    EXPECT_EQ(PLR_GetSplinePointX(50), 101);
    EXPECT_EQ(PLR_GetSplinePointY(49), 99);
    EXPECT_EQ(PLR_GetSplinePointY(50), 99);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(PLR_GetSplinePointY(i), PLR_GetSplinePointY(99 - i)) << i;
        EXPECT_LE(PLR_GetSplinePointY(i), 100) << i;
        if (i > 0) {
            EXPECT_GT(PLR_GetSplinePointX(i), PLR_GetSplinePointX(i - 1)) << i;
        }
    }
    // Past the count: the last point; before the first: the first.
    EXPECT_EQ(PLR_GetSplinePointX(500), 200);
    EXPECT_EQ(PLR_GetSplinePointY(500), 0);
    EXPECT_EQ(PLR_GetSplinePointX(-3), 0);
}

}  // namespace
}  // namespace plr::test
