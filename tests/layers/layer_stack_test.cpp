// The layer stack through its exports: options, top index, swap, copy,
// extents, the mask-layer lookup, the merges and the flattening rules.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/alloc.h"
#include "engine_fixture.h"
#include "layers/layer_options.h"
#include "layers/merge_rgba32.h"

namespace plr::test {
namespace {

using Px = std::array<std::uint16_t, 4>;
constexpr std::int32_t kW = 4, kH = 3;

class LayerStack : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PLR_CreateImage(nullptr, kW, kH, 8, 0);
    }
    static void fill(std::int32_t slot, Px v) {
        std::uint16_t* p = page().layers[slot].pixels.data();
        for (std::int32_t i = 0; i < kW * kH; ++i) std::memcpy(p + 4 * i, v.data(), 8);
    }
    static void set(std::int32_t slot, std::int32_t x, std::int32_t y, Px v) {
        std::memcpy(page().layers[slot].pixels.data() + 4 * (y * kW + x), v.data(), 8);
    }
    static Px at(std::int32_t slot, std::int32_t x, std::int32_t y) {
        Px v;
        std::memcpy(v.data(), page().layers[slot].pixels.data() + 4 * (y * kW + x), 8);
        return v;
    }
    static Px at(const std::vector<std::uint16_t>& buf, std::int32_t rowPixels, std::int32_t x, std::int32_t y) {
        Px v;
        std::memcpy(v.data(), buf.data() + 4 * (y * rowPixels + x), 8);
        return v;
    }
    static void layer(std::int32_t slot, const char* mode, std::int32_t visible = 1, std::int32_t percent = 100) {
        ASSERT_EQ(PLR_CreateLayer(slot, kW, kH), 1);
        PLR_SetLayerOptions(slot, visible, 0, percent, mode);
    }
};

TEST_F(LayerStack, OptionsStoreOpacityNameAndMode) {
    layer(2, "Normal");
    PLR_SetLayerOptions(2, 1, 0, 50, "Multiply");
    const LayerRecord& l = page().layers[2];
    EXPECT_EQ(l.opacity, 128);
    EXPECT_EQ(l.mode, 1);
    EXPECT_STREQ(l.modeName, "Multiply");
    PLR_SetLayerOptions(2, 0x101, 0x201, 100, "Layer Mask");
    EXPECT_EQ(l.visible, 1);  // low bytes
    EXPECT_EQ(l.alphaLock, 1);
    EXPECT_EQ(l.opacity, 256);
    EXPECT_EQ(l.mode, 40);
    PLR_SetLayerOptions(2, 1, 0, 33, "multiply");  // 33 * 2.56 = 84.48; names are case-sensitive
    EXPECT_EQ(l.opacity, 84);
    EXPECT_EQ(l.mode, 0);
    EXPECT_STREQ(l.modeName, "multiply");
    // Percentages outside 0..100 are held there instead of wrapping the 16-bit field.
    PLR_SetLayerOptions(2, 1, 0, -5, "Screen");
    EXPECT_EQ(l.opacity, 0);
    PLR_SetLayerOptions(2, 1, 0, 1000, "Screen");
    EXPECT_EQ(l.opacity, 256);
    // 49 characters are kept; 50 or more leave the name empty; both are still looked up.
    const std::string n49(49, 'x'), n50(50, 'x'), n60(60, 'y');
    PLR_SetLayerOptions(2, 1, 0, 100, n49.c_str());
    EXPECT_EQ(std::string(l.modeName), n49);
    EXPECT_EQ(l.mode, 0);
    PLR_SetLayerOptions(2, 1, 0, 100, "Screen");
    PLR_SetLayerOptions(2, 1, 0, 100, n50.c_str());
    EXPECT_STREQ(l.modeName, "");
    EXPECT_EQ(l.mode, 0);
    PLR_SetLayerOptions(2, 1, 0, 100, n60.c_str());
    EXPECT_STREQ(l.modeName, "");
    PLR_SetLayerOptions(2, 1, 0, 100, nullptr);
    EXPECT_EQ(l.mode, 0);
    PLR_SetLayerOptions(64, 1, 0, 100, "Screen");  // out of range: nothing
    PLR_SetLayerOptions(-1, 1, 0, 100, "Screen");
}

