// The fast page loops against the plain per-pixel versions, bit-exact, on
// random pages, strides, rectangles, masks, textures, locks and alphas.
#include <cstring>
#include <vector>

#include "engine/cpu_kernels.h"
#include "engine/threading.h"
#include "engine_fixture.h"
#include "fast_and_baseline.h"
#include "layers/pixel_reference.h"
#include "pixel_test_support.h"

namespace plr::test {
namespace {

using PixelDifferential = EngineTest;

constexpr std::int32_t kThreadCounts[] = {1, 2, 7};

struct Scene {
    std::int32_t w = 0, h = 0;
};

// A fresh page with slots 2 and 3 holding the same random pixels, a random
// mask (enabled or not) and maybe a texture (0 included, beyond the 4..250 a
// built texture holds, to reach the t = 0 rule).
Scene randomScene(Biased& r, int iteration) {
    Scene s;
    const bool big = iteration % 8 == 7;
    // Big pages are wider than the covered load's stretch of 512 pixels.
    s.w = big ? r.range(500, 1100) : r.range(1, 67);
    s.h = big ? r.range(2, 6) : r.range(1, 9);
    PLR_DeleteImage();
    makePage(s.w, s.h, {2, 3});
    Page& p = page();
    for (std::size_t i = 0; i < p.pixelCount(); ++i) {
        std::uint16_t* d = p.layers[2].pixels.data() + i * 4;
        d[0] = r.value16();
        d[1] = r.value16();
        d[2] = r.value16();
        d[3] = r.alpha16();
    }
    std::memcpy(p.layers[3].pixels.data(), p.layers[2].pixels.data(), p.layers[2].pixels.bytes());
    p.layers[2].alphaLock = p.layers[3].alphaLock = r.below(3) == 0;
    p.mask.enabled = r.below(2);
    for (std::size_t i = 0; i < p.pixelCount(); ++i) p.mask.plane[i] = r.below(3) == 0 ? 0xFFFF : r.value16();
    if (r.below(2)) {
        makeTexture(0);
        for (std::size_t i = 0; i < p.pixelCount(); ++i) p.texture[i] = r.byte();
    }
    return s;
}

// A source of `rows` rows, `rowBytes` used bytes each, random padding (odd
// strides included) and, sometimes, stored bottom-up (negative stride).
struct Source {
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* first = nullptr;
    std::int32_t stride = 0;
};
Source randomSource(Biased& r, std::int32_t rows, std::int32_t rowBytes, int bytesPerPixel) {
    Source s;
    const std::int32_t stride = rowBytes + r.range(0, 9);
    s.bytes.resize(static_cast<std::size_t>(std::max(rows, 1)) * stride + 1);
    for (std::size_t i = 0; i < s.bytes.size(); ++i)
        s.bytes[i] = bytesPerPixel == 4 && i % 4 == 3 ? r.alpha8() : r.byte();
    if (r.below(4) == 0 && rows > 0) {
        s.first = s.bytes.data() + static_cast<std::size_t>(rows - 1) * stride;
        s.stride = -stride;
    } else {
        s.first = s.bytes.data();
        s.stride = stride;
    }
    return s;
}

void expectSameLayers(int iteration) {
    const Page& p = page();
    const auto* a = p.layers[2].pixels.data();
    const auto* b = p.layers[3].pixels.data();
    for (std::size_t i = 0; i < p.pixelCount() * 4; ++i)
        ASSERT_EQ(a[i], b[i]) << "iteration " << iteration << ", pixel " << i / 4 << " channel " << i % 4;
}

// Runs the body once with the processor's fast paths and once with the baseline loops.
class PixelDifferentialPaths : public FastAndBaselineTest {};
INSTANTIATE_TEST_SUITE_P(FastAndBaseline, PixelDifferentialPaths, ::testing::Bool());

TEST_P(PixelDifferentialPaths, CoreLoadMatchesTheReference) {
    Biased r(20261208);
    for (int it = 0; it < 400; ++it) {
        const Scene s = randomScene(r, it);
        setThreadCount(kThreadCounts[it % 3], true);  // rows in bands of any size
        // Wide pages get rectangles spanning most of the width, so rows cross stretches.
        const bool wide = s.w > 512;
        const std::int32_t sw = wide ? s.w + r.range(-8, 6) : r.range(0, s.w + 6), sh = r.range(0, s.h + 4);
        const std::int32_t x = wide ? r.range(-6, 6) : r.range(-6, s.w), y = r.range(-4, s.h);
        const Source src = randomSource(r, sh, sw * 4, 4);
        const bool use = r.below(4) != 0;
        PLR_LoadRGBA32Layer(src.first, src.stride, 2, x, y, sw, sh, use);
        reference::loadRGBA32Layer(page(), src.first, src.stride, 3, x, y, sw, sh, use);
        expectSameLayers(it);
        if (HasFatalFailure()) return;
    }
}

TEST_P(PixelDifferentialPaths, RGB24LoadsMatchTheReference) {
    Biased r(77);
    for (int it = 0; it < 200; ++it) {
        const Scene s = randomScene(r, it);
        setThreadCount(kThreadCounts[it % 3], true);
        const Source src = randomSource(r, s.h, s.w * 3, 3);
        const bool use = r.below(4) != 0;
        const int kind = static_cast<int>(r.below(3));  // RGB24, RGB24 to alpha, BGR24 rectangle
        const std::int32_t bw = r.range(-2, s.w + 3), bh = r.range(-2, s.h + 3);
        makeCurrent(2);
        ASSERT_EQ(kind == 0   ? PLR_LoadRGB24(src.first, src.stride, use)
                  : kind == 1 ? PLR_LoadRGB24ToAlpha(src.first, src.stride, use)
                              : PLR_Load(src.first, src.stride, bw, bh),
                  1);
        makeCurrent(3);
        if (kind == 0)
            reference::loadRGB24(page(), src.first, src.stride, use);
        else if (kind == 1)
            reference::loadRGB24ToAlpha(page(), src.first, src.stride, use);
        else
            reference::loadBGR24(page(), src.first, src.stride, bw, bh);
        expectSameLayers(it);
        if (HasFatalFailure()) return;
    }
}

TEST_F(PixelDifferential, ClearMaskedMatchesTheReference) {
    Biased r(5);
    for (int it = 0; it < 100; ++it) {
        randomScene(r, it);
        const std::uint8_t c[4] = {r.byte(), r.byte(), r.byte(), r.alpha8()};
        makeCurrent(2);
        ASSERT_EQ(PLR_ClearMasked(c[0], c[1], c[2], c[3]), 1);
        makeCurrent(3);
        reference::clearMasked(page(), c[0], c[1], c[2], c[3]);
        expectSameLayers(it);
        if (HasFatalFailure()) return;
    }
}

TEST_F(PixelDifferential, LayerReadsMatchTheReferenceAndKeepThePadding) {
    Biased r(99);
    for (int it = 0; it < 150; ++it) {
        const Scene s = randomScene(r, it);
        setThreadCount(kThreadCounts[it % 3], true);
        const int kind = static_cast<int>(r.below(3));  // RGBA32, RGB24, alpha as grey
        const std::int32_t bpp = kind == 0 ? 4 : 3;
        const std::int32_t stride = s.w * bpp + r.range(0, 7);
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(stride) * s.h + 3, 0xCD), ref = fast;
        makeCurrent(2);
        const std::int32_t got = kind == 0   ? PLR_GetRGBA32Layer(fast.data(), stride, 2)
                                 : kind == 1 ? PLR_GetRGB24Layer(fast.data(), stride, 2)
                                             : PLR_GetRGB24FromAlpha(fast.data(), stride);
        EXPECT_EQ(got, s.h);
        reference::readLayer(page(), 2, kind == 0 ? Narrow::RGBA32 : Narrow::RGB24, kind == 2, ref.data(), stride);
        ASSERT_EQ(fast, ref) << "iteration " << it << " kind " << kind;
    }
}

TEST_F(PixelDifferential, BufferConversionsMatchTheReferenceAtOddStrides) {
    Biased r(3);
    for (int it = 0; it < 300; ++it) {
        const std::int32_t w = r.range(0, 67), h = r.range(0, 6);
        const Source src = randomSource(r, h, w * 8, 8);  // odd strides: misaligned 16-bit rows
        const bool rgb24 = r.below(2);
        const std::int32_t dstStride = w * (rgb24 ? 3 : 4) + r.range(0, 5);
        std::vector<std::uint8_t> fast(static_cast<std::size_t>(dstStride) * std::max(h, 1) + 2, 0xAB), ref = fast;
        const std::int32_t got =
            rgb24 ? PLR_GetRGB24FromRGBA64Rect(fast.data(), dstStride, src.first, src.stride, 7, 9, w, h)
                  : PLR_GetRGBA32FromRGBA64(fast.data(), dstStride, w, h, src.first, src.stride);
        EXPECT_EQ(got, 1);
        reference::convertRGBA64Block(rgb24 ? Narrow::RGB24 : Narrow::RGBA32, src.first, src.stride, ref.data(),
                                      dstStride, w, h);
        ASSERT_EQ(fast, ref) << "iteration " << it;
    }
}

}  // namespace
}  // namespace plr::test
