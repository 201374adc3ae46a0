// The file exports: resolutions read and snapped, writers chosen by
// extension, the transfer image and its read-outs, sized readers, metafiles
// on the brush colour, page saves streamed row by row, thumbnails and web
// pictures.
#include <cstring>
#include <string>
#include <vector>

#include "brush_test_support.h"
#include "engine_fixture.h"
#include "exchange/formats/image_formats.h"
#include "exchange/image_files.h"

namespace plr::test {
namespace {

using ImageFiles = EngineTest;

std::string corpus(const char* name) { return std::string(PALORAN_TEST_DATA) + "/images/" + name; }

std::vector<std::uint8_t> gradient(int w, int h, int channels) {
    std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h * channels);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>((i * 37) >> 2);
    if (channels == 4)
        for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;
    return p;
}

formats::RgbaImage read(const std::filesystem::path& p) {
    formats::RgbaImage img;
    EXPECT_TRUE(formats::readImage(p.string().c_str(), img)) << p;
    return img;
}

TEST_F(ImageFiles, ResolutionsAreReadInDotsPerInchAndSnapped) {
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("jpeg_72dpi.jpg").c_str()), 72);
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("jpeg_100dpi.jpg").c_str()), 72);  // not a snapped value
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("tiff_300dpi.tif").c_str()), 300);
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("bmp_24bit_v4.bmp").c_str()), 96);  // 3780 per metre
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("psd_rgb_raw.psd").c_str()), 150);
    EXPECT_EQ(PLR_GetDPIFromFile(corpus("gif_palette.gif").c_str()), 72);
    EXPECT_EQ(PLR_GetDPIFromFile("/no/such/file.png"), 72);
    EXPECT_EQ(PLR_GetDPIFromFile(nullptr), 72);

    // Written with a resolution record and read back: PNG stores 11811 per
    // metre for 300, which reads as 299.99 and snaps to 300.
    const auto dir = scratchDir();
    const auto rgb = gradient(5, 4, 3);
    const auto rgba = gradient(5, 4, 4);
    for (int dpi : {96, 150, 200, 300, 450, 600}) {
        for (const char* ext : {".png", ".jpg", ".bmp"}) {
            const auto f = dir / (std::string("r") + ext);
            ASSERT_EQ(PLR_WriteToFileRGB24(rgb.data(), 5, 4, f.string().c_str(), ext, dpi), 1);
            EXPECT_EQ(PLR_GetDPIFromFile(f.string().c_str()), dpi) << ext;
        }
        const auto f = dir / "r.tif";
        ASSERT_EQ(PLR_WriteToFileRGBA32(rgba.data(), 5, 4, f.string().c_str(), ".tif", dpi), 1);
        EXPECT_EQ(PLR_GetDPIFromFile(f.string().c_str()), dpi);
    }
    formats::ImageInfo info;
    ASSERT_TRUE(formats::readImageInfo((dir / "r.png").string().c_str(), info));
    EXPECT_EQ(info.unit, 1);
    EXPECT_EQ(info.resolution, 23622);  // trunc(600 * 39.3700787)
    std::filesystem::remove_all(dir);
}

