// The shared inverse sampler: the banded fast path against the plain
// reference, byte for byte, under every edge mode and partial write.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "adapters/imaging/inverse_sampler.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using InverseSampler = EngineTest;

// A map that reaches well beyond the picture at odd fractions, with a few
// unmapped (NaN) pixels; every fifth row lands on whole pixels and on
// halves, and every seventh reaches absurdly far and holds NaN rows.
void scatteredRow(const void*, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    for (std::int32_t x = 0; x < n; ++x) {
        xs[x] = (x * 1.37f - 9.3f) + 0.41f * std::sin(0.7f * y);
        ys[x] = (y * 1.21f - 7.7f) + 0.53f * std::cos(0.3f * x);
        if (y % 5 == 0) {
            xs[x] = float(x % 9) * 0.5f - 1.0f;
            ys[x] = float(y / 5 % 7) - 2.0f + (x % 2 ? 0.5f : 0.0f);
        }
        if (y % 7 == 0) {
            const float far[] = {1e9f, -1e9f, 70000.5f, -40000.25f, std::numeric_limits<float>::infinity()};
            if (x % 3 == 0) xs[x] = far[x % 5];
            if (x % 4 == 0) ys[x] = x % 8 ? far[(x + 2) % 5] : std::numeric_limits<float>::quiet_NaN();
        }
        if ((x * 7 + y * 3) % 29 == 0) xs[x] = std::numeric_limits<float>::quiet_NaN();
    }
}

// The same without unmapped pixels.
void everyPixelMapped(const void* c, std::int32_t y, float* xs, float* ys, std::int32_t n) {
    scatteredRow(c, y, xs, ys, n);
    for (std::int32_t x = 0; x < n; ++x)
        if (std::isnan(xs[x])) xs[x] = 3.5f;
}

TEST_F(InverseSampler, FastPathMatchesTheReference) {
    constexpr int kW = 45, kH = 70;  // more rows than one band
    std::mt19937 rng(21);
    std::vector<std::uint8_t> src(std::size_t(kW) * kH * 4);
    for (auto& b : src) b = static_cast<std::uint8_t>(rng());
    for (int edge = 0; edge < 4; ++edge)
        for (int partial = 0; partial < 3; ++partial) {
            imaging_lib::SampleSettings s;
            s.edge = static_cast<imaging_lib::SampleEdge>(edge);
            s.fill = 0x11223344u;
            s.keepAlpha = partial == 1;
            s.skipUnmapped = partial == 2;
            std::vector<std::uint8_t> fast(src.size(), 9), plain(src.size(), 9);
            if (partial != 2) {  // NaN positions are only defined when skipped
                for (std::size_t i = 3; i < fast.size(); i += 4) fast[i] = plain[i] = static_cast<std::uint8_t>(i);
            }
            const imaging_lib::InverseRow row = partial == 2 ? scatteredRow : everyPixelMapped;
            const imaging_lib::InverseMap m{row, nullptr};
            ASSERT_EQ(imaging_lib::InverseMapImage(src.data(), kW, kH, kW * 4, fast.data(), kW * 4, m, s), 1);
            ASSERT_EQ(imaging_lib::InverseMapImageReference(src.data(), kW, kH, kW * 4, plain.data(), kW * 4, m, s), 1);
            ASSERT_EQ(fast, plain) << "edge " << edge << " partial " << partial;
            if (partial == 1) {
                for (std::size_t i = 3; i < fast.size(); i += 4) ASSERT_EQ(fast[i], static_cast<std::uint8_t>(i));
            }
        }
}

}  // namespace
}  // namespace plr::test
