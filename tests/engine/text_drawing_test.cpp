// Text on the current layer: nothing for empty text, the documented font
// fallback, repeatable pixels, smooth and aliased alike but at the edges,
// the ink box of a DejaVu line against the font's own metrics, the font
// choice without a dialog.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "adapters/imaging/drawing_text.h"
#include "engine/text_drawing.h"
#include "engine_fixture.h"
#include "platform/fonts.h"

namespace plr::test {
namespace {

constexpr int kW = 420, kH = 120;

class TextDrawing : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
        PLR_CreateLayer(2, kW, kH);
        PLR_SetLayer(2);
        PLR_IPLAllocSrcBuffer32();
        setFont("DejaVu Sans", -64);
    }
    static void setFont(const char* face, int height, int weight = 400) {
        platform::LogFontA f;
        std::strncpy(f.faceName, face, sizeof f.faceName - 1);
        f.height = height;
        f.weight = weight;
        engine().font = f;
    }
    static std::vector<std::uint16_t> layer() {
        const LayerRecord& l = page().layers[2];
        return {l.pixels.data(), l.pixels.data() + std::size_t{kW} * kH * 4};
    }
    static std::vector<std::uint16_t> drawn(const char* text, bool smooth, int x = 20, int y = 10) {
        PLR_Clear(0, 0, 0, 0);
        PLR_IPLText(250, 120, 10, x, y, 0, 0, 0, 0, text, smooth ? 1 : 0x100);  // only the low byte counts
        return layer();
    }
    struct Box {
        int left = kW, top = kH, right = -1, bottom = -1;
    };
    static Box inked(const std::vector<std::uint16_t>& l) {
        Box b;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (l[(std::size_t(y) * kW + x) * 4 + 3] >> 8)
                    b.left = std::min(b.left, x), b.right = std::max(b.right, x), b.top = std::min(b.top, y),
                    b.bottom = std::max(b.bottom, y);
        return b;
    }
};

TEST_F(TextDrawing, EmptyTextOrNoSourceBufferChangesNothing) {
    std::vector<std::uint16_t> noise(std::size_t{kW} * kH * 4);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
    PLR_SetRGBA64Layer(noise.data(), kW * 8, 2);
    for (const char* text : {"", "   "}) {
        PLR_IPLText(1, 2, 3, 10, 10, 0, 0, 0, 0, text, 1);
        EXPECT_EQ(layer(), noise) << '"' << text << '"';
    }
    PLR_IPLText(1, 2, 3, 10, 10, 0, 0, 0, 0, nullptr, 1);
    PLR_IPLText(1, 2, 3, kW, 10, 0, 0, 0, 0, "off the page", 1);
    EXPECT_EQ(layer(), noise);
    PLR_IPLFreeSrcBuffer32();
    PLR_IPLText(1, 2, 3, 10, 10, 0, 0, 0, 0, "Hello", 1);
    EXPECT_EQ(layer(), noise);
    // Drawn text changes only the pixels under its glyphs: the rest keeps its low bytes.
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLText(1, 2, 3, 10, 10, 0, 0, 0, 0, "Hello", 1);
    const std::vector<std::uint16_t> after = layer();
    EXPECT_NE(after, noise);
    for (int y = 90; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 4; ++c) ASSERT_EQ(after[(y * kW + x) * 4 + c], noise[(y * kW + x) * 4 + c]);
}

TEST_F(TextDrawing, TheSameTextGivesTheSamePixels) {
    const std::vector<std::uint16_t> first = drawn("Quenvale paints: fj\xC3\xA9!", true);
    EXPECT_EQ(drawn("Quenvale paints: fj\xC3\xA9!", true), first);
    imaging_lib::unloadFonts(engine().text);  // a cold cache renders the same
    EXPECT_EQ(drawn("Quenvale paints: fj\xC3\xA9!", true), first);
    // Not UTF-8: the system code page, here Windows-1252, gives the same letters.
    EXPECT_EQ(drawn("Quenvale paints: fj\xE9!", true), first);
    std::u32string decoded;
    imaging_lib::decodeText("\x80\xC3\xA9", decoded);  // invalid as UTF-8 as a whole
    EXPECT_EQ(decoded, (std::u32string{0x20AC, 0xC3, 0xA9}));
}

TEST_F(TextDrawing, SmoothAndAliasedDifferOnlyAtEdges) {
    const std::vector<std::uint16_t> smooth = drawn("Wave 42", true), aliased = drawn("Wave 42", false);
    int edges = 0, solid = 0;
    for (std::size_t i = 0; i < smooth.size(); i += 4) {
        const int s = smooth[i + 3] >> 8, a = aliased[i + 3] >> 8;
        EXPECT_TRUE(a == 0 || a == 255);
        if (s == 0) {
            EXPECT_EQ(a, 0) << i / 4;
        } else if (s == 255) {
            ++solid;
            EXPECT_EQ(0, std::memcmp(&smooth[i], &aliased[i], 8)) << i / 4;
        } else {
            ++edges;
        }
    }
    EXPECT_GT(solid, 500);
    EXPECT_GT(edges, 100);
}

