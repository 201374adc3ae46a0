// The fast render against the plain per-pixel reference on random stacks:
// random modes (alpha modes and Layer Mask included), opacities, hidden
// layers, the paint layer, tracing, the mask overlay, all three view paths,
// odd widths, rectangles partly outside the page and bottom-up bitmaps.
// Both must write the same bytes, with and without the AVX2 kernels.
#include <cstring>
#include <random>
#include <vector>

#include "engine/cpu_kernels.h"
#include "engine/threading.h"
#include "engine_fixture.h"
#include "layers/blend_modes.h"
#include "layers/render.h"

namespace plr::test {
namespace {

class RenderDifferential : public EngineTest {
protected:
    void TearDown() override {
        allowFastPaths(true);
        EngineTest::TearDown();
    }
};

std::uint16_t channelValue(std::mt19937& rng) {
    switch (rng() % 6) {
        case 0: return 0;
        case 1: return 0xFF00;
        case 2: return 0xFFFF;
        default: return static_cast<std::uint16_t>(rng());
    }
}

std::uint16_t alphaValue(std::mt19937& rng) {
    switch (rng() % 9) {
        case 0:
        case 1: return 0;
        case 7: return 0xFEFF;
        case 8: return 1;
        case 2: return 0xFF00;
        case 3: return 0xFFFF;
        case 4: return static_cast<std::uint16_t>(0xFF00 + rng() % 0xFF);
        default: return static_cast<std::uint16_t>(rng());
    }
}

// Random pixels with transparent and opaque stretches, as strokes leave them.
void fillLayer(std::uint16_t* px, std::int32_t w, std::int32_t h, std::mt19937& rng) {
    const int style = static_cast<int>(rng() % 5);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint16_t* p = px + 4 * (static_cast<std::size_t>(y) * w + x);
            for (int c = 0; c < 3; ++c) p[c] = channelValue(rng);
            const bool band = ((x / 7 + y / 5) % 3) == 0;
            if (style == 0) p[3] = alphaValue(rng);
            else if (style == 1) p[3] = band ? alphaValue(rng) : 0;
            else if (style == 2) p[3] = band ? 0xFFFF : alphaValue(rng);
            else if (style == 3) p[3] = static_cast<std::uint16_t>(rng() % 3 == 0 ? 0 : 0xFFFF);
            else p[3] = y % 3 == 0 && x % 11 == 0 ? alphaValue(rng) : 0xFFFF;  // opaque runs that hide what is below
        }
}

struct Scene {
    std::int32_t w, h;
};

Scene buildRandomScene(std::mt19937& rng, std::int32_t w, std::int32_t h) {
    PLR_CreateImage(nullptr, w, h, 4, 0);
    const int layers = static_cast<int>(rng() % 7);
    std::vector<std::int32_t> used;
    for (int k = 0; k < layers; ++k) {
        const std::int32_t slot = 1 + static_cast<std::int32_t>(rng() % 8);
        if (PLR_CreateLayer(slot, w, h) != 1) continue;
        std::int32_t mode = static_cast<std::int32_t>(rng() % 43);
        if (rng() % 4 == 0) mode = static_cast<std::int32_t>(rng() % 3 == 0 ? 40 : rng() % 2);  // Layer Mask, Normal, Multiply
        const std::string name(kBlendModes[mode].name);
        const std::int32_t percent = rng() % 3 == 0 ? 100 : static_cast<std::int32_t>(rng() % 101);
        PLR_SetLayerOptions(slot, rng() % 5 != 0, 0, percent, name.c_str());
        if (slot != 1 || rng() % 2) fillLayer(page().layers[slot].pixels.data(), w, h, rng);
        used.push_back(slot);
    }
    if (used.empty()) {
        PLR_CreateLayer(2, w, h);
        PLR_SetLayerOptions(2, 1, 0, 100, "Normal");
        used.push_back(2);
    }
    PLR_SetLayer(used[rng() % used.size()]);
    if (rng() % 3) {
        const std::int32_t mode = static_cast<std::int32_t>(rng() % 43);
        const std::string name(kBlendModes[mode].name);
        PLR_CreatePaintLayer(static_cast<std::int32_t>(rng() % 101), name.c_str());
        fillLayer(page().paintLayer.pixels.data(), w, h, rng);
    }
    if (rng() % 2) {
        PLR_CreateLayer(0, w, h);
        fillLayer(page().layers[0].pixels.data(), w, h, rng);
        PLR_SetTracingMode(1 + static_cast<std::int32_t>(rng() % 255));
    }
    if (rng() % 2) {
        PLR_DisplayMask(1);
        PLR_SetMaskOptions(static_cast<std::int32_t>(rng() % 256), static_cast<std::int32_t>(rng() % 256),
                           static_cast<std::int32_t>(rng() % 256), static_cast<std::int32_t>(rng() % 256),
                           static_cast<std::int32_t>(rng() % 256), static_cast<std::int32_t>(rng() % 256),
                           static_cast<std::int32_t>(rng() % 2));
        std::uint16_t* m = page().mask.plane.data();
        for (std::size_t i = 0; i < page().pixelCount(); ++i) m[i] = channelValue(rng);
        if (rng() % 4 == 0) PLR_EnableMask(0);
    }
    PLR_SetAlphaLayerOpacity(static_cast<std::int32_t>(rng() % 101));
    return {w, h};
}

// One render call through both implementations; the bitmaps start equal.
void compareOnce(std::mt19937& rng, const Scene& s, const char* what) {
    const int path = static_cast<int>(rng() % 5);
    if (path == 0) PLR_SetScale(1, 1.0f);
    else if (path == 1) PLR_SetScale(2 + static_cast<std::int32_t>(rng() % 4), 1.0f);
    else if (path == 4)  // odd settings: factors below 1, zooms below 1 or negative
        PLR_SetScale(-static_cast<std::int32_t>(rng() % 3), static_cast<float>(rng() % 300) / 100.0f - 0.5f);
    else PLR_SetScale(1, 1.0f + static_cast<float>(rng() % 400) / 100.0f);
    const std::int32_t x = static_cast<std::int32_t>(rng() % (s.w + 6)) - 5;
    const std::int32_t y = static_cast<std::int32_t>(rng() % (s.h + 6)) - 5;
    const std::int32_t rw = 1 + static_cast<std::int32_t>(rng() % (s.w + 4));
    const std::int32_t rh = 1 + static_cast<std::int32_t>(rng() % (s.h + 4));
    const std::int32_t vw = 1 + static_cast<std::int32_t>(rng() % 300), vh = 1 + static_cast<std::int32_t>(rng() % 200);
    PLR_SetViewSize(vw, vh);
    const std::int32_t rowBytes = vw * 3 + static_cast<std::int32_t>(rng() % 9);
    const bool bottomUp = rng() % 2;
    std::vector<std::uint8_t> a(static_cast<std::size_t>(rowBytes) * vh), b;
    for (auto& v : a) v = static_cast<std::uint8_t>(rng());
    b = a;
    const std::int32_t stride = bottomUp ? -rowBytes : rowBytes;
    const std::size_t origin = bottomUp ? static_cast<std::size_t>(rowBytes) * (vh - 1) : 0;
    render(page(), a.data() + origin, stride, x, y, rw, rh);
    renderReference(page(), b.data() + origin, stride, x, y, rw, rh);
    if (a != b) {
        std::size_t i = 0;
        while (a[i] == b[i]) ++i;
        ADD_FAILURE() << what << ": byte " << i << " fast " << int(a[i]) << " reference " << int(b[i]) << " (row "
                      << i / rowBytes << ", page " << s.w << "x" << s.h << ", rect " << x << "," << y << " " << rw
                      << "x" << rh << ", scale " << page().view.scale << " zoom " << page().view.zoom << ")";
    }
}

TEST_F(RenderDifferential, RandomStacksMatchTheReferenceOnEveryPath) {
    std::mt19937 rng(2024);
    for (int trial = 0; trial < 160; ++trial) {
        const std::int32_t w = 1 + static_cast<std::int32_t>(rng() % 67), h = 1 + static_cast<std::int32_t>(rng() % 40);
        const Scene s = buildRandomScene(rng, w, h);
        for (int call = 0; call < 4; ++call) {
            allowFastPaths(true);
            compareOnce(rng, s, "AVX2 when present");
            allowFastPaths(false);
            compareOnce(rng, s, "SSE2");
        }
        if (HasFailure()) break;
    }
}

// Bands of rows on several threads (down to one row a band, so that small
// pages split too, heights below the thread count included) draw the
// reference's bytes on every path.
TEST_F(RenderDifferential, RandomStacksMatchTheReferenceAtEveryThreadCount) {
    std::mt19937 rng(4242);
    for (int trial = 0; trial < 60; ++trial) {
        const std::int32_t w = 1 + static_cast<std::int32_t>(rng() % 67), h = 1 + static_cast<std::int32_t>(rng() % 40);
        const Scene s = buildRandomScene(rng, w, h);
        for (const std::int32_t threads : {2, 7}) {
            setThreadCount(threads, true);
            compareOnce(rng, s, threads == 2 ? "2 threads" : "7 threads");
        }
        if (HasFailure()) break;
    }
}

// Wide rows cross several composition chunks (256 pixels each).
TEST_F(RenderDifferential, WideRowsAcrossChunks) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 6; ++trial) {
        const std::int32_t w = 500 + static_cast<std::int32_t>(rng() % 300), h = 3 + static_cast<std::int32_t>(rng() % 4);
        const Scene s = buildRandomScene(rng, w, h);
        for (int call = 0; call < 3; ++call) {
            allowFastPaths(call % 2 == 0);
            PLR_SetScale(1, 1.0f);
            PLR_SetViewSize(2000, 10);
            std::vector<std::uint8_t> a(static_cast<std::size_t>(2000) * 3 * 10, 7), b = a;
            render(page(), a.data(), 6000, 0, 0, w, h);
            renderReference(page(), b.data(), 6000, 0, 0, w, h);
            EXPECT_EQ(a, b) << "width " << w;
            compareOnce(rng, s, "wide");
        }
    }
}

// The reduced view walks its sampled columns in strips of 4096 display columns.
TEST_F(RenderDifferential, ReducedViewWiderThanOneStrip) {
    std::mt19937 rng(7);
    const Scene s = buildRandomScene(rng, 5000, 3);
    for (bool fast : {true, false}) {
        allowFastPaths(fast);
        PLR_SetScale(1, 1.01f);
        PLR_SetViewSize(4600, 3);
        std::vector<std::uint8_t> a(static_cast<std::size_t>(4600) * 3 * 3, 5), b = a;
        render(page(), a.data(), 4600 * 3, 0, 0, s.w, s.h);
        renderReference(page(), b.data(), 4600 * 3, 0, 0, s.w, s.h);
        EXPECT_EQ(a, b);
        EXPECT_NE(a[4599 * 3], 5);  // the last display column (second strip) is drawn
    }
}

}  // namespace
}  // namespace plr::test
