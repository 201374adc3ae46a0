// Specialised dab loop against the reference loop: identical pixels,
// mixing buffer and rectangles over random settings, turns, colours and targets;
// the exact division helpers over their input range; and a seeded stroke
// whose bytes are pinned by a digest the reference loop produced.
#include <random>
#include <vector>

#include "brush/dab.h"
#include "brush/dab_divide.h"
#include "brush/dab_loops.h"
#include "brush/dab_normal_row.h"
#include "dab_test_support.h"
#include "engine/cpu_kernels.h"

namespace plr::test {
namespace {

using DabDifferential = DabTest;

TEST(DabDivide, Div65535IsExactOverAllThirtyTwoBitValues) {
    // Both sides are non-decreasing step functions: agreeing on both sides of
    // every step proves them equal everywhere.
    for (std::uint64_t k = 0; k <= 65537; ++k) {
        for (std::int64_t delta : {-1, 0}) {
            const std::int64_t x = static_cast<std::int64_t>(k * 65535) + delta;
            if (x < 0 || x > UINT32_MAX) continue;
            ASSERT_EQ(dab::div65535(static_cast<std::uint32_t>(x)), static_cast<std::uint32_t>(x / 65535)) << x;
        }
    }
    EXPECT_EQ(dab::div65535(UINT32_MAX), UINT32_MAX / 65535u);
    // The 32-bit form over its range, products of two 16-bit values.
    for (std::uint64_t k = 0; k <= 65535; ++k) {
        for (std::int64_t delta : {-1, 0}) {
            const std::int64_t x = static_cast<std::int64_t>(k * 65535) + delta;
            if (x < 0) continue;
            ASSERT_EQ(dab::div65535Small(static_cast<std::uint32_t>(x)), static_cast<std::uint32_t>(x / 65535)) << x;
        }
    }
}

TEST(DabDivide, ReciprocalDivisionIsExactForEveryDivisor) {
    std::mt19937 rng(7);
    for (std::uint32_t d = 1; d <= 65535; ++d) {
        const double r = 1.0 / d;
        const std::uint64_t top = UINT32_MAX / d;
        for (std::uint64_t q :
             {std::uint64_t{0}, std::uint64_t{1}, top / 2, top - 1, top, std::uint64_t{rng()} % (top + 1)}) {
            for (std::int64_t delta : {-1, 0, 1}) {
                const std::int64_t x = static_cast<std::int64_t>(q * d) + delta;
                if (x < 0 || x > UINT32_MAX) continue;
                ASSERT_EQ(dab::divideBy(static_cast<std::uint32_t>(x), d, r), static_cast<std::uint32_t>(x) / d)
                    << x << " / " << d;
            }
        }
        const std::uint32_t x = rng();
        ASSERT_EQ(dab::divideBy(x, d, r), x / d);
    }
    EXPECT_EQ(dab::divideBy(UINT32_MAX, 1, 1.0), UINT32_MAX);
}

struct Snapshot {
    std::vector<std::uint16_t> target, buffer;
    Rect stroke;
    Rect bounds;
    CrtRandom rng;
    BrushSettings settings;
    std::int32_t grit, gritOffset, counter;
};

Snapshot take(Page& p, LayerRecord& target) {
    return {std::vector<std::uint16_t>(target.pixels.data(), target.pixels.data() + target.pixels.size()),
            std::vector<std::uint16_t>(p.brush.mixingBuffer.data(),
                                       p.brush.mixingBuffer.data() + p.brush.mixingBuffer.size()),
            p.history.stroke,
            p.paintLayer.bounds,
            engine().rng,
            p.brush.settings,
            p.brush.currentGrit,
            p.brush.currentGritOffset,
            p.brush.drawingCounter};
}
void restore(Page& p, LayerRecord& target, const Snapshot& s) {
    std::copy(s.target.begin(), s.target.end(), target.pixels.data());
    std::copy(s.buffer.begin(), s.buffer.end(), p.brush.mixingBuffer.data());
    p.history.stroke = s.stroke;
    p.paintLayer.bounds = s.bounds;
    engine().rng = s.rng;
    p.brush.settings = s.settings;
    p.brush.currentGrit = s.grit;
    p.brush.currentGritOffset = s.gritOffset;
    p.brush.drawingCounter = s.counter;
}

std::uint16_t pick(std::mt19937& rng) {
    switch (rng() % 6) {
        case 0:
            return 0;
        case 1:
            return 0xFF00;
        case 2:
            return 0xFFFF;
        default:
            return static_cast<std::uint16_t>(rng());
    }
}

TEST_F(DabDifferential, FastLoopMatchesTheReferenceOverRandomSettings) {
    std::mt19937 rng(20261208);
    int fastRuns = 0, rotatedFastRuns = 0;
    for (int round = 0; round < 160; ++round) {
        // Now and then a wide page and brush: long rows, many eight-pixel steps.
        const bool wide = round % 8 == 4;
        const int w = 1 + static_cast<int>(rng() % (wide ? 400 : 67)), h = 1 + static_cast<int>(rng() % 40);
        const int mbs = 1 + static_cast<int>(rng() % (wide ? 300 : round % 8 == 0 ? 64 : 24));
        const int size = 1 + static_cast<int>(rng() % mbs);
        allowFastPaths(round % 2 == 0);  // the AVX2 row kernel and the baseline loop
        makePage(w, h, mbs, size, 2 + static_cast<int>(rng() % 3) - 1);
        Page& p = page();
        PLR_SetScaleSize(1 + static_cast<int>(rng() % size));
        for (std::size_t i = 0; i < p.brush.shapePlane.size(); ++i) p.brush.shapePlane.data()[i] = pick(rng);
        for (std::size_t i = 0; i < p.brush.mixingBuffer.size(); ++i) p.brush.mixingBuffer.data()[i] = pick(rng);
        const bool toPaint = rng() % 3 == 0;
        if (toPaint) makePaintLayer();
        LayerRecord& target = toPaint ? p.paintLayer : *p.currentLayer;
        for (std::size_t i = 0; i < target.pixels.size(); ++i) target.pixels.data()[i] = pick(rng);
        if (rng() % 2) {
            ASSERT_TRUE(p.texture.allocate(p.pixelCount()));
            for (std::size_t i = 0; i < p.pixelCount(); ++i)
                p.texture.data()[i] = static_cast<std::uint8_t>(rng() % 3 ? 255 : rng());
        }
        p.mask.enabled = static_cast<std::uint8_t>(rng() % 2);
        for (std::size_t i = 0; i < p.pixelCount(); ++i) p.mask.plane.data()[i] = rng() % 2 ? 65535 : pick(rng);

        PLR_SetAlpha(rng() % 3 ? 100 : static_cast<int>(rng() % 101));
        PLR_SetBlendStrength(rng() % 2 ? 0 : static_cast<int>(rng() % 257));
        PLR_SetBlendPrimaryColorStrength(rng() % 2 ? 0 : static_cast<int>(rng() % 257));
        PLR_SetBlendRemix(static_cast<int>(rng() % 2));
        PLR_SetSolidBrushMode(rng() % 5 == 0);
        PLR_SetAlphaLocked(rng() % 5 == 0);
        PLR_SetColorLocked(rng() % 5 == 0);
        PLR_SetBlobLocked(rng() % 4 == 0);
        PLR_SetAlphaLevel(rng() % 5 == 0 ? static_cast<int>(rng() % 65536) : 0);
        PLR_SetColorVary(rng() % 3 == 0 ? static_cast<int>(rng() % 200) : 0);
        p.currentLayer->alphaLock = static_cast<std::uint8_t>(rng() % 5 == 0);
        if (rng() % 4 == 0) PLR_TempDisableBlend();
        // Half the rounds turn the brush (their own generator, so the draws
        // above and below stay those of the unrotated rounds): quarter and
        // eighth turns, small turns either way, and any angle.
        std::mt19937 turn(static_cast<unsigned>(round));
        const bool rotated = turn() % 2 != 0;
        if (rotated) {
            constexpr int kTurns[] = {0, 90, 45, 30, -1, 359, 180, 271};
            PLR_SetRotateBrushMode(1, turn() % 3 ? kTurns[turn() % 8] : static_cast<int>(turn() % 720) - 360);
        }
        if (rng() % 6 == 0) {  // grit, drawn everywhere or in part
            tool().gritCellSize = 3;
            PLR_SetDensity(rng() % 2 ? 256 : static_cast<int>(rng() % 256));
            p.brush.drawingCounter = static_cast<int>(rng() % 2);
        }

        for (int dab = 0; dab < 6; ++dab) {
            const int x = static_cast<int>(rng() % (w + 2 * mbs)) - mbs,
                      y = static_cast<int>(rng() % (h + 2 * mbs)) - mbs;
            const int r = pick(rng), g = pick(rng), b = pick(rng);
            const Snapshot before = take(p, target);
            {
                DabFrame f;
                ASSERT_TRUE(prepareDab(p, x, y, false, f));
                const bool fast = fastDabApplies(p, f);
                fastRuns += fast;
                rotatedFastRuns += fast && rotated;
                restore(p, target, before);
            }
            drawDab(p, x, y, r, g, b, DabPath::Auto);
            const Snapshot fast = take(p, target);
            restore(p, target, before);
            drawDab(p, x, y, r, g, b, DabPath::Reference);
            const Snapshot ref = take(p, target);
            ASSERT_EQ(fast.target, ref.target) << "round " << round << " dab " << dab;
            ASSERT_EQ(fast.buffer, ref.buffer) << "round " << round << " dab " << dab;
            ASSERT_EQ(fast.stroke.left, ref.stroke.left);
            ASSERT_EQ(fast.stroke.top, ref.stroke.top);
            ASSERT_EQ(fast.stroke.right, ref.stroke.right);
            ASSERT_EQ(fast.stroke.bottom, ref.stroke.bottom);
            ASSERT_EQ(fast.bounds.left, ref.bounds.left);
            ASSERT_EQ(fast.bounds.right, ref.bounds.right);
            ASSERT_EQ(fast.bounds.top, ref.bounds.top);
            ASSERT_EQ(fast.bounds.bottom, ref.bounds.bottom);
            ASSERT_EQ(fast.rng.state, ref.rng.state);
        }
        resetEngine();
    }
    allowFastPaths(true);
    EXPECT_GT(fastRuns, 700) << "the settings above should mostly reach the fast loop";
    EXPECT_GT(rotatedFastRuns, 300) << "rotated dabs take the fast loop too";
}

TEST_F(DabDifferential, TurnedDabReadsTheShapePlanesLastCellAsTheReferenceDoes) {
    // Brush as large as the planes, no turn: the last pixel of the last row
    // samples the planes' last cell, inside an eight-pixel step for these sizes.
    std::mt19937 rng(5);
    for (const bool avx2 : {false, true}) {
        for (const int size : {8, 15, 16, 24}) {
            allowFastPaths(avx2);
            makePage(48, 48, size, size);
            Page& p = page();
            for (std::size_t i = 0; i < p.brush.shapePlane.size(); ++i) p.brush.shapePlane.data()[i] = pick(rng);
            LayerRecord& target = *p.currentLayer;
            for (std::size_t i = 0; i < target.pixels.size(); ++i) target.pixels.data()[i] = pick(rng);
            PLR_SetRotateBrushMode(1, 0);
            const Snapshot before = take(p, target);
            drawDab(p, 24, 24, 0x1200, 0x3400, 0x5600, DabPath::Auto);
            const Snapshot fast = take(p, target);
            restore(p, target, before);
            drawDab(p, 24, 24, 0x1200, 0x3400, 0x5600, DabPath::Reference);
            EXPECT_EQ(fast.target, take(p, target).target) << "size " << size << (avx2 ? " AVX2" : "");
            resetEngine();
        }
    }
    allowFastPaths(true);
}

std::uint64_t fnv(const std::uint16_t* p, std::size_t n, std::uint64_t h = 1469598103934665603ull) {
    for (std::size_t i = 0; i < n; ++i) {
        h = (h ^ (p[i] & 0xFF)) * 1099511628211ull;
        h = (h ^ (p[i] >> 8)) * 1099511628211ull;
    }
    return h;
}

// A stroke of 400 dabs with grit, per-dab and per-pixel colour and lightness
// variation, a scaled brush and a smudging stretch, from a fixed seed.
std::uint64_t seededStroke(DabPath path, int dabs = 400) {
    resetEngine();
    engine().randomSeed = 1234;
    PLR_CreateImage(nullptr, 96, 64, 24, 0);
    PLR_CreateLayer(2, 96, 64);
    PLR_SetLayer(2);
    PLR_SetSize(20);
    PLR_SetAlpha(80);
    PLR_SetDensity(200);
    // The tables first: building one reseeds the generator, reusing one does
    // not; the tool then seeds it for the stroke.
    PLR_SetPixColorVary(40);
    PLR_SetPixLumVary(30);
    PLR_ClearBlendBuffer();  // the buffer is part of the digest
    PLR_SetTool(1.0f, 3, 140, 200, 60, 30, 9, 0, 0, 0, 0, 0, 0, "", "", 0);
    Page& p = page();
    for (int i = 0; i < dabs; ++i) {
        if (i == 150) PLR_SetScaleSize(13);
        if (i == 250) {
            PLR_SetBlendStrength(120);
            PLR_SetBlendRemix(1);
            PLR_CopyBlendBufferSurface(10 + i % 70, 8 + (i * 7) % 48, 64, 0);
        }
        if (i == 320) PLR_SetRotateBrushMode(1, 30);
        const int x = -8 + (i * 37) % 112, y = -6 + (i * 11) % 76;
        drawDab(p, x, y, (i * 521) & 0xFFFF, (i * 1223) & 0xFFFF, (i * 97) & 0xFFFF, path);
        PLR_DecDrawingLength();
    }
    const Rect s = p.history.stroke;
    const std::uint16_t rect[4] = {static_cast<std::uint16_t>(s.left), static_cast<std::uint16_t>(s.top),
                                   static_cast<std::uint16_t>(s.right), static_cast<std::uint16_t>(s.bottom)};
    std::uint64_t h = fnv(p.currentLayer->pixels.data(), p.currentLayer->pixels.size());
    h = fnv(p.brush.mixingBuffer.data(), p.brush.mixingBuffer.size(), h);
    return fnv(rect, 4, h);
}

TEST_F(DabDifferential, SeededStrokeReproducesItsDigest) {
    constexpr std::uint64_t kDigest = 0x6a6af160fb3f7064ull;
    const std::uint64_t reference = seededStroke(DabPath::Reference);
    EXPECT_EQ(reference, kDigest) << std::hex << reference;
    EXPECT_EQ(seededStroke(DabPath::Auto), reference);
    EXPECT_EQ(seededStroke(DabPath::Reference), reference) << "same bytes on every run";
}

}  // namespace
}  // namespace plr::test
