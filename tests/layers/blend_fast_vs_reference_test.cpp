// The fast blend path must agree bit for bit with the plain reference on
// random requests: every mode number, opacities 0..256, with and without a
// Layer Mask plane, alpha lock and the same-alpha-mode switch, odd widths,
// padded strides, and channel values biased to 0, 0xFF00 and 0xFFFF.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/cpu_features.h"
#include "engine/cpu_kernels.h"
#include "engine/threading.h"
#include "engine_fixture.h"
#include "layers/blend_bands.h"
#include "layers/blend_batch.h"
#include "layers/blend_eight.h"
#include "layers/blend_request.h"

namespace plr::test {
namespace {

struct Planes {
    std::vector<std::uint16_t> source, mask, destination;
};

std::uint16_t biasedAlpha(std::mt19937& rng) {
    static constexpr std::uint16_t special[] = {0,      0,      0xFF00, 0xFFFF, 0xFFFF, 0x7FFF, 0x8000, 0x1FFF,
                                                0x2000, 0x23FF, 0x2FFF, 0x7F00, 0x7F01, 0xFEFF, 1,      0x8FFE};
    const std::uint32_t pick = rng() % 24;
    if (pick < 16) return special[pick];
    return static_cast<std::uint16_t>(rng());
}

std::uint16_t biasedColour(std::mt19937& rng) {
    switch (rng() % 6) {
        case 0: return 0;
        case 1: return 0xFF00;
        case 2: return 0xFFFF;
        default: return static_cast<std::uint16_t>(rng());
    }
}

void fill(std::vector<std::uint16_t>& plane, std::size_t values, std::mt19937& rng, bool runs) {
    plane.resize(values);
    for (std::size_t i = 0; i + 3 < values; i += 4) {
        // Runs of one alpha exercise the run paths of Normal.
        const std::uint16_t a = (runs && i >= 4 && rng() % 4 != 0) ? plane[i - 1] : biasedAlpha(rng);
        plane[i] = biasedColour(rng);
        plane[i + 1] = biasedColour(rng);
        plane[i + 2] = biasedColour(rng);
        plane[i + 3] = a;
    }
}

struct Case {
    BlendRequest rq;
    Planes planes;
};

Case randomCase(std::mt19937& rng, std::int32_t maxWidth, std::int32_t maxHeight) {
    Case c;
    BlendRequest& rq = c.rq;
    rq.width = 1 + static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(maxWidth));
    rq.height = 1 + static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(maxHeight));
    rq.sourceX = static_cast<std::int32_t>(rng() % 5);
    rq.sourceY = static_cast<std::int32_t>(rng() % 3);
    rq.destX = static_cast<std::int32_t>(rng() % 5);
    rq.destY = static_cast<std::int32_t>(rng() % 3);
    rq.sourceRowValues = (rq.sourceX + rq.width + static_cast<std::int32_t>(rng() % 4)) * 4;
    rq.destRowValues = (rq.destX + rq.width + static_cast<std::int32_t>(rng() % 4)) * 4;
    const std::size_t srcValues = static_cast<std::size_t>(rq.sourceRowValues) * (rq.sourceY + rq.height);
    const std::size_t dstValues = static_cast<std::size_t>(rq.destRowValues) * (rq.destY + rq.height);
    const bool runs = rng() % 2 == 0;
    fill(c.planes.source, srcValues, rng, runs);
    fill(c.planes.destination, dstValues, rng, rng() % 2 == 0);
    const bool withMask = rng() % 3 == 0;
    if (withMask) fill(c.planes.mask, srcValues, rng, false);
    rq.mode = static_cast<std::int32_t>(rng() % 43);
    rq.maskMode = withMask && rng() % 4 != 0 ? 40 : 0;
    switch (rng() % 5) {
        case 0: rq.opacity = 256; break;
        case 1: rq.opacity = 255; break;
        case 2: rq.opacity = 128; break;
        case 3: rq.opacity = 0; break;
        default: rq.opacity = static_cast<std::int32_t>(rng() % 257);
    }
    rq.alphaLock = rng() % 4 == 0;
    rq.sameAlphaMode = rng() % 3 == 0;
    rq.alphaLayerOpacity = rng() % 2 ? 0xFFFF : static_cast<std::uint16_t>(rng());
    return c;
}

