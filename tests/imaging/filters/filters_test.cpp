// The in-house effects on small pictures with hand-computed results.
#include <cstring>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "imaging/filters/filter_table.h"
#include "engine/page_filters.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using Effects = EngineTest;

struct Picture {
    int w, h;
    std::vector<std::uint8_t> px;
    Picture(int w_, int h_) : w(w_), h(h_), px(static_cast<std::size_t>(w_) * h_ * 4, 0) {}
    std::uint8_t* at(int x, int y) { return &px[(static_cast<std::size_t>(y) * w + x) * 4]; }
    void grey(int x, int y, int v, int alpha = 255) {
        std::uint8_t* p = at(x, y);
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v);
        p[3] = static_cast<std::uint8_t>(alpha);
    }
};

// Picture from grey values, row by row, alpha 255.
Picture greys(int w, int h, std::initializer_list<int> values) {
    Picture p(w, h);
    int i = 0;
    for (int v : values) p.grey(i % w, i / w, v), ++i;
    return p;
}

Picture run(Picture src, const char* name, const EffectArguments& a, int keep = 0) {
    Picture dst(src.w, src.h);
    effectOnImage(engine().filters, src.px.data(), dst.px.data(), src.w, src.h, name, keep, a,
                  pageSurroundings(page()));
    return dst;
}

EffectArguments params(std::initializer_list<int> p) {
    EffectArguments a;
    int i = 0;
    for (int v : p) a.p[i++] = v;
    return a;
}

void expectGreys(Picture& p, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) {
        const std::uint8_t* q = p.at(i % p.w, i / p.w);
        EXPECT_EQ(q[0], v) << "pixel " << i;
        EXPECT_EQ(q[1], v) << "pixel " << i;
        EXPECT_EQ(q[2], v) << "pixel " << i;
        ++i;
    }
}

// Pairs of a 2 x 2 picture a b / c d in sweep order:
// rows: a->b, d->c, b->a, c->d; columns: a->c, d->b, b->d, c->a.
TEST_F(Effects, ValueBlurBleedsDarkerIntoLighterAlongTheEightSweeps) {
    Picture out = run(greys(2, 2, {0, 200, 100, 40}), "Value Blur", params({0, 500}));
    // a->b: 100; d->c: 70; b->a, c->d: p lighter, weight 0; a->c: 35; d->b: 70.
    expectGreys(out, {0, 70, 35, 40});
    EXPECT_EQ(out.at(1, 0)[3], 255);
}

TEST_F(Effects, SweepsLeaveOutTheirEndRowAndColumn) {
    // A single row or column has no pair: the across coordinate stops before
    // the only row (row sweeps) and pairs along a column need two rows.
    for (auto [w, h] : {std::pair{5, 1}, std::pair{1, 5}}) {
        Picture src = greys(w, h, {0, 255, 0, 255, 0});
        for (const char* name : {"Value Blur", "Noise Reduction", "Anti Alias", "Noise Reduction RGB"}) {
            Picture out = run(src, name, params({0, 500, 1000, 1000, 1000, 1000}));
            EXPECT_EQ(out.px, src.px) << name << " " << w << "x" << h;
        }
    }
}

TEST_F(Effects, NoiseReductionBlendsOnlyBelowTheThreshold) {
    // Weight 1 - 1.0 * 0.5 = 0.5, threshold 0.2 * 255 = 51.
    Picture out = run(greys(2, 2, {0, 40, 100, 200}), "Noise Reduction", params({1000, 200}));
    // a->b: 20; b->a: 10; every other pair differs by 51 or more.
    expectGreys(out, {10, 20, 100, 200});
}

