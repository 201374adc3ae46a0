// Grit textures and variation tables: exact bytes for a fixed seed against
// the cell generator, written out here independently.
#include <algorithm>
#include <cstring>
#include <vector>

#include "brush/grit_textures.h"
#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using GritTextures = EngineTest;

constexpr int kTable = 1000000;

std::vector<std::uint8_t> refTable(std::uint32_t seed, int modulus) {
    std::vector<std::uint8_t> t(kTable);
    RefRand r{seed};
    for (auto& v : t) v = static_cast<std::uint8_t>(r.next() % modulus);
    return t;
}

// The cell algorithm, written out independently of the engine. Cursors start
// at a draw times the window step (32-bit unsigned arithmetic) and wrap at the
// table's end; positions outside E x E consume no byte.
std::vector<std::vector<std::uint8_t>> refGrit(std::uint32_t seed, int maxBrush, int brush, int n, int cellT, int pixT,
                                               RefRand& r) {
    const auto A = refTable(seed, 255), B = refTable(seed, 254);
    const std::int64_t E = brush + 25;
    const std::uint32_t stepA = (kTable - 2u * static_cast<std::uint32_t>(n)) / 32767u;
    const std::uint32_t stepB = (kTable - 1u * static_cast<std::uint32_t>(n)) / 32767u;
    std::vector<std::vector<std::uint8_t>> out;
    for (int t = 0; t < 20; ++t) {
        std::vector<std::uint8_t> tex(static_cast<std::size_t>(maxBrush + 25) * (maxBrush + 25), 255);
        for (std::int64_t row = 0; row < E; row += n) {
            std::size_t a = (static_cast<std::uint32_t>(r.next()) * stepA) % kTable;
            std::size_t b = (static_cast<std::uint32_t>(r.next()) * stepB) % kTable;
            for (std::int64_t col = 0; col < E; col += n) {
                if (A[a++ % kTable] >= cellT) continue;
                const std::uint8_t level = B[b++ % kTable];
                for (std::int64_t i = 0; i < n && row + i < E; ++i)
                    for (std::int64_t j = 0; j < n && col + j < E; ++j)
                        if (A[a++ % kTable] < pixT) tex[static_cast<std::size_t>((row + i) * maxBrush + col + j)] = level;
            }
        }
        out.push_back(tex);
    }
    return out;
}

void setToolWith(int cell, int cellT, int pixT, const char* texture = "", int drawingLength = 7) {
    PLR_SetTool(1.0f, cell, cellT, pixT, 0, 0, drawingLength, 0, 0, 0, 0, 0, 0, texture, "", 0);
}

TEST_F(GritTextures, RandomCellsMatchTheCellGeneratorByteForByte) {
    PLR_SetRandomSeed(12345);
    PLR_CreateImage(nullptr, 32, 32, 40, 0);
    PLR_SetSize(30);
    setToolWith(3, 128, 200);
    RefRand r{12345};
    const auto expected = refGrit(12345, 40, 30, 3, 128, 200, r);
    for (int t = 0; t < 20; ++t) {
        const auto& g = page().brush.gritTextures[t];
        ASSERT_EQ(g.size(), expected[t].size());
        EXPECT_EQ(0, std::memcmp(g.data(), expected[t].data(), g.size())) << "texture " << t;
    }
    EXPECT_EQ(page().brush.currentGrit, 19);
    EXPECT_EQ(page().brush.drawingCounter, 7);
    // Not every texture is the same and some grit was set.
    EXPECT_NE(0, std::memcmp(page().brush.gritTextures[0].data(), page().brush.gritTextures[1].data(),
                             page().brush.gritTextures[0].size()));
}

TEST_F(GritTextures, SameSeedSameBytesAfterRecreatingThePage) {
    PLR_SetRandomSeed(77);
    PLR_CreateImage(nullptr, 16, 16, 24, 0);
    PLR_SetSize(24);
    setToolWith(5, 200, 100);
    std::vector<std::uint8_t> first(page().brush.gritTextures[4].data(),
                                    page().brush.gritTextures[4].data() + page().brush.gritTextures[4].size());
    PLR_DeleteImage();
    PLR_CreateImage(nullptr, 16, 16, 24, 0);
    setToolWith(5, 200, 100);
    EXPECT_EQ(0, std::memcmp(first.data(), page().brush.gritTextures[4].data(), first.size()));
}