TEST_F(ImageFiles, WritersAreChosenByExtensionWithoutRegardToCase) {
    const auto dir = scratchDir();
    const auto rgb = gradient(6, 3, 3);
    const auto rgba = gradient(6, 3, 4);
    const auto path = [&](const char* n) { return (dir / n).string(); };
    EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 6, 3, path("a.JPG").c_str(), ".JPG", 72), 1);
    EXPECT_EQ(formats::sniffFile(path("a.JPG").c_str()), formats::FileType::Jpeg);
    // The 24-bit writer has no TIFF or TGA branch, the 32-bit one no BMP: nothing is written.
    for (const char* ext : {".tif", ".tga", ".xyz", ""}) {
        EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 6, 3, path("b").c_str(), ext, 72), 0) << ext;
        EXPECT_FALSE(std::filesystem::exists(dir / "b")) << ext;
    }
    EXPECT_EQ(PLR_WriteToFileRGBA32(rgba.data(), 6, 3, path("b").c_str(), ".bmp", 72), 0);
    EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 6, 3, path("b").c_str(), nullptr, 72), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "b"));
    EXPECT_EQ(PLR_WriteToFileRGBA32(rgba.data(), 6, 3, path("c.TiF").c_str(), ".TiF", 72), 1);
    EXPECT_EQ(formats::sniffFile(path("c.TiF").c_str()), formats::FileType::Tiff);
    // The path is used as given, whatever its own extension.
    EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 6, 3, path("d.dat").c_str(), ".pcx", 72), 1);
    EXPECT_EQ(formats::sniffFile(path("d.dat").c_str()), formats::FileType::Pcx);
    // Unwritable destination and missing pixels: 0.
    EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 6, 3, path("no/such/dir/e.png").c_str(), ".png", 72), 0);
    EXPECT_EQ(PLR_WriteToFileRGB24(nullptr, 6, 3, path("f.png").c_str(), ".png", 72), 0);
    EXPECT_EQ(PLR_WriteToFileRGB24(rgb.data(), 0, 3, path("f.png").c_str(), ".png", 72), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(ImageFiles, TransferImageReadOuts) {
    std::vector<std::uint8_t> none(16, 7);
    PLR_GetNewRGBA32(none.data());
    PLR_GetNewRGBA24(none.data());
    PLR_GetResizedNewRGBA24(none.data(), 2, 2);
    EXPECT_EQ(none, std::vector<std::uint8_t>(16, 7)) << "nothing while absent";
    EXPECT_EQ(PLR_IsNewRGBA32Transparent(), 0);

    ASSERT_EQ(PLR_ReadFromFile(corpus("png_rgb.png").c_str()), 1);
    const int w = PLR_GetNewRGBAWidth(), h = PLR_GetNewRGBAHeight();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4), rgb(static_cast<std::size_t>(w) * h * 3);
    PLR_GetNewRGBA32(rgba.data());
    PLR_GetNewRGBA24(rgb.data());
    for (int i = 0; i < w * h; ++i)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(rgb[static_cast<std::size_t>(i) * 3 + c], rgba[static_cast<std::size_t>(i) * 4 + c]);
    EXPECT_EQ(PLR_IsNewRGBA32Transparent(), 0);

    // The same size gives the picture back; a shrink is the area average.
    std::vector<std::uint8_t> same(rgb.size());
    PLR_GetResizedNewRGBA24(same.data(), w, h);
    EXPECT_EQ(same, rgb);
    std::vector<std::uint8_t> one(3);
    PLR_GetResizedNewRGBA24(one.data(), 1, 1);
    for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int i = 0; i < w * h; ++i) sum += rgb[static_cast<std::size_t>(i) * 3 + c];
        EXPECT_NEAR(one[c], static_cast<double>(sum) / (w * h), 0.5 + 1e-9);
    }

    // One alpha byte at 254 makes the picture transparent.
    const auto dir = scratchDir();
    rgba[4 * 5 + 3] = 254;
    ASSERT_EQ(PLR_WriteToFileRGBA32(rgba.data(), w, h, (dir / "t.png").string().c_str(), ".png", 72), 1);
    ASSERT_EQ(PLR_ReadFromFile((dir / "t.png").string().c_str()), 1);
    EXPECT_EQ(PLR_IsNewRGBA32Transparent(), 1);

    // Deleting frees the pixels and keeps the size.
    PLR_DeleteNewRGBA();
    EXPECT_EQ(PLR_GetNewRGBAWidth(), w);
    EXPECT_EQ(PLR_IsNewRGBA32Transparent(), 0);
    EXPECT_EQ(mem::stats().liveBlocks, 0);
    EXPECT_EQ(PLR_ReadFromFile("/no/such/file.png"), 0);
    EXPECT_EQ(PLR_ReadFromFile(nullptr), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(ImageFiles, SizedReadersCopyOnlyAnExactSize) {
    std::vector<std::uint8_t> rgba(13 * 7 * 4, 9), rgb(13 * 7 * 3, 9);
    EXPECT_EQ(PLR_ReadFromFileRGBA32(rgba.data(), 13, 6, corpus("png_rgba.png").c_str()), 0);
    EXPECT_EQ(PLR_ReadFromFileRGB24(rgb.data(), 12, 7, corpus("png_rgba.png").c_str()), 0);
    EXPECT_EQ(rgba, std::vector<std::uint8_t>(13 * 7 * 4, 9));
    EXPECT_EQ(rgb, std::vector<std::uint8_t>(13 * 7 * 3, 9));
    ASSERT_EQ(PLR_ReadFromFileRGBA32(rgba.data(), 13, 7, corpus("png_rgba.png").c_str()), 1);
    ASSERT_EQ(PLR_ReadFromFileRGB24(rgb.data(), 13, 7, corpus("png_rgba.png").c_str()), 1);
    const std::vector<std::uint8_t> want = readBytes(corpus("png_rgba.png.rgba"));
    EXPECT_EQ(rgba, want);
    for (int i = 0; i < 13 * 7; ++i) EXPECT_EQ(0, std::memcmp(&rgb[static_cast<std::size_t>(i) * 3], &want[static_cast<std::size_t>(i) * 4], 3));
    EXPECT_EQ(PLR_GetNewRGBAWidth(), 0) << "the sized readers leave the transfer image alone";
}

TEST_F(ImageFiles, MetafilesAreDrawnAtThePageSizeOnTheBrushColour) {
    PLR_CreateImage(nullptr, 26, 21, 8, 0);
    PLR_SetColor(0x10, 0x80, 0xF0);
    for (const char* name : {"emf_stretchdibits.emf", "wmf_stretchdib.wmf"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(PLR_ReadFromFile(corpus(name).c_str()), 1);
        ASSERT_EQ(PLR_GetNewRGBAWidth(), 26);
        ASSERT_EQ(PLR_GetNewRGBAHeight(), 21);
        std::vector<std::uint8_t> rgba(26 * 21 * 4);
        PLR_GetNewRGBA32(rgba.data());
        // Twice as wide, three times as high: each file pixel covers 2 x 3.
        const std::vector<std::uint8_t> small = readBytes(corpus((std::string(name) + ".rgba").c_str()));
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 26; ++x)
                ASSERT_EQ(0, std::memcmp(&rgba[(static_cast<std::size_t>(y) * 26 + x) * 4],
                                         &small[(static_cast<std::size_t>(y / 3) * 13 + x / 2) * 4], 4));
        std::vector<std::uint8_t> sized(26 * 21 * 4);
        ASSERT_EQ(PLR_ReadFromFileRGBA32(sized.data(), 26, 21, corpus(name).c_str()), 1);
        EXPECT_EQ(sized, rgba);
    }
    // A metafile whose bitmap covers part of its frame shows the brush colour around it.
    const auto dir = scratchDir();
    std::vector<std::uint8_t> dib(40 + 4, 0);
    dib[0] = 40, dib[4] = 1, dib[8] = 1, dib[12] = 1, dib[14] = 24, dib[40] = 0x30, dib[41] = 0x20, dib[42] = 0x10;
    std::vector<std::uint8_t> emf(88 + 80 + dib.size() + 20, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&emf[at], &v, 4); };
    put32(0, 1), put32(4, 88), put32(16, 1), put32(20, 1), put32(40, 0x464D4520), put32(44, 0x10000);
    put32(88, 81), put32(92, static_cast<std::uint32_t>(80 + dib.size()));
    put32(88 + 40, 1), put32(88 + 44, 1), put32(88 + 48, 80), put32(88 + 52, 40), put32(88 + 56, 120), put32(88 + 60, 4);
    put32(88 + 72, 1), put32(88 + 76, 1);  // destination (0, 0) 1 x 1 of a 2 x 2 frame
    std::memcpy(&emf[88 + 80], dib.data(), dib.size());
    put32(88 + 80 + dib.size(), 14), put32(88 + 80 + dib.size() + 4, 20);
    writeBytes(dir / "part.emf", emf);
    std::vector<std::uint8_t> rgb(26 * 21 * 3);
    ASSERT_EQ(PLR_ReadFromFileRGB24(rgb.data(), 26, 21, (dir / "part.emf").string().c_str()), 1);
    EXPECT_EQ(rgb[0], 0x10);  // the bitmap's pixel, top-left
    EXPECT_EQ(rgb[1], 0x20);
    EXPECT_EQ(rgb[2], 0x30);
    const std::size_t last = rgb.size() - 3;
    EXPECT_EQ(rgb[last], 0x10);  // the brush colour
    EXPECT_EQ(rgb[last + 1], 0x80);
    EXPECT_EQ(rgb[last + 2], 0xF0);
    std::filesystem::remove_all(dir);
}