TEST_F(Effects, NoiseReductionRgbWorksPerChannel) {
    Picture src = greys(2, 2, {0, 40, 100, 200});
    for (int i = 0; i < 4; ++i) src.px[i * 4 + 3] = static_cast<std::uint8_t>(10 + i * 60);
    // Red: weight 0.5, threshold 51. Green: weight 1 - 0 = 1 keeps q. Blue: threshold 0.
    Picture out = run(src, "Noise Reduction RGB", params({1000, 200, 0, 1000, 1000, 0}));
    const int red[4] = {10, 20, 100, 200}, other[4] = {0, 40, 100, 200};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out.px[i * 4], red[i]) << i;
        EXPECT_EQ(out.px[i * 4 + 1], other[i]) << i;
        EXPECT_EQ(out.px[i * 4 + 2], other[i]) << i;
        EXPECT_EQ(out.px[i * 4 + 3], 10 + i * 60) << i;  // alpha untouched
    }
}

TEST_F(Effects, AntiAliasUsesTheThirdPixelAcrossTheSweep) {
    // Thresholds (1 - 0.8) * 255 = 51; weights 0.5 (first test) and 0.25 (second).
    // r for each pair: a->b r=d; d->c r=a; b->a r=c; c->d r=b;
    //                  a->c r=d; d->b r=a; b->d r=c; c->a r=b.
    Picture out = run(greys(2, 2, {200, 0, 0, 255}), "Anti Alias", params({500, 250, 800, 800}));
    // a->b: 200 > 51 and d >= a: b = 100. b->a: 100 > 51, c <= b: a = 0.25*200 + 0.75*100 = 125.
    // a->c: c = 62.5 -> 62. b->d: 155 > 51 and c (62) <= b: d = 63.75 + 75 = 138.75 -> 138.
    expectGreys(out, {125, 100, 62, 138});
}

TEST_F(Effects, AdaptiveBlurTakesTheFirstNeighbourBeyondTheThreshold) {
    // Threshold (1 - 0.8) * 255 = 51. Left 100 (equal), right 20 (darker by 80): w = P2 = 0.5.
    Picture src = greys(3, 3, {0, 60, 0, 100, 100, 20, 0, 100, 0});
    Picture out = run(src, "Adaptive Blur", params({800, 500, 250}));
    // Mean of left, right, up, down = (100 + 20 + 60 + 100) / 4 = 70; 0.5*100 + 0.5*70 = 85.
    EXPECT_EQ(out.at(1, 1)[0], 85);
    EXPECT_EQ(out.at(1, 1)[3], 255);
    EXPECT_EQ(out.at(0, 0)[0], 0);  // the edge is not interior
    // Left neighbour lighter by more than the threshold first: w = P3 = 0.25.
    src = greys(3, 3, {0, 100, 0, 200, 100, 0, 0, 100, 0});
    out = run(src, "Adaptive Blur", params({800, 500, 250}));
    EXPECT_EQ(out.at(1, 1)[0], 100);  // 0.75*100 + 0.25*(200+0+100+100)/4 = 100
    src = greys(3, 3, {0, 100, 0, 100, 100, 120, 0, 100, 0});
    out = run(src, "Adaptive Blur", params({800, 500, 250}));
    EXPECT_EQ(out.at(1, 1)[0], 100);  // no neighbour beyond the threshold
}

TEST_F(Effects, BasicThresholdGreyscaleInvert) {
    Picture src(1, 1);
    std::uint8_t* p = src.at(0, 0);
    p[0] = 100, p[1] = 110, p[2] = 121, p[3] = 7;  // grey 331 / 3 = 110
    Picture out = run(src, "Basic Threshold", params({431}));  // 109.9
    EXPECT_EQ(out.at(0, 0)[0], 255);
    EXPECT_EQ(out.at(0, 0)[3], 7);
    out = run(src, "Basic Threshold", params({432}));  // 110.16
    EXPECT_EQ(out.at(0, 0)[2], 0);
    out = run(src, "Grayscale", {});
    EXPECT_EQ(out.at(0, 0)[0], 110);
    EXPECT_EQ(out.at(0, 0)[2], 110);
    out = run(src, "Invert", {});
    EXPECT_EQ(out.at(0, 0)[0], 155);
    EXPECT_EQ(out.at(0, 0)[1], 145);
    EXPECT_EQ(out.at(0, 0)[2], 134);
    EXPECT_EQ(out.at(0, 0)[3], 7);
    out = run(src, "Invert ", {});  // names are compared exactly
    EXPECT_EQ(out.at(0, 0)[0], 100);
}