TEST_F(LayerStack, TopLayerIndexIsRecomputedByOptions) {
    ASSERT_EQ(PLR_CreateLayer(0, kW, kH), 1);
    PLR_SetLayerOptions(0, 1, 0, 100, "Normal");
    EXPECT_EQ(page().topLayerIndex, 1);  // slot 0 does not count
    layer(2, "Normal");
    ASSERT_EQ(PLR_CreateLayer(5, kW, kH), 1);
    EXPECT_EQ(page().topLayerIndex, 2);  // creation alone does not recompute
    PLR_SetLayerOptions(2, 1, 0, 100, "Normal");
    EXPECT_EQ(page().topLayerIndex, 5);
    PLR_DeleteLayer(5);
    PLR_SetLayerOptions(2, 1, 0, 100, "Normal");
    EXPECT_EQ(page().topLayerIndex, 2);
    EXPECT_EQ(PLR_GetLayerCount(), 2);  // slot 0 counts here
}

TEST_F(LayerStack, Texturize3LayersFeedThePaperTexture) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    layer(3, "Normal");
    fill(3, {0x3000, 0x3000, 0x3000, 0xFFFF});
    PLR_SetLayerOptions(3, 1, 0, 100, "Texturize3");  // visible, not current: the texture source
    ASSERT_NE(page().textureIfPresent(), nullptr);
    EXPECT_EQ(page().texture[0], 0x9000 / 768);  // (r + g + b) / 768
    PLR_SetLayerOptions(3, 0, 0, 100, "Texturize3");  // hidden: released, not rebuilt
    EXPECT_EQ(page().textureIfPresent(), nullptr);
    PLR_SetLayerOptions(3, 1, 0, 100, "Texturize3");
    PLR_SetLayer(3);  // editing it: released
    EXPECT_EQ(page().textureIfPresent(), nullptr);
    PLR_SetLayerOptions(3, 1, 0, 100, "Texturize3");  // current: not rebuilt
    EXPECT_EQ(page().textureIfPresent(), nullptr);
    PLR_SetLayer(1);  // leaving it: rebuilt from it
    EXPECT_NE(page().textureIfPresent(), nullptr);
    PLR_SetLayerOptions(3, 1, 0, 100, "Normal");
    EXPECT_EQ(page().textureIfPresent(), nullptr);
}

TEST_F(LayerStack, OptionsAreStoredEvenWhenTheTextureCannotBeBuilt) {
    layer(1, "Normal");
    PLR_SetLayer(1);
    layer(3, "Normal");
    const int allocations = forEachAllocationFailure(
        [] { PLR_SetLayerOptions(3, 1, 0, 100, "Normal"); },
        [] { PLR_SetLayerOptions(3, 1, 0, 50, "Texturize3"); },
        [](int) {
            EXPECT_EQ(page().layers[3].mode, 19);
            EXPECT_EQ(page().layers[3].opacity, 128);
            EXPECT_EQ(page().textureIfPresent(), nullptr);
            EXPECT_STREQ(PLR_GetLastError(), "CreateTexture Excpt");
        });
    EXPECT_EQ(allocations, 1);
    EXPECT_NE(page().textureIfPresent(), nullptr);
}

TEST_F(LayerStack, SwapExchangesWholeRecordsAndSlotsStayNamed) {
    layer(2, "Multiply", 1, 50);
    layer(5, "Screen", 0, 100);
    set(2, 0, 0, {1, 2, 3, 4});
    set(5, 0, 0, {5, 6, 7, 8});
    PLR_SetLayer(2);
    const std::uint16_t* pixels2 = page().layers[2].pixels.data();
    PLR_SwapLayers(2, 5);
    EXPECT_EQ(page().layers[5].pixels.data(), pixels2);  // records move, pixels do not
    EXPECT_EQ(at(2, 0, 0), (Px{5, 6, 7, 8}));
    EXPECT_EQ(page().layers[2].mode, 2);
    EXPECT_EQ(page().layers[2].visible, 0);
    EXPECT_EQ(page().layers[5].opacity, 128);
    EXPECT_STREQ(page().layers[5].modeName, "Multiply");
    EXPECT_EQ(page().currentLayer, &page().layers[2]);  // the slot stays current
    PLR_SwapLayers(2, 64);
    PLR_SwapLayers(-1, 2);
    PLR_SwapLayers(2, 2);
    EXPECT_EQ(at(2, 0, 0), (Px{5, 6, 7, 8}));
}