// A metafile with vector drawing: the system's renderer draws it where there
// is one (Windows); elsewhere the bitmap-record reader shows its background.
TEST_F(ImageFiles, VectorMetafilesGoToTheSystemRenderer) {
    std::vector<std::uint8_t> emf;
    auto put = [&](std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values)
            for (int i = 0; i < 4; ++i) emf.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    // Header: bounds 20 x 20 pixels, frame in hundredths of a millimetre at 96 an inch, 5 records, 2 handles.
    put({1, 88, 0, 0, 19, 19, 0, 0, 528, 528, 0x464D4520, 0x10000, 168, 5, 2, 0, 0, 0, 1024, 768, 271, 203});
    put({39, 24, 1, 0, 0x000000FF, 0});  // a solid red brush as object 1
    put({37, 12, 1});                    // selected
    put({43, 24, 4, 4, 16, 16});         // a rectangle around the middle
    put({14, 20, 0, 16, 20});            // end
    ASSERT_EQ(emf.size(), 168u);
    const auto dir = scratchDir();
    writeBytes(dir / "vector.emf", emf);
    PLR_CreateImage(nullptr, 20, 20, 8, 0);
    PLR_SetColor(0x10, 0x80, 0xF0);
    ASSERT_EQ(PLR_ReadFromFile((dir / "vector.emf").string().c_str()), 1);
    std::vector<std::uint8_t> rgba(20 * 20 * 4);
    PLR_GetNewRGBA32(rgba.data());
    const std::uint8_t* middle = &rgba[(10 * 20 + 10) * 4];
    const std::uint8_t* corner = &rgba[0];
#if defined(_WIN32)
    const std::uint8_t inside[4] = {0xFF, 0x00, 0x00, 0xFF};
#else
    const std::uint8_t inside[4] = {0x10, 0x80, 0xF0, 0xFF};
#endif
    const std::uint8_t background[4] = {0x10, 0x80, 0xF0, 0xFF};
    EXPECT_EQ(0, std::memcmp(middle, inside, 4));
    EXPECT_EQ(0, std::memcmp(corner, background, 4));
    std::filesystem::remove_all(dir);
}

