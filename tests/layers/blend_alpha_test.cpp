// The alpha modes' four-pixel path against the plain reference: long rows of
// every alpha mode, with and without the same-alpha-mode switch, a Layer
// Mask, opacity and the alpha lock, on channel values crowded at the rules'
// thresholds and the 16-bit edges; merged in row bands at 1, 2 and 7 threads
// with the processor's fast paths and with the baseline loops.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/cpu_kernels.h"
#include "engine/threading.h"
#include "layers/blend_bands.h"
#include "layers/blend_request.h"
#include "engine_fixture.h"
#include "fast_and_baseline.h"

namespace plr::test {
namespace {

std::uint16_t edgeValue(std::mt19937& rng) {
    static constexpr std::uint16_t kEdges[] = {0,      1,      32767,  32768,  65535,  0xFF00, 0xFEFF, 0x1FFE,
                                               0x1FFF, 0x2000, 0x23FE, 0x23FF, 0x2FFE, 0x2FFF, 0x7F00, 0x7F01,
                                               0x7FFE, 0x8FFE, 0x8FFF, 0x5555, 0xAAAA};
    if (rng() % 3 == 0) return static_cast<std::uint16_t>(rng());
    return kEdges[rng() % (sizeof kEdges / sizeof kEdges[0])];
}

std::vector<std::uint16_t> plane(std::mt19937& rng, std::size_t values) {
    std::vector<std::uint16_t> p(values);
    for (std::uint16_t& v : p) v = edgeValue(rng);
    return p;
}

class BlendAlphaModes : public FastAndBaselineTest {};
INSTANTIATE_TEST_SUITE_P(FastAndBaseline, BlendAlphaModes, ::testing::Bool());

TEST_P(BlendAlphaModes, MatchTheReferenceInBandsAtAnyThreadCount) {
    std::mt19937 rng(4242);
    static constexpr std::int32_t kThreads[] = {1, 2, 7};
    int n = 0;
    for (std::int32_t mode = 21; mode <= 42; ++mode) {
        for (int variant = 0; variant < 6; ++variant, ++n) {
            setThreadCount(kThreads[n % 3], true);
            BlendRequest rq;
            rq.width = 37 + static_cast<std::int32_t>(rng() % 90);
            rq.height = 5 + static_cast<std::int32_t>(rng() % 9);
            rq.sourceX = static_cast<std::int32_t>(rng() % 3);
            rq.destX = static_cast<std::int32_t>(rng() % 3);
            rq.sourceRowValues = (rq.sourceX + rq.width + 1) * 4;
            rq.destRowValues = (rq.destX + rq.width + 2) * 4;
            const std::size_t sv = static_cast<std::size_t>(rq.sourceRowValues) * rq.height;
            const std::vector<std::uint16_t> source = plane(rng, sv), mask = plane(rng, sv);
            const std::vector<std::uint16_t> start = plane(rng, static_cast<std::size_t>(rq.destRowValues) * rq.height);
            rq.source = source.data();
            rq.mode = mode;
            rq.sameAlphaMode = variant % 2 == 1;
            if (variant >= 2) rq.mask = mask.data(), rq.maskMode = 40;
            rq.opacity = variant >= 4 ? static_cast<std::int32_t>(rng() % 257) : 256;
            rq.alphaLock = variant == 3 || variant == 5;
            rq.alphaLayerOpacity = variant == 0 ? 0xFFFF : static_cast<std::uint16_t>(rng());
            std::vector<std::uint16_t> viaReference = start, viaBands = start;
            rq.destination = viaReference.data();
            blendReference(rq);
            rq.destination = viaBands.data();
            blendInBands(rq);
            ASSERT_EQ(viaReference, viaBands) << "mode " << mode << " variant " << variant;
        }
    }
}

// A Layer Mask layer merged down only clears the colour where the layer
// below is transparent: four pixels at a time as one by one.
TEST_P(BlendAlphaModes, LayerMaskClearsOnlyTransparentDestinationPixels) {
    std::vector<std::uint16_t> source(4 * 6, 0x4000), destination = {
        1, 2, 3, 0,  4, 5, 6, 7,  8, 9, 10, 0,  11, 12, 13, 0xFFFF,  14, 15, 16, 0,  17, 18, 19, 1};
    BlendRequest rq;
    rq.source = source.data();
    rq.destination = destination.data();
    rq.width = 6;
    rq.height = 1;
    rq.sourceRowValues = rq.destRowValues = 24;
    rq.mode = 40;
    blendInBands(rq);
    const std::vector<std::uint16_t> expected = {
        0, 0, 0, 0,  4, 5, 6, 7,  0, 0, 0, 0,  11, 12, 13, 0xFFFF,  0, 0, 0, 0,  17, 18, 19, 1};
    EXPECT_EQ(destination, expected);
}

}  // namespace
}  // namespace plr::test
