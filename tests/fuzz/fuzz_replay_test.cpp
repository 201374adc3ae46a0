// The engine-level fuzz targets replayed in the normal suite: every seed of
// each target (fuzz/seeds/<target>) and every input a fuzzer once failed on
// (tests/data/fuzz-regressions/<target>) runs through the target's entry
// function, which aborts on a fault; the engine ends with no block alive.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "fuzz/fuzz_targets.h"

namespace plr::test {
namespace {

namespace fs = std::filesystem;
using FuzzReplay = EngineTest;

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(FuzzReplay, EveryTargetRunsItsSeedsAndPastFindings) {
    for (const fuzz::Target& t : fuzz::kTargets) {
        const auto seeds = filesIn(fs::path(PALORAN_SOURCE_DIR) / "fuzz" / "seeds" / t.name);
        const auto found = filesIn(fs::path(PALORAN_TEST_DATA) / "fuzz-regressions" / t.name);
        EXPECT_FALSE(seeds.empty()) << t.name << " has no seeds";
        std::vector<fs::path> all = seeds;
        all.insert(all.end(), found.begin(), found.end());
        for (const fs::path& file : all) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(file.string());
            EXPECT_EQ(t.entry(bytes.data(), bytes.size()), 0);
            EXPECT_EQ(mem::stats().liveBlocks, 0);
        }
    }
}

}  // namespace
}  // namespace plr::test