TEST_F(ImageFiles, TransferImageGoesIntoTheCurrentLayer) {
    PLR_CreateImage(nullptr, 20, 10, 8, 0);
    PLR_CreateLayer(1, 20, 10);
    PLR_CreateLayer(2, 20, 10);
    PLR_SetLayer(2);
    ASSERT_EQ(PLR_ReadFromFile(corpus("png_rgb.png").c_str()), 1);
    PLR_SetInNewRGBA();
    std::vector<std::uint8_t> layer(20 * 10 * 4);
    ASSERT_NE(PLR_GetRGBA32Layer(layer.data(), 20 * 4, 2), 0);
    const std::vector<std::uint8_t> want = readBytes(corpus("png_rgb.png.rgba"));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const std::uint8_t* got = &layer[(static_cast<std::size_t>(y) * 20 + x) * 4];
            if (x < 13 && y < 7) EXPECT_EQ(0, std::memcmp(got, &want[(static_cast<std::size_t>(y) * 13 + x) * 4], 4));
            else EXPECT_EQ(got[3], 0) << "outside the picture the layer stays clear";
        }
    EXPECT_EQ(PLR_GetNewRGBAWidth(), 13) << "placing does not free the transfer image";
}

TEST_F(ImageFiles, PageSavesWriteTheComposedPage) {
    const int w = 17, h = 6;
    PLR_CreateImage(nullptr, w, h, 8, 0);
    PLR_CreateLayer(1, w, h);
    PLR_CreateLayer(2, w, h);
    PLR_SetLayer(2);
    std::vector<std::uint8_t> top = gradient(w, h, 4);
    for (std::size_t i = 3; i < top.size(); i += 8) top[i] = 0;  // every other pixel clear: the white layer shows
    PLR_LoadRGBA32(top.data(), w * 4, 0);
    std::vector<std::uint16_t> merged(static_cast<std::size_t>(w) * h * 4);
    PLR_Merge(merged.data());
    std::vector<std::uint8_t> want32(static_cast<std::size_t>(w) * h * 4), want24(static_cast<std::size_t>(w) * h * 3);
    PLR_GetRGBA32FromRGBA64Rect(want32.data(), w * 4, merged.data(), w * 8, 0, 0, w, h);
    PLR_GetRGB24FromRGBA64Rect(want24.data(), w * 3, merged.data(), w * 8, 0, 0, w, h);

    const auto dir = scratchDir();
    struct Save {
        const char* ext;
        int channels;
        int tolerance;
    };
    for (const Save& s : {Save{".bmp", 3, 0}, Save{".PNG", 3, 0}, Save{".jpg", 3, 12}, Save{".png", 4, 0},
                          Save{".tga", 4, 0}, Save{".tif", 4, 0}}) {
        SCOPED_TRACE(s.ext + std::to_string(s.channels));
        const auto f = dir / (std::string("page") + std::to_string(s.channels) + s.ext);
        const auto save = s.channels == 4 ? PLR_SavePageToFileRGB32 : PLR_SavePageToFileRGB24;
        EXPECT_EQ(save(f.string().c_str(), s.ext, 300), 0);
        const formats::RgbaImage img = read(f);
        ASSERT_EQ(img.width, w);
        ASSERT_EQ(img.height, h);
        int worst = 0;
        for (int i = 0; i < w * h; ++i)
            for (int c = 0; c < s.channels; ++c) {
                const int want = s.channels == 4 ? want32[static_cast<std::size_t>(i) * 4 + c] : want24[static_cast<std::size_t>(i) * 3 + c];
                worst = std::max(worst, std::abs(img.pixels[static_cast<std::size_t>(i) * 4 + c] - want));
            }
        EXPECT_LE(worst, s.tolerance);
        if (std::string(s.ext) != ".tga") {
            EXPECT_EQ(PLR_GetDPIFromFile(f.string().c_str()), 300);
        }
    }
    // Other extensions write nothing (an existing file is left as it was).
    writeText(dir / "keep.gif", "keep");
    EXPECT_EQ(PLR_SavePageToFileRGB24((dir / "keep.gif").string().c_str(), ".gif", 72), 0);
    EXPECT_EQ(PLR_SavePageToFileRGB32((dir / "keep.gif").string().c_str(), ".bmp", 72), 0);
    EXPECT_EQ(readBytes(dir / "keep.gif").size(), 4u);
    std::filesystem::remove_all(dir);
}

