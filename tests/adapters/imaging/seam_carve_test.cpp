// Seam carving: seams go where the picture is flat, or where the guide says.
#include <cstring>
#include <random>
#include <vector>

#include "adapters/imaging/seam_carve.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using SeamCarving = EngineTest;

constexpr int kW = 40, kH = 12;

// Noise in columns 0..19, one flat colour in 20..39.
std::vector<std::uint8_t> halfTextured() {
    std::mt19937 rng(9);
    std::vector<std::uint8_t> v(std::size_t(kW) * kH * 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 4; ++c)
                v[(std::size_t(y) * kW + x) * 4 + c] = x < kW / 2 ? static_cast<std::uint8_t>(rng()) : 90;
    return v;
}

// Columns 0..n-1 of every row of a picture w wide.
std::vector<std::uint8_t> leftColumns(const std::vector<std::uint8_t>& v, int w, int n) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < kH; ++y) out.insert(out.end(), &v[std::size_t(y) * w * 4], &v[(std::size_t(y) * w + n) * 4]);
    return out;
}

TEST_F(SeamCarving, NarrowingAndWideningLeaveTheTexturedPartAlone) {
    const auto src = halfTextured();
    for (int delta : {-10, 10, 15}) {
        const int nw = kW + delta;
        std::vector<std::uint8_t> out(std::size_t(nw) * kH * 4);
        ASSERT_EQ(imaging_lib::SeamCarve(src.data(), kW, kH, 4, kW * 4, nullptr, 0, out.data(), nw * 4, delta, 1000, 1),
                  1);
        // The textured columns, minus the one next to the flat part whose energy it shares.
        EXPECT_EQ(leftColumns(out, nw, kW / 2 - 1), leftColumns(src, kW, kW / 2 - 1)) << delta;
    }
}

TEST_F(SeamCarving, GuideKeepsWhatItMarks) {
    const auto src = halfTextured();
    // Keep the flat half: its guide value is full, the textured half's 0.
    std::vector<std::uint16_t> guide(std::size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) guide[std::size_t(y) * kW + x] = x >= kW / 2 ? 0xFFFF : 0;
    const int nw = kW - 10;
    std::vector<std::uint8_t> out(std::size_t(nw) * kH * 4);
    ASSERT_EQ(imaging_lib::SeamCarve(src.data(), kW, kH, 4, kW * 4, guide.data(), kW, out.data(), nw * 4, -10, 1000, 1), 1);
    for (int y = 0; y < kH; ++y)
        EXPECT_EQ(std::memcmp(&out[(std::size_t(y) * nw + nw - kW / 2) * 4], &src[(std::size_t(y) * kW + kW / 2) * 4],
                              kW / 2 * 4),
                  0);
    EXPECT_EQ(imaging_lib::SeamCarve(src.data(), kW, kH, 4, kW * 4, nullptr, 0, out.data(), nw * 4, -kW, 1000, 1), 0);
}

}  // namespace
}  // namespace plr::test
