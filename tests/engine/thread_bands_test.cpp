// Large page walks split into bands of rows on several threads give the
// bytes one thread gives: merges, flattening, whole-page geometry and every
// catalogue filter on random pictures, at 1, 2 and 7 threads, on odd
// heights, heights below the thread count and a one-row page. Bands go down
// to one row here, so that the small pictures take the banded paths.
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/block.h"
#include "core/parallel_rows.h"
#include "engine/filter_catalogue.h"
#include "engine/threading.h"
#include "engine_fixture.h"
#include "layers/blend_modes.h"
#include "platform/thread_pool.h"

namespace plr::test {
namespace {

constexpr std::int32_t kThreadCounts[] = {1, 2, 7};
struct Size {
    std::int32_t w, h;
};
constexpr Size kSizes[] = {{37, 23}, {5, 3}, {13, 1}, {64, 40}};

std::uint16_t value(std::mt19937& rng) {
    switch (rng() % 5) {
        case 0: return 0;
        case 1: return 0xFFFF;
        case 2: return 0xFF00;
        default: return static_cast<std::uint16_t>(rng());
    }
}

// A page of three random layers with random modes and opacities, layer 2 current.
void randomPage(std::uint32_t seed, Size s) {
    std::mt19937 rng(seed);
    PLR_CreateImage(nullptr, s.w, s.h, 8, 0);
    for (std::int32_t slot = 1; slot <= 3; ++slot) {
        ASSERT_EQ(PLR_CreateLayer(slot, s.w, s.h), 1);
        std::uint16_t* p = page().layers[slot].pixels.data();
        for (std::size_t i = 0; i < page().pixelCount() * 4; ++i) p[i] = value(rng);
        const std::string mode(kBlendModes[rng() % 40].name);
        PLR_SetLayerOptions(slot, 1, 0, static_cast<std::int32_t>(rng() % 101), mode.c_str());
    }
    PLR_SetLayer(2);
}

// The page's size, then every layer's size and pixels.
std::vector<std::uint16_t> pageBytes() {
    std::vector<std::uint16_t> out{static_cast<std::uint16_t>(page().width), static_cast<std::uint16_t>(page().height)};
    for (std::int32_t slot = 1; slot <= 3; ++slot) {
        const LayerRecord& l = page().layers[slot];
        if (!l.hasPixels()) continue;
        // A resize leaves the page's size to the host: each layer has its own.
        out.push_back(static_cast<std::uint16_t>(l.width));
        out.push_back(static_cast<std::uint16_t>(l.height));
        out.insert(out.end(), l.pixels.data(), l.pixels.data() + std::size_t(l.width) * std::size_t(l.height) * 4);
    }
    return out;
}

class ThreadBands : public EngineTest {
protected:
    // Runs `op` on the same random page at every thread count and checks
    // each result against the one-thread result.
    template <class Op>
    void sameAtEveryCount(const char* what, Op op) {
        std::uint32_t seed = 1;
        for (const Size s : kSizes) {
            std::vector<std::uint16_t> one;
            for (const std::int32_t threads : kThreadCounts) {
                resetEngine();  // the same random generator state for every count
                setThreadCount(threads, true);
                randomPage(seed, s);
                op();
                const std::vector<std::uint16_t> got = pageBytes();
                if (threads == 1) one = got;
                else EXPECT_TRUE(got == one) << what << " at " << threads << " threads, " << s.w << " x " << s.h;
            }
            ++seed;
        }
    }
};

TEST_F(ThreadBands, MergesAndFlatteningGiveOneThreadsBytes) {
    sameAtEveryCount("merge", [] { PLR_MergeLayer(3, 2); });
    sameAtEveryCount("paint-layer merge", [] {
        PLR_CreatePaintLayer(70, "Multiply");
        std::mt19937 rng(5);
        std::uint16_t* p = page().paintLayer.pixels.data();
        for (std::size_t i = 0; i < page().pixelCount() * 4; ++i) p[i] = value(rng);
        page().paintLayer.bounds = {0, 0, page().width, page().height};
        PLR_MergePaintLayer(2);
    });
    sameAtEveryCount("flatten", [] {
        std::vector<std::uint16_t> flat(page().pixelCount() * 4 + 1, 7);
        PLR_Merge(flat.data());
        std::memcpy(page().layers[3].pixels.data(), flat.data(), page().pixelCount() * 8);
    });
}

TEST_F(ThreadBands, WholePageGeometryGivesOneThreadsBytes) {
    sameAtEveryCount("horizontal flip", [] { PLR_IPLFlipHorizontal(); });
    sameAtEveryCount("vertical flip", [] { PLR_IPLFlipVertical(); });
    sameAtEveryCount("left turn", [] { PLR_IPLRotateLeft(); });
    sameAtEveryCount("right turn", [] { PLR_IPLRotateRight(); });
    sameAtEveryCount("bilinear", [] { PLR_IPLResize(page().width * 2 - 1, page().height * 3 / 2 + 1, "Bilinear"); });
    sameAtEveryCount("nearest", [] { PLR_IPLResize(page().width / 2 + 1, page().height * 2 + 1, "Nearest Neighbor"); });
    sameAtEveryCount("area average", [] { PLR_IPLResize(page().width / 2 + 1, page().height / 3 + 1, "Area Average"); });
    sameAtEveryCount("lanczos", [] { PLR_IPLResize(page().width * 3 / 2 + 1, page().height / 2 + 1, "Lanczos3"); });
    sameAtEveryCount("mitchell", [] { PLR_IPLResize(page().width / 3 + 1, page().height * 2 - 1, "Mitchell"); });
}

// The whole catalogue: each filter on the same picture at 1 and 7 threads
// (OpenCV's pool follows the count), on an odd height and on one row.
TEST_F(ThreadBands, EveryCatalogueFilterGivesOneThreadsBytes) {
    for (const Size s : {Size{27, 19}, Size{9, 1}}) {
        for (const CatalogueEntry& e : filterCatalogue()) {
            if (e.shape == Pipeline::None) continue;
            // Stored scripts are drawn on the calling thread; they add nothing here.
            if (e.name == "Pattern Explorer" || e.name.starts_with("Backgrounds ") ||
                e.name.starts_with("Texturize ") || e.name.starts_with("Displacement Bump ") || e.name == "Lua Filter")
                continue;
            const std::string name(e.name);
            std::vector<std::uint16_t> one;
            for (const std::int32_t threads : {1, 7}) {
                resetEngine();
                setThreadCount(threads, true);
                randomPage(11, s);
                PLR_IPLAllocSrcBuffer32();
                PLR_IPLAllocDstBuffer32();
                PLR_IPLImageProcess(0, name.c_str(), 1234, 350, 650, 400, 600, 450, 550, 0, 0, 1, 0, 0, 0, 0, 0, 200,
                                    120, 40, "");
                const std::vector<std::uint16_t> got = pageBytes();
                if (threads == 1) one = got;
                else EXPECT_TRUE(got == one) << name << " at " << threads << " threads, " << s.w << " x " << s.h;
            }
        }
    }
}

// A failure inside a band reaches the export's guard on the calling thread
// with the text one thread gives, for every allocation that can fail.
TEST_F(ThreadBands, FailuresInBandsReportOneThreadsText) {
    for (const char* filter : {"Emboss", "Brightness/Contrast", "Gaussian Blur"}) {
        std::vector<std::string> texts[2];
        int k = 0;
        for (const std::int32_t threads : {1, 7}) {
            forEachAllocationFailure(
                [&] {
                    setThreadCount(threads, true);
                    randomPage(3, {31, 17});
                    PLR_IPLAllocSrcBuffer32();
                    PLR_IPLAllocDstBuffer32();
                    PLR_SetLastError("");
                },
                [&] {
                    PLR_IPLImageProcess(0, filter, 1, 350, 650, 400, 600, 450, 550, 0, 0, 1, 0, 0, 0, 0, 0, 200, 120,
                                        40, "");
                },
                [&](int) { texts[k].push_back(PLR_GetLastError()); });
            ++k;
        }
        EXPECT_EQ(texts[0], texts[1]) << filter;
    }
    // Bands that allocate for themselves: the first failing band in row
    // order is raised on the calling thread; the other bands run to their end.
    for (const std::int32_t threads : kThreadCounts) {
        setThreadCount(threads, true);
        std::vector<int> rows(50, 0);
        bool raised = false;
        try {
            parallelRows(50, 1, [&](std::int32_t y0, std::int32_t y1) {
                for (std::int32_t y = y0; y < y1; ++y) {
                    if (y == 20 || y == 40) throw std::runtime_error(y == 20 ? "first" : "second");
                    Block<std::uint8_t> scratch;
                    need(scratch.allocate(64));
                    rows[static_cast<std::size_t>(y)] += 1;
                }
            });
        } catch (const std::runtime_error& e) {
            raised = true;
            EXPECT_STREQ(e.what(), "first") << threads;
        }
        EXPECT_TRUE(raised) << threads;
        for (int y = 0; y < 20; ++y) EXPECT_EQ(rows[std::size_t(y)], 1) << "row " << y << " at " << threads;
    }
}

// Every row in exactly one band, for any height and thread count; a walk
// inside a band runs on that band's thread; the pool stops and starts again.
TEST_F(ThreadBands, BandsCoverEveryRowOnce) {
    for (const std::int32_t threads : {1, 2, 3, 7, 64}) {
        for (const std::int32_t height : {1, 2, 6, 7, 8, 255, 1000}) {
            setThreadCount(threads, height % 2 == 0);
            std::vector<std::uint8_t> seen(static_cast<std::size_t>(height), 0);
            parallelRows(height, 3, [&](std::int32_t y0, std::int32_t y1) {
                ASSERT_LT(y0, y1);
                for (std::int32_t y = y0; y < y1; ++y) ++seen[static_cast<std::size_t>(y)];
                parallelRows(y1 - y0, 1, [&](std::int32_t a, std::int32_t b) { EXPECT_LE(b - a, y1 - y0); });
            });
            EXPECT_EQ(seen, std::vector<std::uint8_t>(static_cast<std::size_t>(height), 1))
                << height << " rows, " << threads << " threads";
        }
    }
    platform::stopThreadPool();
    EXPECT_EQ(platform::poolWorkers(), 0);
    setThreadCount(3, true);
    std::vector<std::uint8_t> seen(9, 0);
    parallelRows(9, 1, [&](std::int32_t y0, std::int32_t y1) {
        for (std::int32_t y = y0; y < y1; ++y) ++seen[static_cast<std::size_t>(y)];
    });
    EXPECT_EQ(seen, std::vector<std::uint8_t>(9, 1));
    EXPECT_GE(platform::poolWorkers(), 1);
}

}  // namespace
}  // namespace plr::test