TEST_F(Effects, DetailBlurReplacesOutliersByTheBlockMean) {
    Picture src = greys(3, 3, {0, 0, 0, 0, 90, 0, 0, 0, 0});  // mean grey 10, centre differs by 80
    Picture out = run(src, "Detail Blur", params({300}));       // 76.5
    EXPECT_EQ(out.at(1, 1)[0], 10);
    EXPECT_EQ(out.at(1, 1)[3], 255);
    out = run(src, "Detail Blur", params({320}));  // 81.6
    EXPECT_EQ(out.at(1, 1)[0], 90);
}

TEST_F(Effects, LineArtCleanerThresholdsAndRemovesSpecksButNotLines) {
    Picture speck = greys(3, 3, {250, 250, 250, 250, 50, 250, 250, 250, 250});
    Picture out(3, 3);
    EffectArguments a = params({500, 700});  // dark below 127.5; mean must exceed by 178.5
    effectOnImage(engine().filters, speck.px.data(), out.px.data(), 3, 3, "Line Art Cleaner", 0, a,
                  pageSurroundings(page()));
    expectGreys(out, {255, 255, 255, 255, 255, 255, 255, 255, 255});  // mean 226.7 - 0 > 178.5
    EXPECT_EQ(speck.at(1, 1)[0], 0);   // the source holds the thresholded picture
    EXPECT_EQ(speck.at(0, 0)[0], 255);
    Picture line = greys(3, 3, {250, 250, 250, 50, 50, 50, 250, 250, 250});
    effectOnImage(engine().filters, line.px.data(), out.px.data(), 3, 3, "Line Art Cleaner", 0, a,
                  pageSurroundings(page()));
    expectGreys(out, {255, 255, 255, 0, 0, 0, 255, 255, 255});  // mean 170 - 0 < 178.5
}

TEST_F(Effects, LineArtCleanerLoadsTheThresholdedPictureIntoTheCurrentLayer) {
    PLR_CreateImage(nullptr, 3, 3, 4, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 3, 3), 1);
    PLR_SetLayer(2);
    page().mask.plane[8] = 0;  // a protected pixel keeps its old value
    Picture speck = greys(3, 3, {250, 250, 250, 250, 50, 250, 250, 250, 250});
    Picture out(3, 3);
    effectOnImage(engine().filters, speck.px.data(), out.px.data(), 3, 3, "Line Art Cleaner", 0, params({500, 700}),
                  pageSurroundings(page()));
    const uint16_t* px = page().layers[2].pixels.data();
    EXPECT_EQ(px[0], 0xFF00);
    EXPECT_EQ(px[4 * 4 + 0], 0) << "a speck is in the layer before specks are removed";
    EXPECT_EQ(px[4 * 4 + 3], 0xFF00);
    EXPECT_EQ(px[8 * 4 + 3], 0) << "the load honours the mask";
    // A picture smaller than the layer loads only what it has.
    Picture small = greys(1, 1, {10});
    Picture smallOut(1, 1);
    effectOnImage(engine().filters, small.px.data(), smallOut.px.data(), 1, 1, "Line Art Cleaner", 0,
                  params({500, 700}), pageSurroundings(page()));
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1 * 4 + 0], 0xFF00);
}

