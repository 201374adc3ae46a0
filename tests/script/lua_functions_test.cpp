// Every function and global a Lua filter sees, called from scripts and held
// to values worked out by hand.
#include <cmath>

#include "imaging/colour_spaces.h"
#include "lua_test_support.h"

namespace plr::test {
namespace {

using LuaFunctions = LuaFilterTest;

// A 5 x 3 page (odd sizes) with a few known pixels:
//   (0,0) = (255, 128, 0, 200)  (1,0) = grey 100  (4,2) = (10, 20, 30, 40)
std::vector<std::uint8_t> knownPixels() {
    std::vector<std::uint8_t> p(5 * 3 * 4, 0);
    auto put = [&](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
        std::uint8_t* d = &p[static_cast<std::size_t>(y * 5 + x) * 4];
        d[0] = r, d[1] = g, d[2] = b, d[3] = a;
    };
    put(0, 0, 255, 128, 0, 200);
    put(1, 0, 100, 100, 100, 255);
    put(4, 2, 10, 20, 30, 40);
    return p;
}

TEST_F(LuaFunctions, GlobalsOfAnOddSizedPage) {
    makePage(5, 3);
    LuaFilterSettings s;
    s.sliders[0] = 1000;
    s.sliders[1] = 250;
    s.sliders[5] = -7;
    s.styles[0] = 0;
    s.styles[1] = 4;
    s.flags[0] = 1;
    s.flags[1] = 0x100;  // only the low byte counts
    s.flags[5] = 0xFF;
    const auto out = run(
        "out(width, height, bound_x0, bound_y0, bound_x1, bound_y1)\n"
        "out(sliderVal1, sliderVal2, sliderVal3, sliderVal6, styleVal1, styleVal2)\n"
        "out(flagVal1 == true and 1 or 0, flagVal2 == false and 1 or 0, flagVal3 == false and 1 or 0, flagVal6 == true and 1 or 0)\n"
        "out(MERGE_NORMAL, MERGE_EXCLUSIO, MERGE_HARD_LIGHT, MERGE_TEXTURIZE3, MERGE_EXCLUSION == nil and 1 or 0)\n",
        s);
    ASSERT_EQ(out.size(), 4u) << (caughtMessages().empty() ? "" : caughtMessages().back().text);
    EXPECT_EQ(out[0], "5 3 0 0 4 2");
    EXPECT_EQ(out[1], numbers({1.0, 250 * 0.001, 0, -7 * 0.001, 1, 5}));
    EXPECT_EQ(out[2], "1 1 1 1");
    EXPECT_EQ(out[3], "0 7 9 19 1");
}

TEST_F(LuaFunctions, ReadingPixelsTruncatesCoordinatesAndReadsZeroOutsideThePage) {
    makePage(5, 3, knownPixels());
    const auto out = run(
        "out(get_rgba(0, 0))\n"
        "out(get_rgb(0.9, 0.99))\n"        // truncation: column 0, row 0
        "out(get_rgb(-0.5, 0))\n"          // trunc(-0.5) = 0: still on the page
        "out(get_rgb(-1, 0))\n"            // outside
        "out(get_rgba(5, 0))\n"
        "out(get_rgba(0, 3))\n"
        "out(get_alpha(4, 2), get_alpha('4', '2.7'))\n"  // strings as numbers
        "out(get_value(1, 0), get_value(0, 0))\n"
        "out(get_rgb())\n"                 // missing arguments read as 0
        "out(get_rgb({}, true))\n"         // so does anything else
        "out(get_value(4, -1))\n");
    ASSERT_EQ(out.size(), 11u);
    EXPECT_EQ(out[0], numbers({1.0, 128 / 255.0, 0, 200 / 255.0}));
    EXPECT_EQ(out[1], numbers({1.0, 128 / 255.0, 0}));
    EXPECT_EQ(out[2], out[1]);
    EXPECT_EQ(out[3], "0 0 0");
    EXPECT_EQ(out[4], "0 0 0 0");
    EXPECT_EQ(out[5], "0 0 0 0");
    EXPECT_EQ(out[6], numbers({40 / 255.0, 40 / 255.0}));
    EXPECT_EQ(out[7], numbers({(100 / 255.0 + 100 / 255.0 + 100 / 255.0) / 3, (1.0 + 128 / 255.0 + 0.0) / 3}));
    EXPECT_EQ(out[8], out[1]);
    EXPECT_EQ(out[9], out[1]);
    EXPECT_EQ(out[10], "0");
}

TEST_F(LuaFunctions, WritingPixelsConvertsChannelsToBytesAndIgnoresOutsideCoordinates) {
    makePage(5, 3, knownPixels());
    auto expected = knownPixels();
    auto at = [&](int x, int y) { return &expected[static_cast<std::size_t>(y * 5 + x) * 4]; };
    run("set_value(1, 0, 1.5)\n"          // 255, alpha kept
        "set_value(2, 0, -0.2)\n"         // 0
        "set_rgb(3, 0, 0.5, '0.25', 1)\n" // 127, 63, 255
        "set_alpha(3, 0, 0.999)\n"        // 254
        "set_rgba(0, 1, 1, 0, 1)\n"       // missing alpha reads 0
        "set_rgba(4.9, 2.9, 0.1, 0.2, 0.3, 0.4)\n"
        "set_rgb(-1, 0, 1, 1, 1)\n"       // outside: nothing
        "set_rgb(5, 0, 1, 1, 1)\n"
        "set_value(0, 3, 1)\n"
        "set_alpha(0, -1, 1)\n");
    EXPECT_TRUE(caughtMessages().empty());
    at(1, 0)[0] = at(1, 0)[1] = at(1, 0)[2] = 255;
    at(2, 0)[0] = at(2, 0)[1] = at(2, 0)[2] = 0;
    at(3, 0)[0] = 127, at(3, 0)[1] = 63, at(3, 0)[2] = 255, at(3, 0)[3] = 254;
    at(0, 1)[0] = 255, at(0, 1)[1] = 0, at(0, 1)[2] = 255, at(0, 1)[3] = 0;
    at(4, 2)[0] = 25, at(4, 2)[1] = 51, at(4, 2)[2] = 76, at(4, 2)[3] = 102;
    EXPECT_EQ(layer(), expected);
}

TEST_F(LuaFunctions, ColourConversionsReadAndWriteByTheColourSpaceRules) {
    makePage(5, 3, knownPixels());
    const auto out = run(
        "out(get_hsv(1, 0))\n"   // grey: h = -1, s = 0
        "out(get_hsv(0, 0))\n"   // (255, 128, 0)
        "out(get_hsl(1, 0))\n"
        "out(get_cmyk(0, 0))\n"
        "out(get_lab(-1, 0))\n"  // black outside the page
        "out(get_lab(0, 0))\n"
        "set_hsv(0, 1, 400, 2, 1)\n"     // h held to 359, s to 1
        "set_hsv(1, 1, -30, 0.5, 0.5)\n" // h held to 0
        "set_hsl(2, 1, 120, 1, 0.25)\n"
        "set_lab(3, 1, 50, 20, -30)\n"
        "set_cmyk(4, 1, 0, 0.5, 1, 0)\n"
        "set_cmyk(0, 2, -1, 2, 0.5, 0)\n");  // inks held to 0..1
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], numbers({-1, 0, 100 / 255.0}));
    // max 255, min 0: s = 1, v = 1, h = 60 * (g - b) / (max - min) = 60 * 128 / 255
    EXPECT_EQ(out[1], numbers({60 * ((128 / 255.0 - 0.0) / 1.0), 1, 1}));
    EXPECT_EQ(out[2], numbers({0, 0, 100 / 255.0}));
    // C = 0, M = 1 - 128/255, Y = 1, K = min = 0
    EXPECT_EQ(out[3], numbers({0, 1 - 128 / 255.0, 1, 0}));
    EXPECT_EQ(out[4], "0 0 0");
    const Lab lab = RgbToLab(255, 128, 0);
    EXPECT_EQ(out[5], numbers({lab.l, lab.a, lab.b}));