TEST_F(LayerStack, CopyLayerDataNeedsTwoPageSizedSlots) {
    layer(2, "Normal");
    layer(3, "Normal");
    fill(2, {1, 2, 3, 4});
    PLR_CopyLayerData(2, 3);
    EXPECT_EQ(at(3, 3, 2), (Px{1, 2, 3, 4}));
    PLR_CopyLayerData(7, 3);  // empty source
    PLR_CopyLayerData(2, 64);
    EXPECT_EQ(at(3, 0, 0), (Px{1, 2, 3, 4}));
    ASSERT_EQ(PLR_CreateLayer(4, kW + 1, kH), 1);  // another size takes no part
    PLR_CopyLayerData(2, 4);
    EXPECT_EQ(page().layers[4].pixels[0], 0);
}

TEST_F(LayerStack, DataExtents) {
    layer(2, "Normal");
    std::int32_t l = -7, t = -7, r = -7, b = -7;
    PLR_FindDataExtentsLayer(2, &l, &t, &r, &b);
    EXPECT_EQ((std::array<std::int32_t, 4>{l, t, r, b}), (std::array<std::int32_t, 4>{kW, kH, 0, 0}));
    set(2, 2, 1, {0, 0, 0, 1});
    set(2, 3, 0, {0, 0, 0, 0xFFFF});
    set(2, 0, 2, {0xFFFF, 0xFFFF, 0xFFFF, 0});  // colour without alpha does not count
    PLR_FindDataExtentsLayer(2, &l, &t, &r, &b);
    EXPECT_EQ((std::array<std::int32_t, 4>{l, t, r, b}), (std::array<std::int32_t, 4>{2, 0, 3, 1}));
    l = t = r = b = -7;
    PLR_FindDataExtentsLayer(9, &l, &t, &r, &b);  // empty slot: outputs untouched
    PLR_FindDataExtentsLayer(99, &l, &t, &r, &b);
    EXPECT_EQ(l, -7);
    EXPECT_EQ(b, -7);
    PLR_FindDataExtentsLayer(2, nullptr, nullptr, &r, nullptr);
    EXPECT_EQ(r, 3);
}

TEST_F(LayerStack, MaskLayerIsTheFirstVisibleSlotAboveWhenItIsALayerMask) {
    layer(2, "Normal");
    layer(3, "Layer Mask");
    layer(4, "Layer Mask");
    EXPECT_EQ(maskLayerOf(page(), 2), &page().layers[3]);
    EXPECT_EQ(maskLayerOf(page(), 3), &page().layers[4]);
    EXPECT_EQ(maskLayerOf(page(), 4), nullptr);  // at topLayerIndex
    PLR_SetLayerOptions(3, 0, 0, 100, "Layer Mask");  // hidden: passed over
    EXPECT_EQ(maskLayerOf(page(), 2), &page().layers[4]);
    PLR_SetLayerOptions(3, 1, 0, 100, "Normal");  // a visible other layer in between
    EXPECT_EQ(maskLayerOf(page(), 2), nullptr);
    PLR_DeleteLayer(3);  // an empty slot is passed over
    EXPECT_EQ(maskLayerOf(page(), 2), &page().layers[4]);
    EXPECT_EQ(maskLayerOf(page(), -1), nullptr);
    EXPECT_EQ(maskLayerOf(page(), 70), nullptr);
}

