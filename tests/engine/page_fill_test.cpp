// Paint bucket, magic wand and mask shapes through the exports: every mode on
// small drawn pictures, the mask and the alpha lock limiting a fill, the
// wand adding to the mask as the builders it stands on, and failures leaving
// the layer as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "adapters/imaging/drawing_fill_reference.h"
#include "engine_fixture.h"
#include "mask/flood_map.h"

namespace plr::test {
namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// Picture legend: w white, g near white (25 away), k black, t transparent
// black, h half-transparent grey; fills paint F.
const std::map<char, Rgba> kLegend = {{'w', {250, 250, 250, 255}}, {'g', {245, 250, 250, 255}},
                                      {'k', {0, 0, 0, 255}},       {'t', {0, 0, 0, 0}},
                                      {'h', {128, 128, 128, 128}}, {'F', {200, 10, 20, 255}}};
// tolSq = trunc(tolerance * 0.00002 * 195075): 100 gives 390, enough for g.
constexpr std::int32_t kNear = 100;

class FillPage : public EngineTest {
protected:
    std::int32_t w = 0, h = 0;

    // A page the size of the picture with `slot` created, current and holding it.
    void make(const std::vector<std::string>& rows, std::int32_t slot = 2) {
        h = static_cast<std::int32_t>(rows.size());
        w = static_cast<std::int32_t>(rows[0].size());
        PLR_CreateImage(nullptr, w, h, 4, 0);
        PLR_CreateLayer(slot, w, h);
        PLR_SetLayer(slot);
        std::vector<std::uint8_t> rgba;
        for (const auto& row : rows)
            for (char c : row) {
                const Rgba p = kLegend.at(c);
                rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
            }
        PLR_LoadRGBA32(rgba.data(), w * 4, 0);
    }
    std::vector<Rgba> pixels() {
        std::vector<Rgba> out(static_cast<std::size_t>(w * h));
        PLR_GetRGBA32(reinterpret_cast<std::uint8_t*>(out.data()), w * 4);
        return out;
    }
    // The layer as legend characters ('?' for a pixel no legend entry names,
    // '0' for any pixel with alpha 0 that is not transparent black).
    std::vector<std::string> view() {
        const std::vector<Rgba> px = pixels();
        std::vector<std::string> out(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), '?'));
        for (std::int32_t i = 0; i < w * h; ++i) {
            char& c = out[i / w][i % w];
            for (const auto& [name, v] : kLegend)
                if (px[i] == v) c = name;
            if (c == '?' && px[i].a == 0) c = '0';
        }
        return out;
    }
    void fill(std::int32_t x, std::int32_t y, std::int32_t tolerance, const char* mode) {
        const Rgba f = kLegend.at('F');
        PLR_IPLFloodFill(f.r, f.g, f.b, x, y, tolerance, mode);
    }
    std::vector<std::uint16_t> mask() {
        std::vector<std::uint16_t> m(static_cast<std::size_t>(w * h));
        PLR_GetMaskData16(m.data());
        return m;
    }
};

using Rows = std::vector<std::string>;
const Rows kPicture = {"wwkww", "wwkgw", "kkkww", "wgkww"};

TEST_F(FillPage, PaintModesFillTheRegionOrEveryMatchingPixel) {
    make(kPicture);
    fill(4, 0, 0, "Paint Connected");
    EXPECT_EQ(view(), (Rows{"wwkFF", "wwkgF", "kkkFF", "wgkFF"}));
    fill(0, 0, kNear, "Paint Connected");
    EXPECT_EQ(view(), (Rows{"FFkFF", "FFkgF", "kkkFF", "wgkFF"})) << "g is within reach but not connected";
    make(kPicture);
    fill(0, 0, kNear, "Paint Non-connected");
    EXPECT_EQ(view(), (Rows{"FFkFF", "FFkFF", "kkkFF", "FFkFF"}));
    make(kPicture);
    fill(3, 1, 0, "Paint Non-connected");
    EXPECT_EQ(view(), (Rows{"wwkww", "wwkFw", "kkkww", "wFkww"}));
}