    auto rgb = [&](int x, int y) {
        const auto l = layer();
        const std::uint8_t* p = &l[static_cast<std::size_t>(y * 5 + x) * 4];
        return Rgb8{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(0, 1), HsvToRgb(359, 1, 1));
    EXPECT_EQ(rgb(0, 1), (Rgb8{255, 0, 4}));  // hand: h 359 -> sector 5, f = 59/60, q = 1 - 59/60
    EXPECT_EQ(rgb(1, 1), (Rgb8{127, 63, 63}));
    EXPECT_EQ(rgb(2, 1), (Rgb8{0, 127, 0}));
    EXPECT_EQ(rgb(3, 1), LabToRgb(50, 20, -30));
    EXPECT_EQ(rgb(4, 1), CmykToRgb(0, 0.5, 1, 0));
    EXPECT_EQ(rgb(4, 1), (Rgb8{255, 127, 0}));  // 0.5 * 255 = 127.5
    EXPECT_EQ(rgb(0, 2), CmykToRgb(0, 1, 0.5, 0));
}

TEST_F(LuaFunctions, SingleBufferSwitchChoosesTheBufferReadingFunctionsSee) {
    makePage(5, 3, knownPixels());
    const auto out = run(
        "set_rgb(0, 0, 0, 0, 1)\n"
        "out(get_rgb(0, 0))\n"     // still the old colour
        "single_buffer(1)\n"
        "out(get_rgb(0, 0))\n"     // the new one
        "single_buffer(nil)\n"
        "out(get_rgb(0, 0))\n"
        "single_buffer(false)\n"
        "out(get_rgb(0, 0))\n"
        "single_buffer(true)\n");
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], numbers({1.0, 128 / 255.0, 0}));
    EXPECT_EQ(out[1], "0 0 1");
    EXPECT_EQ(out[2], out[0]);
    EXPECT_EQ(out[3], out[0]);
    // Ending with the switch on hands the destination over to the source.
    EXPECT_EQ(srcBuffer(), layer());
    EXPECT_EQ(srcBuffer()[2], 255);

    // The next run starts with the switch off again.
    caughtMessages().clear();
    const auto again = run("set_rgb(0, 0, 1, 1, 1)\nout(get_rgb(0, 0))\n");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0], "0 0 1");
}