TEST_F(GritTextures, ThresholdsZeroAndFull) {
    PLR_CreateImage(nullptr, 16, 16, 20, 0);
    PLR_SetSize(20);
    setToolWith(4, 0, 255);  // no cell passes: only 255
    for (const auto& g : page().brush.gritTextures)
        for (std::size_t i = 0; i < g.size(); ++i) ASSERT_EQ(g[i], 255);
    setToolWith(4, 255, 255);  // every cell and pixel: the whole E x E window has levels
    const auto& g = page().brush.gritTextures[0];
    for (int r = 0; r < 45; ++r)
        for (int c = 0; c < 45; ++c) ASSERT_LT(g[static_cast<std::size_t>(r) * 20 + c], 254) << r << "," << c;
}

TEST_F(GritTextures, CellSizeZeroLeavesTexturesAlone) {
    PLR_CreateImage(nullptr, 16, 16, 20, 0);
    PLR_SetSize(20);
    setToolWith(4, 128, 128);
    std::vector<std::uint8_t> before(page().brush.gritTextures[3].data(),
                                     page().brush.gritTextures[3].data() + page().brush.gritTextures[3].size());
    page().brush.drawingCounter = 99;
    setToolWith(0, 128, 128);
    EXPECT_EQ(0, std::memcmp(before.data(), page().brush.gritTextures[3].data(), before.size()));
    EXPECT_EQ(page().brush.drawingCounter, 99);
    // Negative cell sizes would never end the cell walk: they build nothing.
    setToolWith(-3, 128, 128);
    EXPECT_EQ(0, std::memcmp(before.data(), page().brush.gritTextures[3].data(), before.size()));
}

TEST_F(GritTextures, HugeCellsStayInsideTheRandomTables) {
    // Cells this large read far more bytes than remain after the cursor's
    // start; the cursor wraps instead of leaving the table, and the bytes are
    // still the generator's.
    PLR_SetRandomSeed(99);
    PLR_CreateImage(nullptr, 16, 16, 600, 0);
    PLR_SetSize(600);
    for (const int cell : {600, 2000000000}) {
        setToolWith(cell, 255, 128);
        RefRand r{99};
        const auto expected = refGrit(99, 600, 600, cell, 255, 128, r);
        for (int t = 0; t < 20; ++t) {
            const auto& g = page().brush.gritTextures[t];
            ASSERT_EQ(g.size(), expected[t].size());
            ASSERT_EQ(0, std::memcmp(g.data(), expected[t].data(), g.size())) << "cell " << cell << " texture " << t;
        }
        // Every cell passes at threshold 255: the one big cell carries a level
        // wherever its pixel byte fell below 128, and only there.
        const auto& g = page().brush.gritTextures[0];
        const auto set = std::count_if(g.data(), g.data() + g.size(), [](std::uint8_t v) { return v != 255; });
        EXPECT_GT(set, 1000) << "cell " << cell;
        EXPECT_LT(set, static_cast<std::ptrdiff_t>(g.size())) << "cell " << cell;
    }
}

TEST_F(GritTextures, VariationTablesFollowTheSeed) {
    PLR_SetRandomSeed(4242);
    PLR_CreateImage(nullptr, 8, 8, 30, 0);
    PLR_SetPixColorVary(5);
    PLR_SetPixLumVary(3);
    RefRand c{4242}, l{4242};
    const auto& ct = page().brush.colorVaryTable;
    const auto& lt = page().brush.lumVaryTable;
    ASSERT_EQ(ct.length, 90);
    ASSERT_EQ(lt.length, 90);
    for (int i = 0; i < 90; ++i) {
        EXPECT_EQ(ct.data[i], static_cast<std::uint8_t>((c.next() % 1000) & 0xFF)) << i;
        EXPECT_EQ(lt.data[i], l.next() % 256) << i;
    }
    EXPECT_EQ(page().brush.settings.pixColorVary, 5);
    // Zero stores the range and builds nothing.
    PLR_SetPixLumVary(0);
    EXPECT_EQ(page().brush.settings.pixLumVary, 0);
}