// The case composed by the plain rule and by `fast` (the dispatcher, or the
// banded walk over it) from the same planes.
void expectSame(Case& c, int caseNumber, void (*fast)(const BlendRequest&) noexcept = blend) {
    std::vector<std::uint16_t> viaReference = c.planes.destination;
    std::vector<std::uint16_t> viaFast = c.planes.destination;
    BlendRequest rq = c.rq;
    rq.source = c.planes.source.data();
    rq.mask = c.planes.mask.empty() ? nullptr : c.planes.mask.data();
    rq.destination = viaReference.data();
    blendReference(rq);
    rq.destination = viaFast.data();
    fast(rq);
    if (viaReference == viaFast) return;
    std::size_t i = 0;
    while (viaReference[i] == viaFast[i]) ++i;
    ADD_FAILURE() << "case " << caseNumber << ": mode " << rq.mode << " opacity " << rq.opacity << " mask "
                  << (rq.mask != nullptr) << "/" << rq.maskMode << " lock " << rq.alphaLock << " same "
                  << rq.sameAlphaMode << " O " << rq.alphaLayerOpacity << ", first difference at value " << i
                  << ": reference " << viaReference[i] << ", fast " << viaFast[i];
}

// The fast path normalises with a double reciprocal instead of a float
// division; that is only sound because the two agree on every input.
TEST(BlendBatch, ScaledLoadsEqualDivision) {
    int mismatches = 0;
    for (std::int32_t v = 0; v <= 0xFFFF; ++v) {
        mismatches += scaledExactly(v, 1.0 / 65280.0) != static_cast<float>(v) / 65280.0f;
        mismatches += scaledExactly(v, 1.0 / 65535.0) != static_cast<float>(v) / 65535.0f;
    }
    for (std::int32_t v = 0; v <= 3 * 0xFFFF; ++v)
        mismatches += scaledExactly(v, 1.0 / 195840.0) != static_cast<float>(v) / 195840.0f;
    EXPECT_EQ(mismatches, 0);
}

// The AVX2 forms divide with a reciprocal product and one fused correction;
// sound only because that equals the float division on every input.
TEST(BlendBatch, FusedQuotientsEqualDivision) {
    if (!processorHasAvx2()) GTEST_SKIP() << "no AVX2 and FMA";
    std::vector<std::int32_t> x(3 * 0x10000);
    for (std::size_t v = 0; v < x.size(); ++v) x[v] = static_cast<std::int32_t>(v);
    std::vector<float> q(x.size());
    int mismatches = 0;
    for (std::int32_t scale : {0xFF00, 0xFFFF, 3 * 0xFF00}) {
        quotientsAvx2(x.data(), q.data(), static_cast<std::int32_t>(x.size()), scale);
        for (std::size_t v = 0; v < x.size(); ++v)
            mismatches += q[v] != static_cast<float>(x[v]) / static_cast<float>(scale);
    }
    EXPECT_EQ(mismatches, 0);
}

