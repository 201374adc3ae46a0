#pragma once
// The stored effect scripts shipped in data/effects/<category>/, as the tests
// find them in the source tree.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace plr::test {

inline std::filesystem::path effectLibraryFolder() { return std::filesystem::path(PALORAN_SOURCE_DIR) / "data" / "effects"; }

// Every shipped script, sorted.
inline std::vector<std::string> shippedEffectScripts() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(effectLibraryFolder()))
        if (e.is_regular_file() && e.path().extension() == ".efs") out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace plr::test
