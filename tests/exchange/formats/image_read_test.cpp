// Reading image files to RGBA: tiny valid files written here through the
// codec libraries (and a hand-built BMP), and malformed ones that must fail
// cleanly without leaking.
#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <cstring>

#include "exchange/formats/image_formats.h"
#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using ImageRead = EngineTest;
using formats::RgbaImage;

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A BMP with a 40-byte header: `bpp` 24 or 8 (palette of `palette` entries).
std::vector<std::uint8_t> bmp(int w, int h, int bpp, const std::vector<std::uint8_t>& rows, int palette = 0) {
    const std::size_t paletteBytes = static_cast<std::size_t>(palette) * 4;
    const std::size_t offset = 54 + paletteBytes;
    std::vector<std::uint8_t> b(offset + rows.size());
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, static_cast<std::uint32_t>(offset));
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(w));
    put32(b, 22, static_cast<std::uint32_t>(h));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(bpp));
    put32(b, 46, static_cast<std::uint32_t>(palette));
    for (int i = 0; i < palette; ++i) {
        b[54 + i * 4] = static_cast<std::uint8_t>(i * 10);      // blue
        b[54 + i * 4 + 1] = static_cast<std::uint8_t>(i * 20);  // green
        b[54 + i * 4 + 2] = static_cast<std::uint8_t>(i * 30);  // red
    }
    std::memcpy(b.data() + offset, rows.data(), rows.size());
    return b;
}

