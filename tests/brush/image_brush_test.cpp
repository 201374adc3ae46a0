// Image brushes: dabs from a pasted picture, and the loading, blending,
// framing, colouring and saving rules against worked values.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "dab_test_support.h"
#include "engine/page_clipboard.h"
#include "platform/clipboard.h"

namespace plr::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kSide = 32, kEdge = 8, kCentre = 16;

class ClipboardImageBrush : public DabTest {
protected:
    void SetUp() override {
        DabTest::SetUp();
        platform::emptyClipboard();
        makePage(kSide, kSide, 16, kEdge);
    }
    void TearDown() override {
        platform::emptyClipboard();
        std::error_code ec;
        std::filesystem::remove(scratch(), ec);
        DabTest::TearDown();
    }
    static std::string scratch() {
        return (std::filesystem::temp_directory_path() / ("paloran_image_brush_" + std::to_string(::getpid()) + ".png"))
            .string();
    }
    Bytes layer8() {
        Bytes out(kSide * kSide * 4);
        EXPECT_NE(PLR_GetRGBA32Layer(out.data(), kSide * 4, 2), 0);
        return out;
    }
    static const std::uint8_t* at(const Bytes& p, int x, int y) { return p.data() + (y * kSide + x) * 4; }
    // Red where the dab's left half falls, the white page untouched on the right.
    void expectRedOn(bool left) {
        const Bytes out = layer8();
        for (int y = kCentre - 3; y <= kCentre + 2; ++y) {
            const std::uint8_t* red = at(out, left ? kCentre - 3 : kCentre + 2, y);
            const std::uint8_t* kept = at(out, left ? kCentre + 2 : kCentre - 3, y);
            EXPECT_GE(red[0], 254) << y;
            EXPECT_LE(red[1], 1) << y;
            EXPECT_EQ(kept[1], 255) << y;
            EXPECT_EQ(kept[2], 255) << y;
        }
        // Outside the dab nothing changes.
        EXPECT_EQ(at(out, kCentre - 8, kCentre)[1], 255);
        EXPECT_EQ(at(out, kCentre + 7, kCentre)[1], 255);
    }
    std::vector<std::uint16_t> brushImage() {
        const ImageBrush& b = engine().imageBrush;
        return {b.image.data(), b.image.data() + b.image.size()};
    }
};

TEST_F(ClipboardImageBrush, DabsFromAPastedPicturePaintItsShape) {
    // 4 x 2 picture: opaque red on the left half, transparent on the right;
    // fitted into the 8 x 8 brush it fills rows 2..5, red on columns 0..3.
    Bytes picture(4 * 2 * 4, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) std::memcpy(&picture[(y * 4 + x) * 4], "\xff\0\0\xff", 4);
    ASSERT_TRUE(putPictureOnClipboard(picture.data(), 4, 2));
    PLR_FromClipboardToImageBrush(kEdge);
    ASSERT_EQ(engine().imageBrush.width, kEdge);
    ASSERT_FALSE(engine().transfer.present());

    // A picture that fills the square: the clipboard's at edge 8 exactly.
    picture.assign(kEdge * kEdge * 4, 0);
    for (int y = 0; y < kEdge; ++y)
        for (int x = 0; x < kEdge / 2; ++x) std::memcpy(&picture[(y * kEdge + x) * 4], "\xff\0\0\xff", 4);
    ASSERT_TRUE(putPictureOnClipboard(picture.data(), kEdge, kEdge));
    PLR_FromClipboardToImageBrush(kEdge);

    fillCurrent({65535, 65535, 65535, 65535});
    PLR_SetBlendStrength(100);
    PLR_SetImageBrushMode(1);
    PLR_CopyFromImageBrush(0);
    PLR_DrawDabGrit(kCentre, kCentre, 0, 0, 0);
    expectRedOn(true);

    // Turned half way round, the red half paints on the right.
    fillCurrent({65535, 65535, 65535, 65535});
    PLR_RotateImageBrush(180);
    PLR_CopyFromImageBrushRotate(0);
    PLR_DrawDabGrit(kCentre, kCentre, 0, 0, 0);
    expectRedOn(false);
}

TEST_F(ClipboardImageBrush, LoadingBlendingFramesColourAndSavingFollowTheRules) {
    // Fill: colour x 257, opaque; save and load clear each low byte.
    PLR_FillImageBrush(1, 2, 3);
    EXPECT_EQ(brushImage()[0], 257);
    EXPECT_EQ(brushImage()[3], 65535);
    PLR_SaveImageBrush(scratch().c_str());
    PLR_LoadImageBrush(scratch().c_str());
    ASSERT_EQ(brushImage().size(), std::size_t{kEdge * kEdge * 4});
    EXPECT_EQ(brushImage()[0], 256);
    EXPECT_EQ(brushImage()[1], 512);
    EXPECT_EQ(brushImage()[2], 768);
    EXPECT_EQ(brushImage()[3], 0xFF00);

    // One pixel wider than the largest brush: ignored, by buffer and by file.
    const Bytes wide(17 * 1 * 4, 9);
    PLR_LoadImageBrushFromRGBA32(wide.data(), 17, 1);
    ASSERT_EQ(PLR_WriteToFileRGBA32(wide.data(), 17, 1, scratch().c_str(), ".png", 72), 1);
    PLR_LoadImageBrush(scratch().c_str());
    EXPECT_EQ(brushImage()[0], 256);

    // Strength 0 copies the sized brush; 100 gives d = 255: (255 m + 0 s) >> 8.
    fillMix({0x8000, 0x8000, 0x8000, 0x8000});
    PLR_CopyFromImageBrush(100);
    EXPECT_EQ(get(mix(1, 1)), (Px{0x7F80, 0x7F80, 0x7F80, 0x7F80}));  // 255 * 0x8000 >> 8
    PLR_CopyFromImageBrush(0);
    EXPECT_EQ(get(mix(7, 7)), (Px{256, 512, 768, 0xFF00}));

    // Colour keeps every alpha.
    Bytes half(2 * 2 * 4);
    for (std::size_t i = 0; i < half.size(); i += 4) half[i + 3] = static_cast<std::uint8_t>(64 + i);
    PLR_LoadImageBrushFromRGBA32(half.data(), 2, 2);
    PLR_ColorImageBrush(10, 20, 30);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(brushImage()[p * 4], 2570);
        EXPECT_EQ(brushImage()[p * 4 + 2], 7710);
        EXPECT_EQ(brushImage()[p * 4 + 3], (64 + p * 4) << 8);
    }

    // A strip of 4 frames: position 0.5 picks frame 2, 0 frame 0.
    Bytes strip(16 * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = &strip[(y * 16 + x) * 4];
            p[0] = static_cast<std::uint8_t>(x / 4 * 50);
            p[1] = static_cast<std::uint8_t>(y);
            p[3] = 255;
        }
    ASSERT_EQ(PLR_WriteToFileRGBA32(strip.data(), 16, 4, scratch().c_str(), ".png", 72), 1);
    PLR_LoadImageBrushArray(scratch().c_str());
    EXPECT_EQ(engine().imageBrush.frameCount, 4);
    PLR_CopyFromImageBrushArray(0.5f);
    EXPECT_EQ(brushImage()[0], 100 * 256);
    EXPECT_EQ(brushImage()[(3 * 4 + 3) * 4 + 1], 3 * 256);
    PLR_CopyFromImageBrushArray(0.0f);
    EXPECT_EQ(brushImage()[0], 0);
}

}  // namespace
}  // namespace plr::test
