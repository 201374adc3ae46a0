// `paloran fill`: the paint bucket on a picture file, through the engine's
// exports as a windowed host drives it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"
#include "paloran.h"

namespace plr::host {
namespace {

constexpr const char* kModes[] = {"Paint Non-connected", "Erase Non-connected", "Paint Connected",
                                  "Erase Connected",     "Paint Alpha Connected", "Paint Alpha Non-Connected"};

// "A,B" or "A,B,C" of integers into `out`; false on anything else.
bool parseInts(const char* text, int* out, int count) {
    const char* p = text;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p || v < -100000 || v > 100000) return false;
        out[i] = static_cast<int>(v);
        p = end;
        if (i + 1 < count) {
            if (*p != ',') return false;
            ++p;
        }
    }
    return *p == '\0';
}

int usage(const char* why) {
    std::fprintf(stderr, "paloran fill: %s\nusage: paloran fill IN OUT --at X,Y --color R,G,B [--tolerance PERCENT] [--mode TEXT]\nmodes:",
                 why);
    for (const char* m : kModes) std::fprintf(stderr, " \"%s\"", m);
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int runFill(int argc, char** argv) {
    if (argc < 2) return usage("needs an input and an output picture");
    const std::string in = argv[0], out = argv[1];
    int at[2] = {}, colour[3] = {};
    bool haveAt = false, haveColour = false;
    double tolerancePercent = 0;
    const char* mode = "Paint Connected";
    for (int i = 2; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return usage(("missing value after " + option).c_str());
        const char* value = argv[i + 1];
        if (option == "--at") {
            if (!parseInts(value, at, 2)) return usage("--at takes X,Y");
            haveAt = true;
        } else if (option == "--color") {
            if (!parseInts(value, colour, 3) || colour[0] < 0 || colour[0] > 255 || colour[1] < 0 ||
                colour[1] > 255 || colour[2] < 0 || colour[2] > 255)
                return usage("--color takes R,G,B, each 0..255");
            haveColour = true;
        } else if (option == "--tolerance") {
            char* end = nullptr;
            tolerancePercent = std::strtod(value, &end);
            if (end == value || *end || !(tolerancePercent >= 0 && tolerancePercent <= 100))
                return usage("--tolerance takes a percentage 0..100");
        } else if (option == "--mode") {
            mode = value;
            bool known = false;
            for (const char* m : kModes) known = known || std::strcmp(m, mode) == 0;
            if (!known) return usage(("unknown mode \"" + std::string(mode) + "\"").c_str());
        } else {
            return usage(("unknown option " + option).c_str());
        }
    }
    if (!haveAt || !haveColour) return usage("needs --at and --color");

    Picture picture;
    std::string error;
    if (!loadPicture(in, picture, error)) {
        std::fprintf(stderr, "paloran fill: %s\n", error.c_str());
        return 1;
    }
    if (at[0] < 0 || at[1] < 0 || at[0] >= picture.width || at[1] >= picture.height)
        return usage("the seed lies outside the picture");
    if (!openPictureAsPage(picture, error)) {
        std::fprintf(stderr, "paloran fill: %s\n", error.c_str());
        return 1;
    }
    // The engine takes the tolerance as percent * 500.
    const int tolerance = static_cast<int>(std::lround(tolerancePercent * 500));
    PLR_SetLastError("");
    PLR_IPLFloodFill(colour[0], colour[1], colour[2], at[0], at[1], tolerance, mode);
    const bool failed = *PLR_GetLastError() != '\0';
    if (failed) error = std::string("the fill failed: ") + PLR_GetLastError();
    Picture result;
    const bool ok = !failed && pageLayerAsPicture(picture.width, picture.height, result, error) &&
                    savePicture(out, result, error);
    PLR_DeleteImage();
    if (!ok) {
        std::fprintf(stderr, "paloran fill: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace plr::host