class Flatten : public LayerStack {
protected:
    void SetUp() override {
        LayerStack::SetUp();
        layer(1, "Normal");
        fill(1, {0, 0, 0xFF00, 0xFFFF});  // blue background
        layer(2, "Normal");
        fill(2, {0xFF00, 0, 0, 0xFFFF});  // opaque red
    }
    static Px merged(std::int32_t x = 0, std::int32_t y = 0) {
        std::vector<std::uint16_t> out(kW * kH * 4, 0x5555);
        PLR_Merge(out.data());
        return at(out, kW, x, y);
    }
};

TEST_F(Flatten, LayerMaskAboveMasksTheLayerBeneath) {
    EXPECT_EQ(merged(), (Px{0xFF00, 0, 0, 0xFFFF}));  // straight copy
    layer(3, "Layer Mask");
    fill(3, {0x6000, 0x6000, 0x6000, 0xFFFF});
    // a = 0x6000 * 0xFFFF >> 16 = 24575, as = 0.374991: red 0.374991 * 65280 = 24479.4,
    // blue (1 - as) * 65280 = 40800.6, alpha 1. The mask layer itself adds nothing.
    EXPECT_EQ(merged(), (Px{24479, 0, 40800, 0xFFFF}));
    PLR_SetLayerOptions(3, 0, 0, 100, "Layer Mask");
    EXPECT_EQ(merged(), (Px{0xFF00, 0, 0, 0xFFFF}));
}

TEST_F(Flatten, BackgroundOnlyWhenVisibleIsExactlyOne) {
    PLR_SetLayerOptions(2, 0, 0, 100, "Normal");  // hidden slots take no part
    EXPECT_EQ(merged(), (Px{0, 0, 0xFF00, 0xFFFF}));
    PLR_SetLayerOptions(1, 2, 0, 100, "Normal");
    EXPECT_EQ(merged(), (Px{0, 0, 0, 0}));
    // Slot 0 never takes part; a visible Texturize3 layer changes nothing.
    PLR_SetLayerOptions(1, 1, 0, 100, "Normal");
    layer(0, "Normal");
    fill(0, {0xFF00, 0xFF00, 0xFF00, 0xFFFF});
    layer(4, "Texturize3");
    fill(4, {0xFF00, 0xFF00, 0, 0xFFFF});
    EXPECT_EQ(merged(), (Px{0, 0, 0xFF00, 0xFFFF}));
    // The background is copied even at a low opacity and in another mode.
    PLR_SetLayerOptions(1, 1, 0, 10, "Multiply");
    EXPECT_EQ(merged(), (Px{0, 0, 0xFF00, 0xFFFF}));
    // A slot of another size is left out.
    PLR_DeleteLayer(4);
    ASSERT_EQ(PLR_CreateLayer(5, kW, kH + 1), 1);
    PLR_SetLayerOptions(5, 1, 0, 100, "Normal");
    std::fill_n(page().layers[5].pixels.data(), page().layers[5].pixels.size(), 0xFFFF);
    EXPECT_EQ(merged(), (Px{0, 0, 0xFF00, 0xFFFF}));
}