TEST_F(ImageFiles, ThumbnailAndWebPictureSizes) {
    struct Sized {
        int w, h, limitW, limitH, wantW, wantH;
    };
    for (const Sized& s : {Sized{400, 200, 100, 0, 100, 50}, Sized{200, 400, 100, 0, 50, 100},
                           Sized{50, 30, 100, 0, 100, 60}, Sized{30, 30, 10, 0, 10, 10}}) {
        std::int32_t w = 0, h = 0;
        thumbnailSize(s.w, s.h, s.limitW, w, h);
        EXPECT_EQ(w, s.wantW);
        EXPECT_EQ(h, s.wantH);
    }
    for (const Sized& s : {Sized{1000, 500, 300, 300, 300, 150}, Sized{200, 100, 300, 300, 200, 100},
                           Sized{500, 1000, 300, 300, 150, 300}, Sized{1000, 100, 300, 300, 300, 30}}) {
        std::int32_t w = 0, h = 0;
        webPictureSize(s.w, s.h, s.limitW, s.limitH, w, h);
        EXPECT_EQ(w, s.wantW);
        EXPECT_EQ(h, s.wantH);
    }

    // Through the files: transparent pixels turn white in thumbnails.
    const auto dir = scratchDir();
    std::vector<std::uint8_t> rgba = gradient(40, 20, 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) rgba[i + 3] = 0;
    ASSERT_EQ(PLR_WriteToFileRGBA32(rgba.data(), 40, 20, (dir / "src.png").string().c_str(), ".png", 72), 1);
    EXPECT_EQ(PLR_MakeThumbnail((dir / "src.png").string().c_str(), (dir / "thumb.bmp").string().c_str(), 10), 0);
    formats::RgbaImage thumb = read(dir / "thumb.bmp");
    ASSERT_EQ(thumb.width, 10);
    ASSERT_EQ(thumb.height, 5);
    for (std::size_t i = 0; i < thumb.pixels.size(); ++i) EXPECT_EQ(thumb.pixels[i], 255);
    EXPECT_EQ(PLR_MakeWebPic((dir / "src.png").string().c_str(), (dir / "web.jpg").string().c_str(), 30, 30), 0);
    formats::RgbaImage web = read(dir / "web.jpg");
    EXPECT_EQ(web.width, 30);
    EXPECT_EQ(web.height, 15);
    // A source that does not read writes nothing.
    EXPECT_EQ(PLR_MakeThumbnail("/no/such.png", (dir / "none.bmp").string().c_str(), 10), 0);
    EXPECT_EQ(PLR_MakeWebPic("/no/such.png", (dir / "none.jpg").string().c_str(), 10, 10), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.jpg"));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