// Runs the body with the AVX2 eight-pixel path on (where the processor has
// it) and then off, so the SSE2 four-pixel path is tested on every machine.
template <class Body>
void withAndWithoutWidePath(Body body) {
    for (bool wide : {true, false}) {
        setWideBlendEnabled(wide);
        body();
        setWideBlendEnabled(true);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(BlendFastPath, MatchesTheReferenceOnRandomSmallRequests) {
    withAndWithoutWidePath([] {
        std::mt19937 rng(20261208);
        for (int n = 0; n < 4000; ++n) {
            Case c = randomCase(rng, 67, 4);
            expectSame(c, n);
            if (::testing::Test::HasFailure()) return;
        }
    });
}

// Long stretches where every pixel needs the float composition: the four-
// and eight-pixel paths, with single special pixels breaking the groups.
TEST(BlendFastPath, MatchesTheReferenceOnTranslucentRows) {
    withAndWithoutWidePath([] {
        std::mt19937 rng(31);
        for (int n = 0; n < 400; ++n) {
            Case c = randomCase(rng, 67, 3);
            for (auto* plane : {&c.planes.source, &c.planes.destination})
                for (std::size_t i = 3; i < plane->size(); i += 4)
                    if (rng() % 16 != 0) (*plane)[i] = static_cast<std::uint16_t>(1 + rng() % 0xFF10);
            c.rq.mode = static_cast<std::int32_t>(rng() % 21);
            // Half the cases under a Layer Mask that is mostly not transparent.
            if (rng() % 2 == 0) {
                c.planes.mask.clear();
            } else {
                fill(c.planes.mask, c.planes.source.size(), rng, false);
                c.rq.maskMode = 40;
                for (std::size_t i = 3; i < c.planes.mask.size(); i += 4)
                    if (rng() % 8 != 0) c.planes.mask[i] = static_cast<std::uint16_t>(1 + rng() % 0xFFFF);
            }
            expectSame(c, n);
            if (::testing::Test::HasFailure()) return;
        }
    });
}

TEST(BlendFastPath, MatchesTheReferenceOnLargeRequestsOfEveryMode) {
    withAndWithoutWidePath([] {
        std::mt19937 rng(7);
        for (int mode = 0; mode <= 42; ++mode) {
            for (int variant = 0; variant < 4; ++variant) {
                Case c = randomCase(rng, 600, 12);
                c.rq.mode = mode;
                c.rq.sameAlphaMode = variant & 1;
                c.rq.alphaLock = variant == 2;
                if (variant == 3) c.rq.opacity = 256;
                expectSame(c, mode * 4 + variant);
                if (::testing::Test::HasFailure()) return;
            }
        }
    });
}

// A translucent layer merged onto an opaque picture, the everyday merge:
// groups whose destination is all opaque take the shortcut that knows the
// destination alpha's quotient is 1, single translucent or transparent
// destination pixels break the groups, rows are long enough for the
// prefetching to run past them. Through the bands of rows at 1, 2 and 7
// threads, with the wide path on and off.
class BlendOverOpaque : public EngineTest {};
constexpr std::int32_t kThreadCounts[] = {1, 2, 7};

TEST_F(BlendOverOpaque, MatchesTheReferenceInBandsAtEveryThreadCount) {
    withAndWithoutWidePath([] {
        std::mt19937 rng(4096);
        for (int n = 0; n < 120; ++n) {
            setThreadCount(kThreadCounts[n % 3], true);  // bands down to one row
            Case c = randomCase(rng, 700, 9);
            for (std::size_t i = 3; i < c.planes.source.size(); i += 4)
                if (rng() % 32 != 0) c.planes.source[i] = static_cast<std::uint16_t>(1 + rng() % 0xFF10);
            for (std::size_t i = 3; i < c.planes.destination.size(); i += 4)
                c.planes.destination[i] = rng() % 64 != 0 ? 0xFFFF : biasedAlpha(rng);
            c.rq.mode = static_cast<std::int32_t>(rng() % 21);
            if (rng() % 3 == 0) {
                fill(c.planes.mask, c.planes.source.size(), rng, false);
                c.rq.maskMode = 40;
            } else {
                c.planes.mask.clear();
            }
            expectSame(c, n, blendInBands);
        }
    });
}

TEST(BlendFastPath, MatchesTheReferenceWhenSourceAndDestinationAreOnePlane) {
    std::mt19937 rng(99);
    for (int n = 0; n < 300; ++n) {
        Case c = randomCase(rng, 67, 3);
        c.rq.destX = c.rq.sourceX;
        c.rq.destY = c.rq.sourceY;
        c.rq.destRowValues = c.rq.sourceRowValues;
        std::vector<std::uint16_t> viaReference = c.planes.source, viaFast = c.planes.source;
        BlendRequest rq = c.rq;
        rq.mask = nullptr;
        rq.source = rq.destination = viaReference.data();
        blendReference(rq);
        rq.source = rq.destination = viaFast.data();
        blend(rq);
        ASSERT_EQ(viaReference, viaFast) << "case " << n << " mode " << rq.mode;
    }
}

}  // namespace
}  // namespace plr::test
