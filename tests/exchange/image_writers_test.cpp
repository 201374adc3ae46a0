// Files the engine writes: every writer's file reads back through the
// engine's own reader with the same pixels (lossless formats) or close ones
// (JPEG), and an independent reader (Pillow) sees the same pixels. The
// Pillow half is skipped only when python3 with Pillow is missing.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "brush_test_support.h"
#include "engine_fixture.h"
#include "exchange/formats/image_formats.h"

namespace plr::test {
namespace {

using ImageWriters = EngineTest;

constexpr int kW = 23, kH = 9;

// Few colours (GIF keeps them exactly), a ramp of alpha with fully clear pixels.
std::vector<std::uint8_t> picture(int channels) {
    std::vector<std::uint8_t> p(static_cast<std::size_t>(kW) * kH * channels);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* d = p.data() + (static_cast<std::size_t>(y) * kW + x) * channels;
            d[0] = static_cast<std::uint8_t>((x * 40) & 0xF0);
            d[1] = static_cast<std::uint8_t>(y * 28);
            d[2] = static_cast<std::uint8_t>(x < 11 ? 200 : 17);
            if (channels == 4) d[3] = static_cast<std::uint8_t>((x + y) % 4 == 0 ? 0 : 255 - x * 5);
        }
    return p;
}

std::vector<std::uint8_t> asRgba(const std::vector<std::uint8_t>& p, int channels) {
    if (channels == 4) return p;
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < p.size(); i += 3) out.insert(out.end(), {p[i], p[i + 1], p[i + 2], 255});
    return out;
}

int difference(const std::vector<std::uint8_t>& a, const std::uint8_t* b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        const int channels = a[i + 3] == 0 && b[i + 3] == 0 ? 0 : 3;
        for (int c = 0; c < channels; ++c) worst = std::max(worst, std::abs(a[i + c] - b[i + c]));
        worst = std::max(worst, std::abs(a[i + 3] - b[i + 3]));
    }
    return worst;
}

bool pillowPresent() {
    return std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0 ||
           std::system("python3 -c 'import PIL' >/dev/null 2>&1") == 0;
}

// Pillow's RGBA decode of the file, or empty when it could not read it.
std::vector<std::uint8_t> pillowPixels(const std::filesystem::path& file, const std::filesystem::path& raw) {
    const std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const std::string command = python + " -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                                         "open(sys.argv[2], 'wb').write(im.convert('RGBA').tobytes())\" '" +
                                file.string() + "' '" + raw.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    return readBytes(raw);
}

struct Case {
    const char* extension;
    int channels;
    int tolerance;     // JPEG is lossy (the picture has hard edges)
    bool pillowReads;  // Pillow reads no metafiles off Windows
    bool alphaKept;
};

const Case kCases[] = {
    {".bmp", 3, 0, true, false}, {".png", 3, 0, true, false},  {".gif", 3, 0, true, false},
    {".jpg", 3, 100, true, false}, {".pcx", 3, 0, true, false}, {".psd", 3, 0, true, false},
    {".emf", 3, 0, false, false}, {".wmf", 3, 0, false, false}, {".png", 4, 0, true, true},
    {".tga", 4, 0, true, true},   {".tif", 4, 0, true, true},
};

TEST_F(ImageWriters, WrittenFilesReadBackTheSameInTheEngineAndInPillow) {
    const auto dir = scratchDir();
    const bool pillow = pillowPresent();
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.extension) + (c.channels == 4 ? " RGBA32" : " RGB24"));
        const std::vector<std::uint8_t> source = picture(c.channels);
        const auto file = dir / (std::string("out") + std::to_string(c.channels) + c.extension);
        const auto write = c.channels == 4 ? PLR_WriteToFileRGBA32 : PLR_WriteToFileRGB24;
        ASSERT_EQ(write(source.data(), kW, kH, file.string().c_str(), c.extension, 96), 1);
        const std::vector<std::uint8_t> want = asRgba(source, c.channels);
        formats::RgbaImage img;
        ASSERT_TRUE(formats::readImage(file.string().c_str(), img));
        ASSERT_EQ(img.width, kW);
        ASSERT_EQ(img.height, kH);
        EXPECT_LE(difference(want, img.pixels.data()), c.tolerance);
        if (!pillow || !c.pillowReads) continue;
        const std::vector<std::uint8_t> seen = pillowPixels(file, dir / "pillow.rgba");
        ASSERT_EQ(seen.size(), want.size());
        EXPECT_LE(difference(want, seen.data()), c.tolerance);
    }
    if (!pillow) GTEST_SKIP() << "python3 with Pillow is not installed: written files were checked by the engine only";
    std::filesystem::remove_all(dir);
}