TEST_F(LuaFunctions, MaskIsReadAndWrittenWhetherOrNotEnabledAndLimitsTheFinalWrite) {
    makePage(5, 3, knownPixels());
    const auto out = run(
        "out(get_mask(0, 0), get_mask(-1, 0), get_mask(0, 3))\n"
        "set_mask(1, 0, 0.5)\n"
        "set_mask(2, 0, 2)\n"    // held to 1
        "set_mask(3, 0, -1)\n"   // held to 0
        "set_mask(9, 9, 0)\n"
        "out(get_mask(1, 0), get_mask(3, 0))\n");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "1 0 0");
    EXPECT_EQ(out[1], numbers({32767 / 65535.0, 0}));
    const std::uint16_t* m = page().mask.plane.data();
    EXPECT_EQ(m[1], 32767);
    EXPECT_EQ(m[2], 65535);
    EXPECT_EQ(m[3], 0);

    // With the mask on, a closed pixel keeps its colour through the final write.
    PLR_EnableMask(1);
    const auto before = layer();
    run("for x = 0, 4 do set_rgba(x, 0, 0, 0, 1, 1) end\n");
    const auto after = layer();
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 12, after.begin() + 16),
              std::vector<std::uint8_t>(before.begin() + 12, before.begin() + 16));
    EXPECT_EQ(after[2], 255);  // (0,0) open: written
}

TEST_F(LuaFunctions, BrushAndBankColoursReadAsHighBytes) {
    makePage(5, 3);
    PLR_SetColor16(0x8012, 0xFFFF, 0x01FF);
    PLR_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 255, 0, 128);
    const auto out = run("out(get_color())\nout(get_color1())\nout(get_color4())\nout(get_color2())\nout(get_color3())\n");
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0], numbers({128 / 255.0, 1, 1 / 255.0}));
    EXPECT_EQ(out[1], numbers({1 / 255.0, 2 / 255.0, 3 / 255.0}));
    EXPECT_EQ(out[2], numbers({1, 0, 128 / 255.0}));
    EXPECT_EQ(out[3], numbers({4 / 255.0, 5 / 255.0, 6 / 255.0}));
    EXPECT_EQ(out[4], numbers({7 / 255.0, 8 / 255.0, 9 / 255.0}));
}

TEST_F(LuaFunctions, BitFunctionsWorkOn32BitIntegers) {
    makePage(5, 3);
    const auto out = run(
        "out(bit_shfr(-8, 1), bit_shfl(1, 33), bit_not(0), bit_shfl(1, 31), bit_shfr(-1, 40))\n"
        "out(bit_and(4294967295, 3855), bit_or(2147483648, 0), bit_xor(-1, 1), bit_and('12', 10.9))\n"
        "out(bit_not(4294967295), bit_or(-2.9, 0), bit_shfl(3, -1), bit_not())\n");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], "-4 2 -1 -2147483648 -1");
    EXPECT_EQ(out[1], "3855 -2147483648 -2 8");
    EXPECT_EQ(out[2], "0 -2 -2147483648 -1");
}

TEST_F(LuaFunctions, UtilitiesShowMessagesAndDoNothingElse) {
    makePage(5, 3);
    const auto before = layer();
    run("progress(50)\nprogress()\nmessage_box('hello', 'Caption')\nmessage_box(12)\n"
        "output_debug_string('')\nassert(is_escape() == 0)\n");
    ASSERT_EQ(caughtMessages().size(), 2u);
    EXPECT_EQ(caughtMessages()[0].text, "hello");
    EXPECT_EQ(caughtMessages()[0].caption, "Caption");
    EXPECT_EQ(caughtMessages()[1].text, "12");
    EXPECT_EQ(caughtMessages()[1].caption, "");
    EXPECT_EQ(layer(), before);
}

}  // namespace
}  // namespace plr::test