TEST_F(FillPage, EraseModesClearAlphaAboveTheBackgroundAndPaintOnIt) {
    make(kPicture);
    fill(4, 0, kNear, "Erase Connected");
    EXPECT_EQ(view(), (Rows{"wwk00", "wwk00", "kkk00", "wgk00"}));
    make(kPicture);
    fill(0, 0, kNear, "Erase Non-connected");
    EXPECT_EQ(view(), (Rows{"00k00", "00k00", "kkk00", "00k00"}));
    make(kPicture, 1);
    fill(4, 0, kNear, "Erase Connected");
    EXPECT_EQ(view(), (Rows{"wwkFF", "wwkFF", "kkkFF", "wgkFF"}));
    make(kPicture, 1);
    fill(0, 0, 0, "Erase Non-connected");
    EXPECT_EQ(view(), (Rows{"FFkFF", "FFkgF", "kkkFF", "FgkFF"}));
}

TEST_F(FillPage, AlphaModesFindTheRegionInTheAlpha) {
    const Rows picture = {"tthkw", "tkhtt", "kttkt"};
    make(picture);
    fill(0, 0, 0, "Paint Alpha Connected");
    EXPECT_EQ(view(), (Rows{"FFhkw", "Fkhtt", "kttkt"})) << "four-connected transparent pixels only";
    make(picture);
    fill(2, 0, 0, "Paint Alpha Non-Connected");
    EXPECT_EQ(view(), (Rows{"ttFkw", "tkFtt", "kttkt"}));
    make(picture);
    // pct = 25000 / 500 = 50, t = 128: alpha 0 and 255 are 128 away from 128.
    fill(2, 0, 25000, "Paint Alpha Non-Connected");
    EXPECT_EQ(view(), (Rows{"FFFFF", "FFFFF", "FFFFF"}));
    make(picture, 1);
    fill(0, 0, 0, "Paint Alpha Connected");
    EXPECT_EQ(view(), picture) << "does nothing on the background";
}

TEST_F(FillPage, SeedsOutsideAndUnknownModesChangeNothing) {
    make(kPicture);
    PLR_IPLAllocSrcBuffer32();
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 4}, {-1, 5}}) {
        fill(x, y, kNear, "Paint Connected");
        PLR_IPLMaskWand(x, y, kNear, 100, "Connected");
    }
    EXPECT_EQ(view(), kPicture);
    EXPECT_EQ(mask(), std::vector<std::uint16_t>(20, 0xFFFF));
    EXPECT_FALSE(page().processing.src32.empty()) << "nothing was started";
    for (const char* mode : std::initializer_list<const char*>{"paint connected", "Paint connected",
                                                              "Paint Alpha Non-connected", "", nullptr}) {
        fill(0, 0, kNear, mode);
        PLR_IPLMaskWand(0, 0, kNear, 100, mode);
    }
    EXPECT_EQ(view(), kPicture);
    EXPECT_EQ(mask(), std::vector<std::uint16_t>(20, 0xFFFF));
    EXPECT_TRUE(page().processing.src32.empty()) << "the source buffer is released";
}

TEST_F(FillPage, TheMaskLimitsAFillAndTheAlphaLockKeepsAlpha) {
    make({"wwww", "wwww"});
    std::vector<std::uint16_t> m = {0, 0x8000, 0xFFFF, 0xFFFF, 0, 0x8000, 0xFFFF, 0xFFFF};
    PLR_SetMaskData16(m.data());
    fill(3, 0, 0, "Paint Connected");
    const std::vector<Rgba> px = pixels();
    EXPECT_EQ(px[0], kLegend.at('w')) << "masked";
    EXPECT_EQ(px[4], kLegend.at('w'));
    EXPECT_NE(px[1], kLegend.at('w')) << "half masked: between";
    EXPECT_NE(px[1], kLegend.at('F'));
    EXPECT_EQ(px[2], kLegend.at('F'));
    PLR_EnableMask(0);
    fill(0, 0, 0, "Paint Connected");
    EXPECT_EQ(pixels()[0], kLegend.at('F')) << "a disabled mask limits nothing";

    make({"hhh", "hkh"});
    PLR_SetLayerOptions(2, 1, 1, 100, "Normal");
    fill(0, 0, 0, "Paint Connected");
    EXPECT_EQ(pixels()[0], (Rgba{200, 10, 20, 128}));
    fill(1, 1, 0, "Erase Connected");
    EXPECT_EQ(pixels()[4], kLegend.at('k'));
}