TEST_F(Effects, ChannelAndClamp) {
    Picture src(2, 1);
    std::uint8_t* p = src.at(0, 0);
    p[0] = 200, p[1] = 100, p[2] = 50, p[3] = 9;
    p = src.at(1, 0);
    p[0] = 50, p[1] = 51, p[2] = 205, p[3] = 9;
    EffectArguments a;
    a.option[2] = 1;  // option 3: red
    Picture out = run(src, "Channel", a);
    EXPECT_EQ(out.at(0, 0)[0], 255);
    EXPECT_EQ(out.at(0, 0)[1], 0);
    EXPECT_EQ(out.at(0, 0)[3], 200);
    a.option[2] = 0;
    a.option[4] = 0x101;  // option 5 (low byte 1): blue
    out = run(src, "Channel", a);
    EXPECT_EQ(out.at(0, 0)[2], 255);
    EXPECT_EQ(out.at(0, 0)[0], 0);
    EXPECT_EQ(out.at(0, 0)[3], 50);
    EffectArguments c = params({200, 0, 800, 1000});  // below 51 -> 0, above 204 -> 255
    c.option[2] = 1;                                   // red
    c.option[4] = 1;                                   // blue
    out = run(src, "Clamp", c);
    EXPECT_EQ(out.at(0, 0)[0], 200);
    EXPECT_EQ(out.at(1, 0)[0], 0);    // 50 < 51
    EXPECT_EQ(out.at(0, 0)[2], 0);    // blue 50
    EXPECT_EQ(out.at(1, 0)[2], 255);  // blue 205
    EXPECT_EQ(out.at(1, 0)[1], 51);   // green has no switch
}

TEST_F(Effects, MaskDetailMarksPixelsUnlikeBothNeighbours) {
    PLR_CreateImage(nullptr, 3, 3, 4, 0);
    Picture src = greys(3, 3, {0, 50, 0, 0, 100, 0, 0, 50, 0});
    // Red 100 against 50 above and below (> 25), and against 0 left and right.
    Picture out = run(src, "Mask Detail", params({100, 500}));
    auto& mask = page().mask.plane;
    EXPECT_EQ(mask[4], 32767);  // trunc(0.5 * 65535)
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8}) EXPECT_EQ(mask[i], 65535) << i;
    mask.data()[4] = 65535;
    src = greys(3, 3, {0, 90, 0, 90, 100, 0, 0, 50, 0});  // close to the upper and the left neighbour
    run(src, "Mask Detail", params({100, 500}));
    EXPECT_EQ(mask[4], 65535);
    // A picture of another size than the page writes nothing.
    run(greys(2, 2, {0, 255, 255, 0}), "Mask Detail", params({0, 1000}));
    for (int i = 0; i < 9; ++i) EXPECT_EQ(mask[i], 65535);
}

TEST_F(Effects, BorderizePaintsRingsFromTheSampledEdgePixels) {
    Picture src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.at(x, y)[3] = 77;
    src.at(0, 0)[0] = 10;
    src.at(0, 1)[0] = 20;
    Picture out = run(src, "Borderize", params({0, 1000}));  // 2 rings, samples (0, k)
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool outer = x == 0 || y == 0 || x == 3 || y == 3;
            EXPECT_EQ(out.at(x, y)[0], outer ? 10 : 20) << x << "," << y;
            EXPECT_EQ(out.at(x, y)[3], 77);
        }
}

TEST_F(Effects, ReflectionMirrorsBelowTheLineWithFadingAlpha) {
    Picture src(1, 16);
    for (int y = 0; y < 16; ++y) src.at(0, y)[0] = static_cast<std::uint8_t>(y * 10), src.at(0, y)[3] = 200;
    EffectArguments a = params({500, 1000, 125, 250});  // g = 7; rate 1 - 0.125 per row; source step 1
    a.option[3] = 1;                                   // option 4: line at g - 1 = 6
    Picture out = run(src, "Reflection", a);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(out.at(0, y)[0], y * 10);
    const int red[10] = {50, 40, 30, 20, 10, 0, 0, 0, 0, 0};
    const int alpha[10] = {200, 175, 150, 125, 100, 75, 0, 0, 0, 0};
    for (int j = 6; j < 16; ++j) {
        EXPECT_EQ(out.at(0, j)[0], red[j - 6]) << j;
        EXPECT_EQ(out.at(0, j)[3], alpha[j - 6]) << j;
    }
    // Per column without option 4: the line is the lowest non-transparent row
    // below g; a fully opaque column has none left to mirror into.
    a.option[3] = 0;
    out = run(src, "Reflection", a);
    EXPECT_EQ(out.px, src.px);
    for (int y = 10; y < 16; ++y) src.at(0, y)[3] = 0;  // lowest opaque row 9
    out = run(src, "Reflection", a);
    EXPECT_EQ(out.at(0, 9)[0], 80);
    EXPECT_EQ(out.at(0, 10)[0], 70);
    EXPECT_EQ(out.at(0, 10)[3], 175);
}

