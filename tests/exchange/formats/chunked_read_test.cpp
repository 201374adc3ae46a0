// The engine's own readers take uncompressed rows from the file a chunk at
// a time: pictures of several chunks (rows in file order bottom-up and
// top-down, planar channels) come out as the bytes say, a spare byte first
// used after the first chunk still turns alpha on for the whole picture,
// and a file cut short anywhere in its rows is refused. Run-length PSD,
// unpacked a picture row at a time, keeps exactly the rows stored before a cut.
#include <cstring>
#include <filesystem>
#include <vector>

#include "exchange/formats/image_formats.h"
#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using ChunkedRead = EngineTest;
using formats::RgbaImage;

void put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes, bool big = false) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * (big ? bytes - 1 - i : i)));
}

// Sample c (0 red .. 3 alpha) of picture pixel (x, y): varied, never constant along a row or a column.
std::uint8_t sample(int x, int y, int c) { return static_cast<std::uint8_t>(x * 7 + y * 13 + c * 61 + (x * y) % 11); }

constexpr int kW = 301, kH = 400;  // 301 x 400 x 4 bytes: several chunks

std::vector<std::uint8_t> expected(bool alpha) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(kW) * kH * 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < 4; ++c)
                v[(static_cast<std::size_t>(y) * kW + x) * 4 + c] = c == 3 && !alpha ? 255 : sample(x, y, c);
    return v;
}

// A 40-byte-header BMP of 24 or 32 bits, bottom row first; `spare(x, y)` the 32-bit fourth byte.
template <class Spare>
std::vector<std::uint8_t> bmp(int bpp, Spare spare) {
    const std::size_t stride = (static_cast<std::size_t>(kW) * bpp / 8 + 3) / 4 * 4;
    std::vector<std::uint8_t> b(54 + stride * kH, 0);
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    put(b, 10, 54, 4);
    put(b, 14, 40, 4);
    put(b, 18, kW, 4);
    put(b, 22, kH, 4);
    put(b, 26, 1, 2);
    put(b, 28, static_cast<std::uint32_t>(bpp), 2);
    for (int y = 0; y < kH; ++y) {
        std::uint8_t* row = b.data() + 54 + stride * (kH - 1 - y);
        for (int x = 0; x < kW; ++x, row += bpp / 8) {
            row[0] = sample(x, y, 2);
            row[1] = sample(x, y, 1);
            row[2] = sample(x, y, 0);
            if (bpp == 32) row[3] = spare(x, y);
        }
    }
    return b;
}

// Reads `bytes` as a file; then every cut of the file inside its pixel data must be refused.
void readsAsAndRefusesCuts(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& want,
                           std::size_t pixelsFrom, const char* what) {
    const auto dir = scratchDir();
    const std::string path = (dir / "p").string();
    writeBytes(dir / "p", bytes);
    RgbaImage img;
    ASSERT_TRUE(formats::readImage(path.c_str(), img)) << what;
    ASSERT_EQ(img.width, kW) << what;
    ASSERT_EQ(img.height, kH) << what;
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), want.data(), want.size())) << what;
    for (std::size_t cut : {bytes.size() - 1, pixelsFrom + (bytes.size() - pixelsFrom) / 2, pixelsFrom + 1}) {
        const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(cut);
        writeBytes(dir / "p", std::vector<std::uint8_t>(bytes.begin(), end));
        EXPECT_FALSE(formats::readImage(path.c_str(), img)) << what << " cut at " << cut;
    }
    std::filesystem::remove_all(dir);
}

TEST_F(ChunkedRead, BmpRowsAcrossChunks) {
    readsAsAndRefusesCuts(bmp(24, [](int, int) { return 0; }), expected(false), 54, "24-bit");
    readsAsAndRefusesCuts(bmp(32, [](int, int) { return 0; }), expected(false), 54, "32-bit, spare byte unused");
    // The one used spare byte sits in the file's last rows (the picture's top): every other pixel's alpha is 0.
    auto want = expected(true);
    for (std::size_t i = 3; i < want.size(); i += 4) want[i] = 0;
    want[(5 * kW + 9) * 4 + 3] = 77;
    readsAsAndRefusesCuts(bmp(32, [](int x, int y) { return x == 9 && y == 5 ? 77 : 0; }), want, 54,
                          "32-bit, spare byte used late");
    readsAsAndRefusesCuts(bmp(32, [](int x, int y) { return sample(x, y, 3); }), expected(true), 54,
                          "32-bit, spare byte used throughout");
}

