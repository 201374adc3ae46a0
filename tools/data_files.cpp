#include "data_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace plr::host {

namespace fs = std::filesystem;

std::string dataDirectory() {
    if (const char* dir = std::getenv("PALORAN_DATA_DIR"); dir && *dir) return dir;
#ifdef __linux__
    std::error_code ec;
    const fs::path program = fs::canonical("/proc/self/exe", ec);
    if (!ec) return (program.parent_path().parent_path() / "share" / "paloran").string();
#endif
    return {};
}

std::string findDataFile(const std::string& given, const char* folder) {
    std::error_code ec;
    if (given.empty() || fs::is_regular_file(given, ec)) return given;
    const fs::path name(given);
    // Only bare names: a path the user spelled out is not second-guessed.
    if (name.has_parent_path() || name.is_absolute()) return given;
    const std::string dir = dataDirectory();
    if (dir.empty()) return given;
    const fs::path shipped = fs::path(dir) / folder / name;
    return fs::is_regular_file(shipped, ec) ? shipped.string() : given;
}

}  // namespace plr::host
