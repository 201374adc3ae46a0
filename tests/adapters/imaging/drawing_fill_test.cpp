// Region calls of the drawing family: the span fill held bit-exact to the
// plain per-pixel fill on random pictures, and the shapes a paint bucket
// must get right (tolerance edges, diagonal gaps, spirals, checkerboards,
// seeds on every edge and outside, a page-sized flat fill).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "adapters/imaging/drawing_fill.h"
#include "adapters/imaging/drawing_fill_reference.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using namespace plr::imaging_lib;
using DrawingFill = EngineTest;

// A w x h picture of `bpp` bytes a pixel drawn from text rows: each character
// is a colour of `palette`, index c - 'a'; the fourth byte is 77.
struct Picture {
    std::int32_t w = 0, h = 0, bpp = 4, stride = 0;
    std::vector<std::uint8_t> bytes;
    std::uint8_t* at(std::int32_t x, std::int32_t y) { return bytes.data() + y * stride + x * bpp; }
};

Picture fromRows(const std::vector<std::string>& rows, const std::vector<std::uint32_t>& palette, std::int32_t bpp = 4) {
    Picture p;
    p.h = static_cast<std::int32_t>(rows.size());
    p.w = static_cast<std::int32_t>(rows[0].size());
    p.bpp = bpp;
    p.stride = p.w * bpp + 5;  // padding that must stay untouched
    p.bytes.assign(static_cast<std::size_t>(p.stride) * p.h, 0xEE);
    for (std::int32_t y = 0; y < p.h; ++y)
        for (std::int32_t x = 0; x < p.w; ++x) {
            const std::uint32_t c = palette[static_cast<std::size_t>(rows[y][x] - 'a')];
            std::uint8_t* q = p.at(x, y);
            q[0] = std::uint8_t(c), q[1] = std::uint8_t(c >> 8), q[2] = std::uint8_t(c >> 16);
            if (bpp == 4) q[3] = 77;
        }
    return p;
}

// Rows of '#' where the fill colour landed, '.' elsewhere.
std::vector<std::string> filled(Picture& p, std::uint32_t colour) {
    std::vector<std::string> out;
    for (std::int32_t y = 0; y < p.h; ++y) {
        std::string row;
        for (std::int32_t x = 0; x < p.w; ++x) {
            const std::uint8_t* q = p.at(x, y);
            row += (q[0] | q[1] << 8 | std::uint32_t{q[2]} << 16) == colour ? '#' : '.';
        }
        out.push_back(row);
    }
    return out;
}

constexpr std::uint32_t kFill = 0x00112233;

std::vector<std::string> fillOf(const std::vector<std::string>& rows, const std::vector<std::uint32_t>& palette,
                                std::int32_t x, std::int32_t y, std::int32_t tolerance) {
    Picture p = fromRows(rows, palette);
    Picture q = p;
    EXPECT_EQ(FloodFillImage(p.bytes.data(), p.w, p.h, 4, p.stride, x, y, kFill, tolerance), 1);
    EXPECT_EQ(reference::floodFillImage(q.bytes.data(), q.w, q.h, 4, q.stride, x, y, kFill, tolerance), 1);
    EXPECT_EQ(p.bytes, q.bytes) << "span fill differs from the plain fill at seed " << x << "," << y;
    return filled(p, kFill);
}

TEST_F(DrawingFill, SpanFillMatchesThePlainFillOnRandomPictures) {
    std::mt19937 rng(1234);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 600; ++round) {
        const std::int32_t bpp = pick(0, 1) ? 4 : 3;
        Picture p;
        p.w = pick(1, 40), p.h = pick(1, 30), p.bpp = bpp, p.stride = p.w * bpp + pick(0, 7);
        p.bytes.resize(static_cast<std::size_t>(p.stride) * p.h);
        // A few nearby colours, so regions have ragged borders and tolerances matter.
        const int colours = pick(2, 4);
        std::uint8_t palette[4][3];
        for (auto& c : palette)
            for (auto& v : c) v = static_cast<std::uint8_t>(pick(90, 110));
        for (auto& b : p.bytes) b = static_cast<std::uint8_t>(pick(0, 255));
        for (std::int32_t y = 0; y < p.h; ++y)
            for (std::int32_t x = 0; x < p.w; ++x) std::memcpy(p.at(x, y), palette[pick(0, colours - 1)], 3);
        const std::int32_t sx = pick(0, p.w - 1), sy = pick(0, p.h - 1);
        const std::int32_t tolerances[] = {-1, 0, 1, 12, 100, 300, 1200, kMaxSquaredDistance};
        const std::int32_t tol = tolerances[pick(0, 7)];
        // Half the fills use a colour that itself matches the seed (the visited-plane path).
        std::uint32_t colour = static_cast<std::uint32_t>(pick(0, 0xFFFFFF));
        if (pick(0, 1)) colour = palette[0][0] | palette[0][1] << 8 | std::uint32_t{palette[0][2]} << 16;
        Picture q = p;
        ASSERT_EQ(FloodFillImage(p.bytes.data(), p.w, p.h, bpp, p.stride, sx, sy, colour, tol), 1);
        ASSERT_EQ(reference::floodFillImage(q.bytes.data(), q.w, q.h, bpp, q.stride, sx, sy, colour, tol), 1);
        ASSERT_EQ(p.bytes, q.bytes) << "round " << round;
        for (int connected = 0; connected < 2; ++connected) {
            std::vector<std::uint8_t> a(static_cast<std::size_t>(p.w + 3) * p.h, 9), b = a;
            ASSERT_EQ(GetColorMatchMaskFromImage(p.bytes.data(), p.w, p.h, bpp, p.stride, a.data(), p.w + 3, sx, sy,
                                                 connected, tol),
                      1);
            ASSERT_EQ(reference::colorMatchMask(p.bytes.data(), p.w, p.h, bpp, p.stride, b.data(), p.w + 3, sx, sy,
                                                connected, tol),
                      1);
            ASSERT_EQ(a, b) << "round " << round << " connected " << connected;
        }
    }
}