TEST_F(Effects, FaderRampsFromLeftToRight) {
    Picture src(3, 1);
    for (int x = 0; x < 3; ++x) src.at(x, 0)[0] = 200, src.at(x, 0)[3] = 100;
    EffectArguments a = params({500, 500, 500, 250});  // rows x1; columns 1.0 .. 0.5
    Picture out = run(src, "Fader", a);
    EXPECT_EQ(out.at(0, 0)[0], 200);
    EXPECT_EQ(out.at(1, 0)[0], 150);
    EXPECT_EQ(out.at(2, 0)[0], 100);
    EXPECT_EQ(out.at(2, 0)[3], 100);
    a.option[5] = 1;  // option 6: alpha too
    out = run(src, "Fader", a);
    EXPECT_EQ(out.at(2, 0)[3], 50);
}

TEST_F(Effects, VignetteRectangleKeepsTheInsideAndTintsTheOutside) {
    Picture src(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) src.grey(x, y, 40, 100);
    // P5 0.25: margins (8 - 2*2) / 2 = 2; rectangle (2, 2)..(5, 6). P4 0: no blur. P6 1: base 0.
    EffectArguments a = params({1000, 0, 0, 0, 250, 1000});
    a.option[5] = 1;  // option 6: rectangle
    Picture out = run(src, "Vignette", a);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 2 && y <= 6;
            EXPECT_EQ(out.at(x, y)[3], inside ? 100 : 255) << x << "," << y;
            EXPECT_EQ(out.at(x, y)[0], 40);
        }
    a.option[2] = 1;  // option 3: tint with (P1, P2, P3) = red
    a.option[3] = 1;  // option 4: clear alpha outside
    out = run(src, "Vignette", a);
    EXPECT_EQ(out.at(0, 0)[0], 255);
    EXPECT_EQ(out.at(0, 0)[1], 0);
    EXPECT_EQ(out.at(0, 0)[3], 0);
    EXPECT_EQ(out.at(3, 3)[0], 40);
    EXPECT_EQ(out.at(3, 3)[3], 100);
}

