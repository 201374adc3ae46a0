// `paloran filter` and `paloran filters`: any named filter applied to a
// picture through PLR_IPLImageProcess, as a windowed host applies it, and
// the list of the names the engine knows.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"
#include "filter_call.h"
#include "paloran.h"

namespace plr::host {
namespace {

bool parseInt(const char* text, std::int32_t& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || end == text || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool parseColour(const char* text, FilterSettings& s) {
    std::int32_t rgb[3];
    std::string rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = rest.find(',');
        if ((i < 2) != (comma != std::string::npos)) return false;
        if (!parseInt(rest.substr(0, comma).c_str(), rgb[i]) || rgb[i] < 0 || rgb[i] > 255) return false;
        rest = i < 2 ? rest.substr(comma + 1) : "";
    }
    s.red = rgb[0], s.green = rgb[1], s.blue = rgb[2];
    return true;
}

// --p1..--p6 N, --opt1..--opt8 N, --color R,G,B, --text T, --random N.
bool parseSettings(int argc, char** argv, int first, FilterSettings& s, std::string& error) {
    for (int i = first; i < argc; i += 2) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            error = flag + " needs a value";
            return false;
        }
        const char* value = argv[i + 1];
        int k = 0;
        bool ok = true;
        if (flag.size() == 4 && flag.compare(0, 3, "--p") == 0 && (k = flag[3] - '0') >= 1 && k <= 6)
            ok = parseInt(value, s.p[k - 1]);
        else if (flag.size() == 6 && flag.compare(0, 5, "--opt") == 0 && (k = flag[5] - '0') >= 1 && k <= 8)
            ok = parseInt(value, s.option[k - 1]);
        else if (flag == "--color")
            ok = parseColour(value, s);
        else if (flag == "--text")
            s.text = value;
        else if (flag == "--random")
            ok = parseInt(value, s.random);
        else {
            error = "unknown option " + flag;
            return false;
        }
        if (!ok) {
            error = "bad value for " + flag + ": " + value;
            return false;
        }
    }
    return true;
}

}  // namespace

int runFilter(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "paloran: filter needs NAME IN OUT (see 'paloran filters' for the names)\n");
        return 2;
    }
    FilterSettings settings;
    settings.name = argv[0];
    std::string error;
    if (!parseSettings(argc, argv, 3, settings, error)) {
        std::fprintf(stderr, "paloran: filter: %s\n", error.c_str());
        return 2;
    }
    if (!knownFilterName(settings.name)) {
        std::fprintf(stderr, "paloran: filter: no filter is named \"%s\" (names are compared exactly; see 'paloran filters')\n",
                     settings.name.c_str());
        return 2;
    }
    Picture picture;
    if (!loadPicture(argv[1], picture, error) || !openPictureAsPage(picture, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    // Long filters on large pictures take a while: say what is running and how long it took.
    const bool large = static_cast<long long>(picture.width) * picture.height >= 4'000'000;
    if (large)
        std::fprintf(stderr, "paloran: running \"%s\" on %d x %d ...\n", settings.name.c_str(), picture.width,
                     picture.height);
    const auto start = std::chrono::steady_clock::now();
    if (!applyFilter(settings)) {
        std::fprintf(stderr, "paloran: filter \"%s\" failed: %s\n", settings.name.c_str(), PLR_GetLastError());
        return 1;
    }
    if (large)
        std::fprintf(stderr, "paloran: done in %.1f s\n",
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    Picture result;
    if (!pageLayerAsPicture(picture.width, picture.height, result, error) || !savePicture(argv[2], result, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int runFilterList(int argc, char**) {
    if (argc != 0) {
        std::fprintf(stderr, "paloran: filters takes no arguments\n");
        return 2;
    }
    std::size_t count = 0;
    const FilterListing* names = filterListing(count);
    for (std::size_t i = 0; i < count; ++i) std::printf("%-4s %s\n", names[i].pipeline, names[i].name);
    return 0;
}

}  // namespace plr::host