// Many colours: the quantiser keeps GIF files close, with or without dithering.
TEST_F(ImageWriters, GifOfManyColoursStaysCloseToThePicture) {
    const auto dir = scratchDir();
    const int w = 64, h = 48;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * w + x) * 3;
            p[0] = static_cast<std::uint8_t>(x * 4), p[1] = static_cast<std::uint8_t>(y * 5), p[2] = static_cast<std::uint8_t>((x + y) * 2);
        }
    for (bool dither : {false, true}) {
        formats::WriteSettings settings;
        settings.dither = dither;
        const auto file = dir / (dither ? "d.gif" : "n.gif");
        ASSERT_TRUE(formats::writeImage(formats::kGifFormat, file.string().c_str(), {rgb.data(), w, h, w * 3, 3}, settings));
        formats::RgbaImage img;
        ASSERT_TRUE(formats::readImage(file.string().c_str(), img));
        double total = 0;
        for (int i = 0; i < w * h; ++i)
            for (int c = 0; c < 3; ++c) total += std::abs(img.pixels[static_cast<std::size_t>(i) * 4 + c] - rgb[static_cast<std::size_t>(i) * 3 + c]);
        EXPECT_LT(total / (w * h * 3), 6.0) << (dither ? "dithered" : "plain");
    }
    std::filesystem::remove_all(dir);
}

// Row writers give the same file contents as the whole-picture writers.
TEST_F(ImageWriters, RowWritersAndWholeWritersAgree) {
    const auto dir = scratchDir();
    const std::vector<std::uint8_t> rgba = picture(4);
    for (const formats::ImageFormat* f : formats::imageFormats()) {
        if (!f->openRows) continue;
        SCOPED_TRACE(std::string(f->name));
        const auto whole = dir / "whole", rows = dir / "rows";
        formats::WriteSettings s;
        ASSERT_TRUE(formats::writeImage(*f, whole.string().c_str(), {rgba.data(), kW, kH, kW * 4, 4}, s));
        auto writer = f->openRows(rows.string().c_str(), kW, kH, 4, s);
        ASSERT_TRUE(writer);
        const bool bottomUp = f->type == formats::FileType::Bmp;
        for (int i = 0; i < kH; ++i) ASSERT_TRUE(writer->next(rgba.data() + static_cast<std::size_t>(bottomUp ? kH - 1 - i : i) * kW * 4));
        ASSERT_TRUE(writer->finish());
        EXPECT_EQ(readBytes(whole), readBytes(rows));
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test

namespace plr::test {
namespace {

// PackBits' costliest input: one odd byte, then a pair, over and over (four
// bytes of output for every three). The PSD writer's buffer must hold it.
TEST_F(ImageWriters, PsdOfAlternatingSinglesAndPairsReadsBack) {
    const auto dir = scratchDir();
    constexpr int w = 3001, h = 3;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] = static_cast<std::uint8_t>(x % 3 == 0 ? x / 3 + c : 200 + y);
    const std::string path = (dir / "pairs.psd").string();
    ASSERT_TRUE(formats::writeImage(formats::kPsdFormat, path.c_str(), {rgb.data(), w, h, w * 3, 3}, {}));
    formats::RgbaImage back;
    ASSERT_TRUE(formats::readImage(path.c_str(), back));
    ASSERT_EQ(back.width, w);
    ASSERT_EQ(back.height, h);
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i)
        ASSERT_EQ(0, std::memcmp(back.pixels.data() + i * 4, rgb.data() + i * 3, 3)) << i;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
