// paloran lua: runs a Lua filter script over a picture, as a windowed host's
// "Lua Filter" does: the picture becomes the page's current layer, the
// processing buffers are taken around the run, and the filtered layer is
// written out. Script errors appear on standard error ("Lua Script Error: ...").
// A script that records a paint script writes it to scripts/luapaint.srp
// under the start directory (--start-dir, default the current directory).
// A bare script name that is no file here names one of the shipped filters
// (share/paloran/lua).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "commands.h"
#include "data_files.h"
#include "paloran.h"

namespace plr::host {
namespace {

struct LuaOptions {
    std::string script, input, output, startDir;
    std::int32_t sliders[6] = {};
    std::int32_t styles[2] = {};
    std::int32_t flags[6] = {};
};

// "--p3" and the like: the index (1-based) after `prefix` when it is 1..count.
int optionIndex(const std::string& a, const char* prefix, int count) {
    const std::size_t n = std::strlen(prefix);
    if (a.size() != n + 1 || a.compare(0, n, prefix) != 0) return 0;
    const int i = a[n] - '0';
    return i >= 1 && i <= count ? i : 0;
}

bool parseWhole(const char* text, std::int32_t& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool parseLuaOptions(int argc, char** argv, LuaOptions& o, std::string& error) {
    std::string* positional[] = {&o.script, &o.input, &o.output};
    int given = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        std::int32_t* target = nullptr;
        if (int k = optionIndex(a, "--p", 6)) target = &o.sliders[k - 1];
        else if (int k = optionIndex(a, "--style", 2)) target = &o.styles[k - 1];
        else if (int k = optionIndex(a, "--flag", 6)) target = &o.flags[k - 1];
        if (target || a == "--start-dir") {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            const char* v = argv[++i];
            if (!target) {
                o.startDir = v;
            } else if (!parseWhole(v, *target)) {
                error = a + " takes a whole number";
                return false;
            }
        } else if (!a.empty() && a[0] != '-' && given < 3) {
            *positional[given++] = a;
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    if (given < 3) {
        error = "lua needs SCRIPT IN OUT";
        return false;
    }
    return true;
}

// The engine puts the paint-script path right after the start directory: it
// must end with a separator.
std::string startDirectory(const std::string& given) {
    std::error_code ec;
    std::string dir = given.empty() ? std::filesystem::current_path(ec).string() : given;
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    if (!dir.empty() && dir.back() != '/' && dir.back() != sep) dir += sep;
    return dir;
}

}  // namespace

int runLua(int argc, char** argv) {
    LuaOptions o;
    std::string error;
    if (!parseLuaOptions(argc, argv, o, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 2;
    }
    o.script = findDataFile(o.script, "lua");
    Picture picture;
    if (!loadPicture(o.input, picture, error) || !openPictureAsPage(picture, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    const std::string startDir = startDirectory(o.startDir);
    PLR_SetStartDir(startDir.c_str());
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    PLR_LuaFilterRun(o.script.c_str(), o.sliders[0], o.sliders[1], o.sliders[2], o.sliders[3], o.sliders[4],
                     o.sliders[5], o.styles[0], o.styles[1], o.flags[0], o.flags[1], o.flags[2], o.flags[3], o.flags[4],
                     o.flags[5]);
    PLR_IPLFreeSrcBuffer32();
    PLR_IPLFreeDstBuffer32();
    const bool ok = pageLayerAsPicture(picture.width, picture.height, picture, error) &&
                    savePicture(o.output, picture, error);
    PLR_DeleteImage();
    if (!ok) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    std::printf("lua: %s on %dx%d -> %s\n", o.script.c_str(), picture.width, picture.height, o.output.c_str());
    return 0;
}

}  // namespace plr::host