TEST_F(DrawingFill, ToleranceIsTheSquaredDistanceOneUnitInsideFillsOneOutsideDoesNot) {
    // b is 100 away from a (10 in red), c 101 (10 in red, 1 in green).
    const std::vector<std::uint32_t> palette = {0x00646464, 0x0064646E, 0x0064656E};
    EXPECT_EQ(fillOf({"abcab"}, palette, 0, 0, 100), (std::vector<std::string>{"##..."}));
    EXPECT_EQ(fillOf({"abcab"}, palette, 0, 0, 101), (std::vector<std::string>{"#####"}));
    EXPECT_EQ(fillOf({"abcab"}, palette, 0, 0, 99), (std::vector<std::string>{"#...."}));
    // Measured against the seed, not neighbour to neighbour: c is within 1 of b.
    EXPECT_EQ(fillOf({"bca"}, palette, 0, 0, 1), (std::vector<std::string>{"##."}));
    EXPECT_EQ(fillOf({"abc"}, palette, 0, 0, -1), (std::vector<std::string>{"..."}));
}

TEST_F(DrawingFill, FourConnectedFillsDoNotCrossDiagonalGaps) {
    const std::vector<std::uint32_t> palette = {0x00FFFFFF, 0};
    const std::vector<std::string> rows = {"aabaa", "aabaa", "bbaab", "aabab"};
    EXPECT_EQ(fillOf(rows, palette, 0, 0, 0), (std::vector<std::string>{"##...", "##...", ".....", "....."}));
    EXPECT_EQ(fillOf(rows, palette, 2, 2, 0), (std::vector<std::string>{"...##", "...##", "..##.", "...#."}));
}

TEST_F(DrawingFill, SpiralsAndCheckerboardsFillExactlyTheirRegion) {
    // A square spiral wall 'b' drawn by a turtle (arms n-1, n-1, n-1, n-3,
    // n-3, n-5, ...) leaves a one-pixel corridor winding to the centre.
    const int n = 41;
    std::vector<std::string> rows(n, std::string(n, 'a'));
    int tx = 0, ty = 0, dir = 0;
    const int dx[] = {1, 0, -1, 0}, dy[] = {0, 1, 0, -1};
    rows[0][0] = 'b';
    for (int arm = 0, len = n - 1; len > 0; ++arm) {
        for (int i = 0; i < len; ++i) rows.at(ty += dy[dir]).at(tx += dx[dir]) = 'b';
        dir = (dir + 1) % 4;
        if (arm >= 2 && arm % 2 == 0) len -= 2;
    }
    const std::vector<std::uint32_t> palette = {0x00C0C0C0, 0x00202020};
    std::size_t corridor = 0;
    for (const auto& r : rows)
        for (char c : r) corridor += c == 'a';
    const auto spiral = fillOf(rows, palette, 1, 1, 0);
    std::size_t reached = 0;
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            reached += spiral[y][x] == '#';
            if (spiral[y][x] == '#') {
                EXPECT_EQ(rows[y][x], 'a');
            }
        }
    EXPECT_EQ(reached, corridor) << "the corridor is one connected piece";

    std::vector<std::string> board(9, std::string(9, 'a'));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) board[y][x] = (x + y) % 2 ? 'b' : 'a';
    const auto one = fillOf(board, palette, 4, 4, 0);
    std::size_t count = 0;
    for (const auto& r : one) count += static_cast<std::size_t>(std::count(r.begin(), r.end(), '#'));
    EXPECT_EQ(count, 1u);
    const auto all = fillOf(board, palette, 4, 4, kMaxSquaredDistance);
    for (const auto& r : all) EXPECT_EQ(r, std::string(9, '#'));
}