TEST_F(GritTextures, VariationTableAllocationFailureIsReported) {
    PLR_CreateImage(nullptr, 8, 8, 30, 0);
    mem::injectFailure(1);
    PLR_SetPixColorVary(5);
    mem::injectFailure(0);
    EXPECT_STREQ(PLR_GetLastError(), "MakeRandArrayByte Excpt");
}

TEST_F(GritTextures, ImageSourceWindowsFollowTheDraws) {
    const auto dir = scratchDir();
    const auto path = (dir / "grain.png").string();
    auto value = [](int x, int y) { return (x * 7 + y * 13) & 255; };
    writePng(path, 64, 64, greyPicture(64, 64, value));
    PLR_SetRandomSeed(99);
    PLR_CreateImage(nullptr, 16, 16, 40, 0);
    PLR_SetSize(10);
    setToolWith(0, 0, 0, path.c_str(), 5);
    RefRand r{99};
    const int E = 35;
    for (int t = 0; t < 20; ++t) {
        const int x = r.next() % (64 - E), y = r.next() % (64 - E);
        const auto& g = page().brush.gritTextures[t];
        for (int row = 0; row < 65; ++row)
            for (int col = 0; col < 40; ++col) {
                const std::uint8_t want = row < E && col < E ? value(x + col, y + row) : 255;
                ASSERT_EQ(g[static_cast<std::size_t>(row) * 40 + col], want) << t << ":" << row << "," << col;
            }
    }
    EXPECT_EQ(page().brush.drawingCounter, 5);
}

TEST_F(GritTextures, SourceSmallerThanTheWindowIsCopiedWithoutReadingPastIt) {
    const auto dir = scratchDir();
    const auto path = (dir / "small.png").string();
    writePng(path, 20, 12, greyPicture(20, 12, [](int x, int y) { return x + 10 * y; }));
    PLR_CreateImage(nullptr, 16, 16, 40, 0);
    PLR_SetSize(10);
    setToolWith(0, 0, 0, path.c_str());
    const auto& g = page().brush.gritTextures[7];
    for (int row = 0; row < 40; ++row)
        for (int col = 0; col < 40; ++col) {
            const std::uint8_t want = row < 12 && col < 20 ? col + 10 * row : 255;
            ASSERT_EQ(g[static_cast<std::size_t>(row) * 40 + col], want) << row << "," << col;
        }
}

TEST_F(GritTextures, ScriptSourceIsTiledAndAnUnreadableSourceChangesNothing) {
    const auto dir = scratchDir();
    const auto script = (dir / "flat.efs").string();
    writeText(script, "effect-script 1\nsize 7 5\nfill 90 90 90 255\n");
    PLR_CreateImage(nullptr, 16, 16, 40, 0);
    PLR_SetSize(30);
    setToolWith(0, 0, 0, script.c_str(), 3);
    for (const auto& g : page().brush.gritTextures)
        for (int row = 0; row < 40; ++row)
            for (int col = 0; col < 40; ++col) ASSERT_EQ(g[static_cast<std::size_t>(row) * 40 + col], 90);
    EXPECT_EQ(page().brush.drawingCounter, 3);
    page().brush.drawingCounter = 0;
    setToolWith(0, 0, 0, (dir / "missing.png").string().c_str(), 3);
    EXPECT_EQ(page().brush.gritTextures[0][0], 90);
    EXPECT_EQ(page().brush.drawingCounter, 0);
    std::filesystem::remove_all(dir);
}

TEST_F(GritTextures, AllocationFailuresInsideSetToolAreCaught) {
    const auto dir = scratchDir();
    const auto path = (dir / "grain.png").string();
    writePng(path, 64, 64, greyPicture(64, 64, [](int x, int) { return x * 3; }));
    PLR_CreateImage(nullptr, 16, 16, 40, 0);
    PLR_SetSize(10);
    const auto live = mem::stats().liveBlocks;
    forEachAllocationFailure([] { PLR_SetLastError(""); },
                             [&] { setToolWith(3, 128, 128, path.c_str()); },
                             [&](int) { EXPECT_EQ(mem::stats().liveBlocks, live); });
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plr::test