TEST_F(ImageRead, BmpTwentyFourBitBottomUpWithRowPadding) {
    const auto dir = scratchDir();
    // 3 x 2, rows padded to 12 bytes, bottom row first, BGR.
    std::vector<std::uint8_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,  // bottom row
                                      10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    writeBytes(dir / "a.bmp", bmp(3, 2, 24, rows));
    RgbaImage img;
    ASSERT_TRUE(formats::readImage((dir / "a.bmp").string().c_str(), img));
    ASSERT_EQ(img.width, 3);
    ASSERT_EQ(img.height, 2);
    const std::uint8_t want[] = {12, 11, 10, 255, 15, 14, 13, 255, 18, 17, 16, 255,
                                 3,  2,  1,  255, 6,  5,  4,  255, 9,  8,  7,  255};
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), want, sizeof want));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, BmpPaletteIndicesOutsideThePaletteAreBlack) {
    const auto dir = scratchDir();
    std::vector<std::uint8_t> rows = {0, 1, 2, 9};  // one row of 4 indices; 9 has no entry
    writeBytes(dir / "p.bmp", bmp(4, 1, 8, rows, 3));
    RgbaImage img;
    ASSERT_TRUE(formats::readImage((dir / "p.bmp").string().c_str(), img));
    const std::uint8_t want[] = {0, 0, 0, 255, 30, 20, 10, 255, 60, 40, 20, 255, 0, 0, 0, 255};
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), want, sizeof want));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, MalformedBmpsFailCleanly) {
    const auto dir = scratchDir();
    std::vector<std::uint8_t> rows(12 * 2, 7);
    const auto good = bmp(3, 2, 24, rows);
    RgbaImage img;
    auto fails = [&](const std::vector<std::uint8_t>& bytes, const char* what) {
        writeBytes(dir / "bad.bmp", bytes);
        EXPECT_FALSE(formats::readImage((dir / "bad.bmp").string().c_str(), img)) << what;
        EXPECT_TRUE(img.pixels.empty()) << what;
    };
    fails(std::vector<std::uint8_t>(good.begin(), good.end() - 1), "one byte short");
    fails(std::vector<std::uint8_t>(good.begin(), good.begin() + 20), "header cut");
    auto huge = good;
    put32(huge, 18, 100000);
    put32(huge, 22, 100000);
    fails(huge, "huge dimensions");
    auto wide = good;
    put32(wide, 18, 30000);  // within the side cap, but the pixels are not in the file
    fails(wide, "size larger than the data");
    auto offset = good;
    put32(offset, 10, 0xFFFFFFF0u);
    fails(offset, "pixel offset past the end");
    auto depth = good;
    put16(depth, 28, 7);
    fails(depth, "bit depth");
    auto rle = good;
    put32(rle, 30, 1);
    fails(rle, "run-length");
    auto minHeight = good;
    put32(minHeight, 22, 0x80000000u);
    fails(minHeight, "most negative height");
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, PngRoundTripAndMalformed) {
    const auto dir = scratchDir();
    std::vector<std::uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    writePng(dir / "a.png", 3, 2, px);
    RgbaImage img;
    ASSERT_TRUE(formats::readImage((dir / "a.png").string().c_str(), img));
    ASSERT_EQ(img.width, 3);
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), px.data(), px.size()));
    auto bytes = readBytes(dir / "a.png");
    writeBytes(dir / "cut.png", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 20));
    EXPECT_FALSE(formats::readImage((dir / "cut.png").string().c_str(), img));
    EXPECT_TRUE(img.pixels.empty());
    // IHDR width at byte 16 (big-endian): claim 100000 x 100000.
    auto huge = bytes;
    huge[16] = 0x00, huge[17] = 0x01, huge[18] = 0x86, huge[19] = 0xA0;
    huge[20] = 0x00, huge[21] = 0x01, huge[22] = 0x86, huge[23] = 0xA0;
    writeBytes(dir / "huge.png", huge);
    EXPECT_FALSE(formats::readImage((dir / "huge.png").string().c_str(), img));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, JpegDecodesAndTruncatedFails) {
    const auto dir = scratchDir();
    const auto path = (dir / "a.jpg").string();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        jpeg_compress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = 16;
        c.image_height = 8;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 100, TRUE);
        jpeg_start_compress(&c, TRUE);
        std::vector<std::uint8_t> row(16 * 3);
        for (int i = 0; i < 16; ++i) row[i * 3] = 200, row[i * 3 + 1] = 100, row[i * 3 + 2] = 50;
        while (c.next_scanline < c.image_height) {
            JSAMPROW r = row.data();
            jpeg_write_scanlines(&c, &r, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
    }
    RgbaImage img;
    ASSERT_TRUE(formats::readImage(path.c_str(), img));
    ASSERT_EQ(img.width, 16);
    ASSERT_EQ(img.height, 8);
    EXPECT_NEAR(img.pixels[0], 200, 3);
    EXPECT_NEAR(img.pixels[1], 100, 3);
    EXPECT_NEAR(img.pixels[2], 50, 3);
    EXPECT_EQ(img.pixels[3], 255);
    auto bytes = readBytes(path);
    writeBytes(dir / "cut.jpg", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 40));
    EXPECT_FALSE(formats::readImage((dir / "cut.jpg").string().c_str(), img));
    EXPECT_TRUE(img.pixels.empty());
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, TiffDecodesAndHugeHeaderFails) {
    const auto dir = scratchDir();
    const auto path = (dir / "a.tif").string();
    {
        TIFF* t = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(t, nullptr);
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 2);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2);
        std::uint8_t r0[6] = {10, 20, 30, 40, 50, 60}, r1[6] = {70, 80, 90, 100, 110, 120};
        TIFFWriteScanline(t, r0, 0, 0);
        TIFFWriteScanline(t, r1, 1, 0);
        TIFFClose(t);
    }
    RgbaImage img;
    ASSERT_TRUE(formats::readImage(path.c_str(), img));
    const std::uint8_t want[] = {10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255, 100, 110, 120, 255};
    ASSERT_EQ(img.width, 2);
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), want, sizeof want));
    // Header only: "II*\0", first directory at 8 with width and length 100000.
    std::vector<std::uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    auto entry = [&](std::uint16_t tag, std::uint32_t value) {
        const std::uint8_t e[12] = {std::uint8_t(tag), std::uint8_t(tag >> 8), 4, 0, 1, 0, 0, 0,
                                    std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                                    std::uint8_t(value >> 24)};
        b.insert(b.end(), e, e + 12);
    };
    entry(256, 100000);
    entry(257, 100000);
    b.insert(b.end(), {0, 0, 0, 0});
    writeBytes(dir / "huge.tif", b);
    EXPECT_FALSE(formats::readImage((dir / "huge.tif").string().c_str(), img));
    auto bytes = readBytes(path);
    writeBytes(dir / "cut.tif", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12));
    EXPECT_FALSE(formats::readImage((dir / "cut.tif").string().c_str(), img));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, GifFirstFrameOnTransparentScreen) {
    const auto dir = scratchDir();
    const auto path = (dir / "a.gif").string();
    {
        int err = 0;
        GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
        ASSERT_NE(g, nullptr);
        GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        ColorMapObject* map = GifMakeMapObject(4, colours);
        EGifPutScreenDesc(g, 4, 3, 2, 0, map);
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = 0;
        gcb.DelayTime = 0;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(g, 1, 1, 2, 2, false, nullptr);  // frame 2 x 2 at (1, 1)
        GifPixelType l0[2] = {1, 2}, l1[2] = {3, 0};
        EGifPutLine(g, l0, 2);
        EGifPutLine(g, l1, 2);
        EGifCloseFile(g, &err);
        GifFreeMapObject(map);
    }
    RgbaImage img;
    ASSERT_TRUE(formats::readImage(path.c_str(), img));
    ASSERT_EQ(img.width, 4);
    ASSERT_EQ(img.height, 3);
    auto px = [&](int x, int y) { return img.pixels.data() + (y * 4 + x) * 4; };
    EXPECT_EQ(px(0, 0)[3], 0);
    EXPECT_EQ(px(1, 1)[0], 255);
    EXPECT_EQ(px(1, 1)[3], 255);
    EXPECT_EQ(px(2, 1)[1], 255);
    EXPECT_EQ(px(1, 2)[2], 255);
    EXPECT_EQ(px(2, 2)[3], 0);  // transparent index
    auto bytes = readBytes(path);
    writeBytes(dir / "cut.gif", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 8));
    EXPECT_FALSE(formats::readImage((dir / "cut.gif").string().c_str(), img));
    auto huge = bytes;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535 screen
    writeBytes(dir / "huge.gif", huge);
    EXPECT_FALSE(formats::readImage((dir / "huge.gif").string().c_str(), img));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageRead, UnknownMissingAndAllocationFailure) {
    const auto dir = scratchDir();
    RgbaImage img;
    writeText(dir / "x.txt", "not a picture");
    EXPECT_FALSE(formats::readImage((dir / "x.txt").string().c_str(), img));
    EXPECT_FALSE(formats::readImage((dir / "none.png").string().c_str(), img));
    EXPECT_FALSE(formats::readImage(nullptr, img));
    writePng(dir / "a.png", 5, 5, greyPicture(5, 5, [](int x, int y) { return x + y; }));
    mem::injectFailure(1);
    EXPECT_FALSE(formats::readImage((dir / "a.png").string().c_str(), img));
    mem::injectFailure(0);
    EXPECT_TRUE(img.pixels.empty());
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
