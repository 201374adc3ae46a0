// The image-file corpus (tests/data/images, made by scripts/make-test-images.sh
// with Pillow and byte-level writers): every variant reads to the pixels its
// generator recorded, through the format table and through PLR_ReadFromFile;
// cut-short and corrupted copies are refused or read without harm, and a
// refused read leaves the transfer image as it was.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "brush_test_support.h"
#include "engine_fixture.h"
#include "exchange/formats/image_formats.h"

namespace plr::test {
namespace {

using ImageCorpus = EngineTest;

struct Entry {
    std::string name;
    int width = 0, height = 0, tolerance = 0;
};

std::string corpusPath(const std::string& name) { return std::string(PALORAN_TEST_DATA) + "/images/" + name; }

std::vector<Entry> corpus() {
    std::vector<Entry> entries;
    std::ifstream in(corpusPath("manifest.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        Entry e;
        std::istringstream(line) >> e.name >> e.width >> e.height >> e.tolerance;
        entries.push_back(e);
    }
    return entries;
}

// Largest channel difference; pixels transparent in both compare by alpha alone.
int largestDifference(const std::uint8_t* got, const std::vector<std::uint8_t>& want) {
    int worst = 0;
    for (std::size_t i = 0; i + 3 < want.size(); i += 4) {
        const int channels = got[i + 3] == 0 && want[i + 3] == 0 ? 0 : 3;
        for (int c = 0; c < channels; ++c) worst = std::max(worst, std::abs(got[i + c] - want[i + c]));
        worst = std::max(worst, std::abs(got[i + 3] - want[i + 3]));
    }
    return worst;
}

void checkEntry(const Entry& e) {
    {
        const std::vector<std::uint8_t> want = readBytes(corpusPath(e.name + ".rgba"));
        ASSERT_EQ(want.size(), static_cast<std::size_t>(e.width) * e.height * 4);
        formats::RgbaImage img;
        ASSERT_TRUE(formats::readImage(corpusPath(e.name).c_str(), img));
        ASSERT_EQ(img.width, e.width);
        ASSERT_EQ(img.height, e.height);
        EXPECT_LE(largestDifference(img.pixels.data(), want), e.tolerance);
        formats::ImageInfo info;
        ASSERT_TRUE(formats::readImageInfo(corpusPath(e.name).c_str(), info));
        EXPECT_EQ(info.width, e.width);
        EXPECT_EQ(info.height, e.height);

        // The same through the export, without a page (metafiles at their own size).
        ASSERT_EQ(PLR_ReadFromFile(corpusPath(e.name).c_str()), 1);
        ASSERT_EQ(PLR_GetNewRGBAWidth(), e.width);
        ASSERT_EQ(PLR_GetNewRGBAHeight(), e.height);
        std::vector<std::uint8_t> out(want.size());
        PLR_GetNewRGBA32(out.data());
        EXPECT_LE(largestDifference(out.data(), want), e.tolerance);
    }
}

TEST_F(ImageCorpus, EveryVariantReadsToItsRecordedPixels) {
    const std::vector<Entry> entries = corpus();
    ASSERT_GE(entries.size(), 60u) << "run scripts/make-test-images.sh";
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name);
        checkEntry(e);
    }
}

TEST_F(ImageCorpus, CutShortOrCorruptedFilesAreRefusedOrReadWithinBounds) {
    const auto dir = scratchDir();
    const std::string damaged = (dir / "damaged").string();
    const std::uint8_t keep[4] = {1, 2, 3, 4};
    for (const Entry& e : corpus()) {
        SCOPED_TRACE(e.name);
        const std::vector<std::uint8_t> bytes = readBytes(corpusPath(e.name));
        std::vector<std::vector<std::uint8_t>> variants;
        for (std::size_t cut : {std::size_t{1}, std::size_t{8}, std::size_t{20}, bytes.size() / 2, bytes.size() - 1})
            if (cut < bytes.size()) variants.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        // Every header byte in turn set to 0xFF: sizes, offsets and counts become huge.
        for (std::size_t at = 0; at < bytes.size() && at < 64; ++at) {
            variants.push_back(bytes);
            variants.back()[at] = 0xFF;
        }
        for (const auto& v : variants) {
            // A known transfer image before each read: a refused read must leave it.
            PLR_DeleteNewRGBA();
            ASSERT_EQ(PLR_ReadFromFile(corpusPath("png_rgba.png").c_str()), 1);
            writeBytes(damaged, v);
            if (PLR_ReadFromFile(damaged.c_str()) == 0) {
                EXPECT_EQ(PLR_GetNewRGBAWidth(), 13);
                EXPECT_EQ(PLR_GetNewRGBAHeight(), 7);
                std::vector<std::uint8_t> first(13 * 7 * 4);
                PLR_GetNewRGBA32(first.data());
                EXPECT_EQ(first[0], 20);
            } else {
                EXPECT_GT(PLR_GetNewRGBAWidth(), 0);
            }
            std::uint8_t sized[4];
            std::memcpy(sized, keep, 4);
            PLR_ReadFromFileRGBA32(sized, 1, 1, damaged.c_str());
            (void)PLR_GetDPIFromFile(damaged.c_str());
        }
    }
    std::filesystem::remove_all(dir);
}

// Headers that ask for more than the decode cap are refused before any
// pixel memory is asked for.
TEST_F(ImageCorpus, HugeDimensionsAreRefusedBeforeAllocating) {
    const auto dir = scratchDir();
    struct Huge {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> bmp(54, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[14] = 40, bmp[26] = 1, bmp[28] = 24;
    bmp[18] = 0xFF, bmp[19] = 0xFF, bmp[20] = 0x00;  // 65535 wide
    bmp[22] = 0xFF, bmp[23] = 0xFF, bmp[24] = 0x00;  // 65535 high
    std::vector<std::uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 32, 0x20};
    std::vector<std::uint8_t> psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0x80, 0, 0, 0, 0x80, 0, 0, 8, 0, 3};
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[0] = 10, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[8] = 0xFF, pcx[9] = 0xFF, pcx[10] = 0xFF, pcx[11] = 0xFF;
    pcx[65] = 3, pcx[66] = 0xFF, pcx[67] = 0xFF;
    const Huge files[] = {{"huge.bmp", bmp}, {"huge.tga", tga}, {"huge.psd", psd}, {"huge.pcx", pcx}};
    for (const Huge& h : files) {
        SCOPED_TRACE(h.name);
        writeBytes(dir / h.name, h.bytes);
        const auto before = mem::stats();
        formats::RgbaImage img;
        EXPECT_FALSE(formats::readImage((dir / h.name).string().c_str(), img));
        // At most the file itself was read into memory.
        EXPECT_LE(mem::stats().allocations - before.allocations, 1u);
        EXPECT_EQ(PLR_ReadFromFile((dir / h.name).string().c_str()), 0);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