TEST_F(Effects, BuffersRunOnlyWhenBothExistAtPageSize) {
    PLR_CreateImage(nullptr, 2, 1, 4, 0);
    effectOnBuffers(engine().filters, page(), "Invert", 0, {});  // no buffers: nothing
    auto& pb = page().processing;
    ASSERT_TRUE(pb.src32.allocate(8));
    ASSERT_TRUE(pb.dst32.allocate(8));
    const std::uint8_t px[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(pb.src32.data(), px, 8);
    effectOnBuffers(engine().filters, page(), "Invert", 0, {});
    EXPECT_EQ(pb.dst32[0], 254);
    EXPECT_EQ(pb.dst32[7], 8);
    ASSERT_TRUE(pb.dst32.allocate(4));
    pb.dst32[0] = 9;
    effectOnBuffers(engine().filters, page(), "Invert", 0, {});
    EXPECT_EQ(pb.dst32[0], 9);
}

TEST_F(Effects, NamesMatchExactlyAndNearMissesRunNothing) {
    Picture src = greys(3, 3, {10, 200, 30, 250, 5, 90, 60, 70, 255});
    const EffectArguments a = params({300, 600, 800, 800, 500, 500});
    for (const NamedFilter& f : kInHouseFilters) {
        std::string lower(f.name), padded(f.name), cut(f.name.substr(0, f.name.size() - 1));
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        padded += ' ';
        for (const std::string& near : {lower, padded, cut}) {
            Picture out = run(src, near.c_str(), a);
            EXPECT_EQ(out.px, src.px) << "'" << near << "' runs nothing: the destination is the copy";
        }
    }
    Picture kept(3, 3);
    kept.grey(1, 1, 77);
    Picture before = kept;
    effectOnImage(engine().filters, src.px.data(), kept.px.data(), 3, 3, "No Such Filter", 1, a);
    EXPECT_EQ(kept.px, before.px) << "with keepDestination nothing is copied either";
}

// Filters see the page only through the surroundings their caller passes.
TEST_F(Effects, WithoutSurroundingsFiltersLeaveThePageAlone) {
    PLR_CreateImage(nullptr, 3, 3, 4, 0);
    ASSERT_EQ(PLR_CreateLayer(2, 3, 3), 1);
    PLR_SetLayer(2);
    page().brush.dabColor = {0xFF00, 0, 0};
    const std::vector<std::uint16_t> layerBefore(page().layers[2].pixels.data(),
                                                 page().layers[2].pixels.data() + page().layers[2].pixels.size());
    const std::vector<std::uint16_t> maskBefore(page().mask.plane.data(),
                                                page().mask.plane.data() + page().mask.plane.size());
    Picture src = greys(3, 3, {250, 250, 250, 250, 50, 250, 250, 250, 250});
    for (const char* name : {"Line Art Cleaner", "Mask Detail"}) {
        Picture in = src, out(3, 3);  // "Line Art Cleaner" writes its source too
        effectOnImage(engine().filters, in.px.data(), out.px.data(), 3, 3, name, 0, params({100, 700}));
    }
    EXPECT_TRUE(std::equal(layerBefore.begin(), layerBefore.end(), page().layers[2].pixels.data()));
    EXPECT_TRUE(std::equal(maskBefore.begin(), maskBefore.end(), page().mask.plane.data()));

    // Fader option 3 without a layer hook changes nothing; with one it ramps only the box.
    EffectArguments fade = params({250, 250, 250, 250});  // factor 0.25 everywhere
    fade.option[2] = 1;
    Picture out(3, 3);
    effectOnImage(engine().filters, src.px.data(), out.px.data(), 3, 3, "Fader", 0, fade);
    EXPECT_EQ(out.px, src.px);
    FilterSurroundings centre;
    centre.layerExtents = [](void*, Rect& box) {
        box = {1, 1, 2, 2};
        return true;
    };
    effectOnImage(engine().filters, src.px.data(), out.px.data(), 3, 3, "Fader", 0, fade, centre);
    EXPECT_EQ(out.at(1, 1)[0], 12);
    EXPECT_EQ(out.at(0, 0)[0], 250);
    FilterSurroundings noData;  // a layer without data: an empty box changes nothing
    noData.layerExtents = [](void*, Rect& box) {
        box = {};
        return true;
    };
    Picture untouched(3, 3);
    effectOnImage(engine().filters, src.px.data(), untouched.px.data(), 3, 3, "Fader", 0, fade, noData);
    EXPECT_EQ(untouched.px, src.px);

    // Vignette option 8 tints with the colour it is given, the page's or any other.
    Picture wide(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) wide.grey(x, y, 40, 100);
    EffectArguments tint = params({1000, 0, 0, 0, 250, 1000});
    tint.option[5] = tint.option[2] = tint.option[7] = 1;
    const Picture fromPage = run(wide, "Vignette", tint);
    FilterSurroundings red;
    red.dabColour[0] = 255;
    Picture given(8, 8);
    effectOnImage(engine().filters, wide.px.data(), given.px.data(), 8, 8, "Vignette", 0, tint, red);
    EXPECT_EQ(given.px, fromPage.px);
    EXPECT_EQ(given.at(0, 0)[0], 255);
    EXPECT_EQ(given.at(0, 0)[1], 0);
}

}  // namespace
}  // namespace plr::test