TEST_F(TextDrawing, ADejaVuLineInksTheBoxItsMetricsGive) {
    platform::FontFile file;
    ASSERT_TRUE(platform::findFontFile({"DejaVu Sans", 400, false}, file));
    ASSERT_TRUE(file.exactFamily);
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, file.path.c_str(), file.faceIndex, &face), 0);
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 64), 0);
    const int baseline = 10 + static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    ASSERT_EQ(FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE), 0);
    const double scale = 64.0 / face->units_per_EM;
    const FT_Glyph_Metrics m = face->glyph->metrics;
    const double capHeight = m.horiBearingY * scale, lsb = m.horiBearingX * scale;
    const double lastRight = 3 * m.horiAdvance * scale + (m.horiBearingX + m.width) * scale;
    // A cell of 75 pixels spans the face's ascender to its descender.
    const double capIn75Cell = m.horiBearingY * 75.0 / (face->ascender - face->descender);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    const Box box = inked(drawn("HHHH", true, 20, 10));
    EXPECT_EQ(box.bottom, baseline - 1);  // H sits on the baseline
    EXPECT_NEAR(box.top, baseline - capHeight, 1.0);
    EXPECT_NEAR(box.left, 20 + lsb, 1.0);
    EXPECT_NEAR(box.right + 1, 20 + lastRight, 3.0);
    // A cell height (positive record height) spans ascender to descender.
    setFont("DejaVu Sans", 75);
    const Box cell = inked(drawn("H", true, 20, 10));
    EXPECT_NEAR(cell.bottom - cell.top + 1, capIn75Cell, 1.5);
}

TEST_F(TextDrawing, AMissingFamilyFallsBackToTheDefaultFace) {
    platform::FontFile missing, fallback;
    ASSERT_TRUE(platform::findFontFile({"No Such Family Qzx", 400, false}, missing));
    EXPECT_FALSE(missing.exactFamily);
    ASSERT_TRUE(platform::findFontFile({"", 400, false}, fallback));
    EXPECT_TRUE(fallback.exactFamily);
    EXPECT_EQ(missing.path, fallback.path);
    setFont("No Such Family Qzx", -40);
    const std::vector<std::uint16_t> viaMissing = drawn("Fallback", true);
    EXPECT_EQ(imaging_lib::lastTextFont(engine().text).path, fallback.path);
    setFont("", -40);
    EXPECT_EQ(drawn("Fallback", true), viaMissing);
    EXPECT_NE(inked(viaMissing).right, -1);
    // A zeroed record (the engine's at load) draws in the default face at 16 pixels.
    engine().font = platform::LogFontA{};
    const Box small = inked(drawn("Fallback", true));
    EXPECT_GT(small.right, small.left);
    EXPECT_LT(small.bottom - small.top, 20);
}

#ifndef _WIN32
// The portable back end has no dialog; on Windows the call opens one.
TEST_F(TextDrawing, ChoosingAFontWithoutADialogReadsTheEnvironment) {
    ::unsetenv("PALORAN_FONT");
    const platform::LogFontA before = engine().font;
    EXPECT_EQ(PLR_ChooseFont(), 0);
    EXPECT_EQ(std::memcmp(&engine().font, &before, sizeof before), 0);
    ::setenv("PALORAN_FONT", "DejaVu Serif,-40,700,1", 1);
    EXPECT_EQ(PLR_ChooseFont(), 1);
    EXPECT_STREQ(engine().font.faceName, "DejaVu Serif");
    EXPECT_EQ(engine().font.height, -40);
    EXPECT_EQ(engine().font.weight, 700);
    EXPECT_EQ(engine().font.italic, 1);
    ::setenv("PALORAN_FONT", "DejaVu Serif,tall", 1);
    PLR_SetLastError("");
    EXPECT_EQ(PLR_ChooseFont(), 0);
    EXPECT_STREQ(PLR_GetLastError(), "Font Err: CDERR_DIALOGFAILURE");
    EXPECT_EQ(engine().font.faceName[0], '\0');  // cleared before the second attempt
    ::unsetenv("PALORAN_FONT");
    EXPECT_STREQ(fontErrorText(2), "Font Err: CDERR_INITIALIZATION");
    EXPECT_STREQ(fontErrorText(0x2002), "Font Err: CFERR_MAXLESSTHANMIN");
    EXPECT_STREQ(fontErrorText(3), "Font Err: Other Error");
}
#endif

}  // namespace
}  // namespace plr::test