TEST_F(Flatten, RectanglesArePackedAndClippedToThePage) {
    set(2, 0, 0, {0x1000, 0x2000, 0x3000, 0xFFFF});
    // Rectangle (-1, 0, 2, 2): buffer column 0 lies outside the page and stays clear.
    std::vector<std::uint16_t> out(2 * 2 * 4, 0x5555);
    PLR_MergeRect(out.data(), -1, 0, 2, 2);
    EXPECT_EQ(at(out, 2, 0, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(out, 2, 1, 0), (Px{0x1000, 0x2000, 0x3000, 0xFFFF}));
    EXPECT_EQ(at(out, 2, 1, 1), (Px{0xFF00, 0, 0, 0xFFFF}));
    // One layer onto a caller's buffer: its row is the rectangle's width.
    std::vector<std::uint16_t> onto(3 * 1 * 4, 0);
    PLR_MergeLayerIntoRect(2, onto.data(), 2, 2, 3, 1);
    EXPECT_EQ(at(onto, 3, 0, 0), (Px{0xFF00, 0, 0, 0xFFFF}));
    EXPECT_EQ(at(onto, 3, 2, 0), (Px{0, 0, 0, 0}));  // column 5 is outside the page
    PLR_MergeRect(nullptr, 0, 0, 2, 2);
    PLR_MergeRect(out.data(), 0, 0, 0, 2);
    PLR_MergeLayerIntoRect(9, onto.data(), 0, 0, 1, 1);  // empty slot
    std::vector<std::uint16_t> whole(kW * kH * 4, 0);
    PLR_MergeLayerInto(2, whole.data());
    EXPECT_EQ(at(whole, kW, 3, 2), (Px{0xFF00, 0, 0, 0xFFFF}));
}

TEST_F(Flatten, MergeLayerUsesTheSameAlphaModeSwitchAndNoLock) {
    layer(3, "Alpha Normal");
    layer(4, "Alpha Normal");
    fill(3, {1, 2, 3, 0x4000});
    fill(4, {9, 9, 9, 0xFFFF});
    PLR_SetLayerOptions(4, 1, 1, 100, "Alpha Normal");  // the target's lock plays no part
    PLR_MergeLayer(3, 4);  // same alpha mode: the source replaces
    EXPECT_EQ(at(4, 0, 0), (Px{1, 2, 3, 0x4000}));
    fill(4, {9, 9, 9, 0});
    PLR_SetLayerOptions(4, 1, 0, 100, "Normal");
    PLR_MergeLayer(3, 4);  // not the same mode: A = alphaLayerOpacity onto transparent
    EXPECT_EQ(at(4, 0, 0), (Px{1, 2, 3, 0xFFFF}));
    PLR_MergeLayer(3, 9);  // empty target
    PLR_MergeLayer(64, 4);
}

TEST_F(Flatten, MergeLayerTakesTheSourcesMaskLayer) {
    layer(3, "Layer Mask");
    fill(3, {0x8000, 0x8000, 0x8000, 0xFFFF});
    layer(5, "Normal");
    PLR_MergeLayer(2, 5);  // red onto transparent, alpha 0x8000 * 0xFFFF >> 16
    EXPECT_EQ(at(5, 1, 1), (Px{0xFF00, 0, 0, 32767}));
}

TEST_F(Flatten, RGBA32PasteWidensAndBlends) {
    std::vector<std::uint8_t> img(kW * kH * 4, 0);
    const std::uint8_t opaque[4] = {255, 128, 1, 255}, clear[4] = {9, 9, 9, 0};
    std::memcpy(img.data(), opaque, 4);
    std::memcpy(img.data() + 4, clear, 4);
    LayerRecord& target = page().layers[1];
    ASSERT_TRUE(mergeRGBA32IntoLayer(page(), img.data(), target, 0, 0, 255, false));
    EXPECT_EQ(at(1, 0, 0), (Px{0xFF00, 0x8000, 0x0100, 0xFF00}));
    EXPECT_EQ(at(1, 1, 0), (Px{0, 0, 0xFF00, 0xFFFF}));  // transparent source: untouched
    fill(1, {0, 0, 0xFF00, 0x1234});
    ASSERT_TRUE(mergeRGBA32IntoLayer(page(), img.data(), target, 0, 0, 256, true));
    EXPECT_EQ(at(1, 0, 0), (Px{0xFF00, 0x8000, 0x0100, 0x1234}));  // locked alpha
    // Without the temporary plane nothing happens.
    fill(1, {7, 7, 7, 7});
    mem::injectFailure(1);
    EXPECT_FALSE(mergeRGBA32IntoLayer(page(), img.data(), target, 0, 0, 256, false));
    mem::injectFailure(0);
    EXPECT_EQ(at(1, 0, 0), (Px{7, 7, 7, 7}));
    EXPECT_FALSE(mergeRGBA32IntoLayer(page(), nullptr, target, 0, 0, 256, false));
    EXPECT_FALSE(mergeRGBA32IntoLayer(page(), img.data(), page().layers[40], 0, 0, 256, false));
}

}  // namespace
}  // namespace plr::test