// The wand's range and alpha modes are the builders with the seed's colour,
// pct = tolerance / 500, tolFrac = tolerance * 0.00002 and s8 = trunc(strength
// * 2.559); its region modes add the colour-match region.
TEST_F(FillPage, WandModesAddToTheMaskAsTheirBuilders) {
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    w = 9, h = 7;
    PLR_CreateImage(nullptr, w, h, 4, 0);
    PLR_CreateLayer(2, w, h);
    PLR_SetLayer(2);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w * h * 4));
    std::vector<std::uint16_t> start(static_cast<std::size_t>(w * h));
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(w * h * 3)), map(static_cast<std::size_t>(w * h));
    for (int round = 0; round < 120; ++round) {
        for (auto& b : rgba) b = static_cast<std::uint8_t>(pick(0, 3) * 60 + pick(0, 4));
        for (std::size_t i = 0; i < start.size(); ++i) start[i] = static_cast<std::uint16_t>(0x0123 + 3 * i);
        PLR_LoadRGBA32(rgba.data(), w * 4, 0);
        PLR_GetRGBA32(rgba.data(), w * 4);  // as the layer holds it (alpha 0 loads as transparent black)
        const int x = pick(0, w - 1), y = pick(0, h - 1), tolerance = pick(0, 30) * pick(0, 1666);
        const int strength = pick(0, 100);
        const std::uint8_t* s = &rgba[static_cast<std::size_t>(y * w + x) * 4];
        const int pct = tolerance / 500, s8 = static_cast<int>(strength * 2.559);
        const double frac = tolerance * 0.00002;
        const std::int32_t tolSq = fillSquaredTolerance(tolerance);
        const std::map<std::string, std::function<void()>> builders = {
            {"Color Range", [&] { PLR_CreateMaskFromRGBAImageColorRange(rgba.data(), s[0], s[1], s[2], pct, s8); }},
            {"Luminance Range", [&] { PLR_CreateMaskFromRGBAImageLuminanceRange(rgba.data(), s[0], s[1], s[2], pct, s8); }},
            {"Hue Range", [&] { PLR_CreateMaskFromRGBAImageHueRange(rgba.data(), s[0], s[1], s[2], pct, s8); }},
            {"HSL Range",
             [&] { PLR_CreateMaskFromRGBAImageHSLRange(rgba.data(), s[0], s[1], s[2], frac, frac, frac, s8); }},
            {"Alpha Non-connected", [&] { PLR_CreateMaskFromRGBAImageAlphaRange(rgba.data(), s[3], pct, s8); }},
            {"Connected",
             [&] {
                 reference::colorMatchMask(rgba.data(), w, h, 4, w * 4, map.data(), w, x, y, 1, tolSq);
                 PLR_CreateMaskFromFloodMask(map.data(), s8);
             }},
            {"Non-connected",
             [&] {
                 reference::colorMatchMask(rgba.data(), w, h, 4, w * 4, map.data(), w, x, y, 0, tolSq);
                 PLR_CreateMaskFromFloodMask(map.data(), s8);
             }},
            {"Alpha Connected",
             [&] {
                 for (int i = 0; i < w * h; ++i) grey[3 * i] = grey[3 * i + 1] = grey[3 * i + 2] = rgba[4 * i + 3];
                 reference::colorMatchMask(grey.data(), w, h, 3, w * 3, map.data(), w, x, y, 1, tolSq);
                 PLR_CreateMaskFromFloodMask(map.data(), s8);
             }},
        };
        for (const auto& [mode, build] : builders) {
            PLR_SetMaskData16(start.data());
            build();
            const std::vector<std::uint16_t> expected = mask();
            PLR_SetMaskData16(start.data());
            PLR_IPLMaskWand(x, y, tolerance, strength, mode.c_str());
            ASSERT_EQ(mask(), expected) << mode << " round " << round;
        }
        std::vector<std::uint8_t> after(rgba.size());
        PLR_GetRGBA32(after.data(), w * 4);
        ASSERT_EQ(after, rgba) << "the wand leaves the layer alone";
    }
}