TEST_F(DrawingFill, SeedsOnEveryEdgeAndCornerFillAndSeedsOutsideDoNothing) {
    const std::vector<std::string> rows = {"aaabaaa", "aabbbaa", "abbabba", "aabbbaa", "aaabaaa"};
    const std::vector<std::uint32_t> palette = {0x00FFFFFF, 0x00000000};
    const std::int32_t w = 7, h = 5;
    const std::int32_t seeds[][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {3, 0},
                                     {3, h - 1}, {0, 2}, {w - 1, 2}, {3, 2}};
    for (const auto& s : seeds) fillOf(rows, palette, s[0], s[1], 0);  // held to the plain fill inside
    EXPECT_EQ(fillOf(rows, palette, 0, 0, 0), (std::vector<std::string>{"###....", "##.....", "#......", "##.....",
                                                                         "###...."}));
    Picture p = fromRows(rows, palette);
    const std::vector<std::uint8_t> before = p.bytes;
    const std::int32_t outside[][2] = {{-1, 0}, {0, -1}, {w, 0}, {0, h}, {-1, -1}, {w, h}};
    std::vector<std::uint8_t> map(static_cast<std::size_t>(w * h), 5);
    for (const auto& s : outside) {
        EXPECT_EQ(FloodFillImage(p.bytes.data(), w, h, 4, p.stride, s[0], s[1], kFill, 0), 0);
        EXPECT_EQ(GetColorMatchMaskFromImage(p.bytes.data(), w, h, 4, p.stride, map.data(), w, s[0], s[1], 1, 0), 0);
    }
    EXPECT_EQ(p.bytes, before);
    EXPECT_EQ(FloodFillImage(p.bytes.data(), w, h, 2, p.stride, 0, 0, kFill, 0), 0) << "2-byte pixels are refused";
    EXPECT_EQ(FloodFillImage(p.bytes.data(), w, h, 4, w * 4 - 1, 0, 0, kFill, 0), 0) << "short rows are refused";
}

TEST_F(DrawingFill, ColourReplaceKeepsOrWritesTheFourthByteByItsFlag) {
    const std::vector<std::uint32_t> palette = {0x00646464, 0x0064646E, 0x0064656E};
    Picture p = fromRows({"abc"}, palette);
    EXPECT_EQ(ColorReplaceImage(p.bytes.data(), 3, 1, 4, p.stride, 0x00646464, 0xAA010203, 100, kReplaceColourOnly), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(p.bytes.begin(), p.bytes.begin() + 12),
              (std::vector<std::uint8_t>{3, 2, 1, 77, 3, 2, 1, 77, 0x6E, 0x65, 0x64, 77}));
    EXPECT_EQ(ColorReplaceImage(p.bytes.data(), 3, 1, 4, p.stride, 0x00010203, 0xAA050607, 0, kReplaceWithAlpha), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(p.bytes.begin(), p.bytes.begin() + 8),
              (std::vector<std::uint8_t>{7, 6, 5, 0xAA, 7, 6, 5, 0xAA}));
    const std::vector<std::uint8_t> before = p.bytes;
    EXPECT_EQ(ColorReplaceImage(p.bytes.data(), 3, 1, 4, p.stride, 0x00050607, 0, 0, 1), 0) << "unknown flag";
    EXPECT_EQ(p.bytes, before);
}

TEST_F(DrawingFill, TransparentRectangleBlendsByTheTruncatedOpacity) {
    std::vector<std::uint8_t> rgb(5 * 4 * 3, 100);
    EXPECT_EQ(FillTransparentRectOnImage(rgb.data(), 5, 4, 3, 15, 3, 2, 9, 9, 0x00C8C8C8, 1.0), 1);
    EXPECT_EQ(rgb[(2 * 5 + 3) * 3], 200);
    EXPECT_EQ(rgb[(3 * 5 + 4) * 3 + 2], 200);
    EXPECT_EQ(rgb[(2 * 5 + 2) * 3], 100) << "left of the rectangle";
    EXPECT_EQ(rgb[(1 * 5 + 3) * 3], 100) << "above it";
    EXPECT_EQ(FillTransparentRectOnImage(rgb.data(), 5, 4, 3, 15, 0, 0, 0, 0, 0x00000000, 0.5), 1);
    EXPECT_EQ(rgb[0], 50);  // (0 * 128 + 100 * 128) >> 8
    EXPECT_EQ(FillTransparentRectOnImage(rgb.data(), 5, 4, 3, 15, 0, 0, 4, 3, 0x00FFFFFF, 0.0), 1);
    EXPECT_EQ(rgb[0], 50);
    EXPECT_EQ(rgb[3], 100);
}

TEST_F(DrawingFill, APageSizedFlatFillKeepsItsSpanStackSmall) {
    const std::int32_t side = 10000;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * side * 3, 40);
    const std::uint64_t before = mem::stats().allocations;
    ASSERT_EQ(FloodFillImage(rgb.data(), side, side, 3, side * 3, side / 2, side / 3, 0x00C8C8C8, 0), 1);
    // One allocation: the span stack's first 1024 entries, never grown.
    EXPECT_EQ(mem::stats().allocations - before, 1u);
    EXPECT_EQ(std::count(rgb.begin(), rgb.end(), std::uint8_t{200}), static_cast<std::ptrdiff_t>(rgb.size()));
}

}  // namespace
}  // namespace plr::test
