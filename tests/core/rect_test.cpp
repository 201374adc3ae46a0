// The rectangle helpers at their edges: empty and crossed rectangles and
// coordinates at both ends of the 32-bit range.
#include "core/rect.h"

#include <gtest/gtest.h>

#include <climits>

#include "engine_fixture.h"

namespace plr::test {
namespace {

using RectHelpers = EngineTest;

TEST_F(RectHelpers, SizesAreExclusiveAndNeverNegative) {
    constexpr Rect r{2, 3, 7, 5};
    static_assert(r.width() == 5 && r.height() == 2 && r.pixels() == 10);
    EXPECT_FALSE(r.empty());
    EXPECT_TRUE(r.contains(2, 3));
    EXPECT_TRUE(r.contains(6, 4));
    EXPECT_FALSE(r.contains(7, 4));
    EXPECT_FALSE(r.contains(6, 5));
    const Rect crossed{5, 5, 4, 9};
    EXPECT_TRUE(crossed.empty());
    EXPECT_EQ(crossed.width(), 0);
    EXPECT_EQ(crossed.pixels(), 0u);
    EXPECT_TRUE(Rect{}.empty());
    EXPECT_TRUE((Rect{1, 1, 1, 9}.empty()));
}

TEST_F(RectHelpers, ExtremeCoordinatesDoNotOverflow) {
    constexpr Rect all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(all.width(), 4294967295LL);
    EXPECT_EQ(all.pixels(), 4294967295ULL * 4294967295ULL);
    EXPECT_EQ((Rect{INT_MAX, 0, INT_MIN, 1}.width()), 0);
    EXPECT_EQ(Rect::fromInclusive(0, 0, INT_MAX, INT_MAX), (Rect{0, 0, INT_MAX, INT_MAX}));
    EXPECT_EQ(Rect::fromInclusive(-4, -3, -2, 0), (Rect{-4, -3, -1, 1}));
    EXPECT_EQ(Rect::fromInclusive(-4, -3, -2, 0).lastColumn(), -2);
    EXPECT_EQ(clipToPage(all, 640, 480), (Rect{0, 0, 640, 480}));
}

TEST_F(RectHelpers, IntersectClipAndInside) {
    EXPECT_EQ(intersect(Rect{0, 0, 10, 10}, Rect{5, -5, 20, 5}), (Rect{5, 0, 10, 5}));
    EXPECT_TRUE(intersect(Rect{0, 0, 4, 4}, Rect{4, 0, 8, 4}).empty());  // edges touch: no pixel shared
    EXPECT_TRUE(clipToPage(Rect{-9, -9, -1, -1}, 10, 10).empty());
    EXPECT_TRUE(clipToPage(Rect{0, 0, 5, 5}, 0, 0).empty());
    EXPECT_TRUE(insidePage(Rect{0, 0, 10, 10}, 10, 10));
    EXPECT_FALSE(insidePage(Rect{0, 0, 11, 10}, 10, 10));
    EXPECT_FALSE(insidePage(Rect{-1, 0, 5, 5}, 10, 10));
    EXPECT_FALSE(insidePage(Rect{3, 3, 3, 5}, 10, 10));  // empty
}

TEST_F(RectHelpers, UniteAndIncludePoint) {
    EXPECT_EQ(unite(Rect{0, 0, 2, 2}, Rect{5, -1, 6, 1}), (Rect{0, -1, 6, 2}));
    EXPECT_EQ(unite(Rect{}, Rect{5, 5, 6, 7}), (Rect{5, 5, 6, 7}));  // empty adds nothing
    EXPECT_EQ(unite(Rect{5, 5, 6, 7}, Rect{9, 9, 2, 2}), (Rect{5, 5, 6, 7}));
    Rect r{};
    r = includePoint(r, 3, 4);
    EXPECT_EQ(r, (Rect{3, 4, 4, 5}));
    r = includePoint(r, -2, 8);
    EXPECT_EQ(r, (Rect{-2, 4, 4, 9}));
    EXPECT_EQ(includePoint(r, INT_MIN, INT_MIN), (Rect{INT_MIN, INT_MIN, 4, 9}));
    EXPECT_EQ(includePoint(r, INT_MAX, 0), r);  // cannot be held exclusively
}

}  // namespace
}  // namespace plr::test