TEST_F(FillPage, WandWorkedValues) {
    make(kPicture);
    PLR_IPLMaskWand(0, 0, 0, 100, "Color Range");
    std::vector<std::uint16_t> m = mask();
    EXPECT_EQ(m[0], 0);
    EXPECT_EQ(m[7], 0xFFFF) << "g is not an exact match";
    EXPECT_EQ(m[15], 0) << "w not connected to the seed";
    PLR_IPLMaskWand(0, 0, 50000, 50, "Color Range");
    m = mask();
    EXPECT_EQ(m[2], 0x8000) << "strength 50: s8 127, (255 - 127) * 256";
    EXPECT_EQ(m[0], 0x8000);
    make(kPicture, 1);
    PLR_IPLMaskWand(0, 0, 0, 100, "Alpha Connected");
    EXPECT_EQ(mask(), std::vector<std::uint16_t>(20, 0xFFFF)) << "does nothing on the background";
}

TEST_F(FillPage, MaskShapesQuantiseTheWholeMask) {
    make(Rows(12, std::string(12, 'w')));
    PLR_IPLMaskEllipse(5, 5, 5, 5, 100);  // radii held at 2, centre (7, 7)
    std::vector<std::uint16_t> m = mask();
    auto at = [&](int x, int y) { return m[static_cast<std::size_t>(y * w + x)]; };
    EXPECT_EQ(at(7, 7), 0);
    EXPECT_EQ(at(9, 7), 0);
    EXPECT_EQ(at(7, 5), 0);
    EXPECT_EQ(at(9, 8), 0xFFFF);
    EXPECT_EQ(at(4, 7), 0xFFFF);

    std::vector<std::uint16_t> start(144, 0x80FF);
    PLR_SetMaskData16(start.data());
    PLR_IPLMaskRectangle(6, 4, 2, 1, 0);
    m = mask();
    EXPECT_EQ(at(2, 1), 0xFFFF);
    EXPECT_EQ(at(6, 4), 0xFFFF);
    EXPECT_EQ(at(7, 4), 0x8000);
    EXPECT_EQ(at(6, 5), 0x8000);
    EXPECT_EQ(at(1, 1), 0x8000);
    PLR_IPLMaskRectangle(0, 0, 0, 0, 50);
    EXPECT_EQ(mask()[0], 0xFF00 - 127 * 256);
    // Corners far outside the page still draw the visible part.
    PLR_IPLMaskRectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 100);
    EXPECT_EQ(mask(), std::vector<std::uint16_t>(144, 0));
    PLR_IPLMaskEllipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0);
    EXPECT_EQ(mask(), std::vector<std::uint16_t>(144, 0xFFFF));
}

TEST_F(FillPage, FailedAllocationsLeaveTheLayerAndReportTheOperation) {
    const int allocations = forEachAllocationFailure(
        [&] {
            resetEngine();
            make(kPicture);
            PLR_SetLastError("");
        },
        [&] { fill(4, 0, kNear, "Erase Connected"); },
        [&](int n) {
            EXPECT_EQ(view(), kPicture) << "allocation " << n;
            EXPECT_STREQ(PLR_GetLastError(), "IPLFloodFill Excpt");
            EXPECT_TRUE(page().processing.src32.empty());
        });
    EXPECT_GE(allocations, 2);
    const std::uint16_t open = 0xFFFF;
    forEachAllocationFailure([&] { resetEngine(); make(kPicture); PLR_SetLastError(""); },
                             [&] { PLR_IPLMaskWand(0, 0, 0, 100, "Alpha Connected"); },
                             [&](int) {
                                 EXPECT_EQ(mask(), std::vector<std::uint16_t>(20, open));
                                 EXPECT_STREQ(PLR_GetLastError(), "IPLMaskWand Excpt");
                             });
}

TEST_F(FillPage, FloodMapExportPaintsTheMarkedPixels) {
    make(kPicture);
    std::vector<std::uint8_t> rgba(80, 3);
    std::vector<std::uint8_t> map(20, 0);
    map[0] = 1, map[19] = 1, map[5] = 2;
    PLR_ColorRGBA32FromFloodMask(rgba.data(), map.data(), 9, 8, 7, 6);
    EXPECT_EQ(std::vector<std::uint8_t>(rgba.begin(), rgba.begin() + 8), (std::vector<std::uint8_t>{9, 8, 7, 6, 3, 3, 3, 3}));
    EXPECT_EQ(std::vector<std::uint8_t>(rgba.begin() + 76, rgba.end()), (std::vector<std::uint8_t>{9, 8, 7, 6}));
    EXPECT_EQ(rgba[20], 3) << "only the value 1 marks";
}

}  // namespace
}  // namespace plr::test