TEST_F(ChunkedRead, TgaRowsAcrossChunks) {
    for (int depth : {24, 32})
        for (bool topDown : {false, true}) {
            const int size = depth / 8;
            std::vector<std::uint8_t> b(18 + static_cast<std::size_t>(kW) * kH * size, 0);
            b[2] = 2;
            put(b, 12, kW, 2);
            put(b, 14, kH, 2);
            b[16] = static_cast<std::uint8_t>(depth);
            b[17] = static_cast<std::uint8_t>((topDown ? 0x20 : 0) | (depth == 32 ? 8 : 0));
            for (int y = 0; y < kH; ++y) {
                std::uint8_t* row = b.data() + 18 + static_cast<std::size_t>(topDown ? y : kH - 1 - y) * kW * size;
                for (int x = 0; x < kW; ++x, row += size) {
                    row[0] = sample(x, y, 2);
                    row[1] = sample(x, y, 1);
                    row[2] = sample(x, y, 0);
                    if (depth == 32) row[3] = sample(x, y, 3);
                }
            }
            readsAsAndRefusesCuts(b, expected(depth == 32), 18, topDown ? "top-down TGA" : "bottom-up TGA");
        }
}

TEST_F(ChunkedRead, PsdPlanesAcrossChunks) {
    // RGB 8-bit (three planes) and RGB 16-bit with alpha (four planes, high bytes kept).
    for (int depth : {8, 16}) {
        const int channels = depth == 8 ? 3 : 4, bytes = depth / 8;
        const std::size_t plane = static_cast<std::size_t>(kW) * kH * bytes;
        std::vector<std::uint8_t> b(26 + 12 + 2 + plane * channels, 0);
        std::memcpy(b.data(), "8BPS", 4);
        put(b, 4, 1, 2, true);
        put(b, 12, static_cast<std::uint32_t>(channels), 2, true);
        put(b, 14, kH, 4, true);
        put(b, 18, kW, 4, true);
        put(b, 22, static_cast<std::uint32_t>(depth), 2, true);
        put(b, 24, 3, 2, true);
        const std::size_t data = 26 + 12 + 2;  // three empty sections, then raw (0)
        for (int c = 0; c < channels; ++c)
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const std::size_t at = data + c * plane + (static_cast<std::size_t>(y) * kW + x) * bytes;
                    b[at] = sample(x, y, c);
                    if (bytes == 2) b[at + 1] = static_cast<std::uint8_t>(x);  // the low byte is dropped
                }
        readsAsAndRefusesCuts(b, expected(channels == 4), data, depth == 8 ? "PSD RGB" : "PSD RGBA 16-bit");
    }
}

TEST_F(ChunkedRead, PsdPackBitsCutShortKeepsTheRowsStoredBeforeTheCut) {
    const auto want = expected(true);
    const auto dir = scratchDir();
    const std::string path = (dir / "p.psd").string();
    ASSERT_TRUE(formats::writeImage(formats::kPsdFormat, path.c_str(), {want.data(), kW, kH, kW * 4, 4}, {}));
    const auto bytes = readBytes(dir / "p.psd");
    // No resources or layers: the length table (4 channels) at 40, the rows after it, channel after channel.
    const std::size_t table = 40, data = table + 4 * kH * 2;
    auto rowLength = [&](int ch, int y) {
        const std::size_t at = table + static_cast<std::size_t>(ch * kH + y) * 2;
        return (std::size_t{bytes[at]} << 8) | bytes[at + 1];
    };
    RgbaImage img;
    ASSERT_TRUE(formats::readImage(path.c_str(), img));
    EXPECT_EQ(0, std::memcmp(img.pixels.data(), want.data(), want.size()));
    for (int cutRow : {0, 150, kH - 1}) {
        // Cut one byte into green's row `cutRow`: red whole, green above the row, blue and alpha 0.
        std::size_t cut = data;
        for (int y = 0; y < kH; ++y) cut += rowLength(0, y);
        for (int y = 0; y < cutRow; ++y) cut += rowLength(1, y);
        const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(cut + 1);
        writeBytes(dir / "p.psd", std::vector<std::uint8_t>(bytes.begin(), end));
        ASSERT_TRUE(formats::readImage(path.c_str(), img)) << cutRow;
        auto cutWant = want;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                std::uint8_t* p = cutWant.data() + (static_cast<std::size_t>(y) * kW + x) * 4;
                if (y >= cutRow) p[1] = 0;
                p[2] = p[3] = 0;
            }
        EXPECT_EQ(0, std::memcmp(img.pixels.data(), cutWant.data(), cutWant.size())) << cutRow;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
