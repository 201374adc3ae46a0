// paloran draw IN OUT: rectangles, ellipses, gradients and text on a
// picture, through the drawing exports, in the order given.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "paloran.h"

namespace plr::host {

namespace {

// What the drawing options use; each drawing takes the settings in force
// when the next drawing option (or the end) is reached.
struct Settings {
    int color[3] = {0, 0, 0};
    int opacity = 100;
    int colors[12] = {};
    int colorCount = 2;
    std::string kind = "Linear";
    int at[2] = {0, 0};
    std::string font = "DejaVu Sans";
    int height = 32, weight = 400;
    bool italic = false, aliased = false;
};

struct Drawing {
    std::string what;  // "rect", "ellipse", "gradient", "text"
    int box[4] = {};
    std::string text;
    Settings settings;
};

// Reads exactly `n` comma-separated integers.
bool parseInts(const char* s, int* out, int n) {
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        const long v = std::strtol(s, &end, 10);
        if (end == s || v < -1000000 || v > 1000000) return false;
        out[i] = static_cast<int>(v);
        if (i + 1 < n) {
            if (*end != ',') return false;
            s = end + 1;
        } else if (*end != '\0') {
            return false;
        }
    }
    return true;
}

// "R,G,B[;R,G,B...]", one to four colours.
bool parseColors(const char* s, Settings& st) {
    int count = 0;
    std::string all(s);
    for (std::size_t start = 0; count < 5;) {
        const std::size_t semi = all.find(';', start);
        const std::string one = all.substr(start, semi == std::string::npos ? semi : semi - start);
        if (count == 4 || !parseInts(one.c_str(), st.colors + count * 3, 3)) return false;
        ++count;
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    st.colorCount = count;
    return true;
}

void draw(const Drawing& d) {
    const Settings& s = d.settings;
    const int* c = s.color;
    const int* b = d.box;
    if (d.what == "rect") {
        PLR_IPLRectangle(c[0], c[1], c[2], b[0], b[1], b[2], b[3], s.opacity);
    } else if (d.what == "ellipse") {
        PLR_IPLEllipse(c[0], c[1], c[2], b[0], b[1], b[2], b[3], s.opacity);
    } else if (d.what == "gradient") {
        const int* g = s.colors;
        PLR_IPLGradient(g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7], g[8], g[9], g[10], g[11], s.colorCount, b[0],
                        b[1], b[2], b[3], s.kind.c_str());
    } else {
        // The font record is set the way the engine's font choice reads it
        // without a system dialog (on Windows the dialog opens instead).
        const std::string font = s.font + "," + std::to_string(-s.height) + "," + std::to_string(s.weight) + "," +
                                 (s.italic ? "1" : "0");
#if defined(_WIN32)
        _putenv_s("PALORAN_FONT", font.c_str());
#else
        setenv("PALORAN_FONT", font.c_str(), 1);
#endif
        PLR_ChooseFont();
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLText(c[0], c[1], c[2], s.at[0], s.at[1], 0, 0, 0, 0, d.text.c_str(), s.aliased ? 0 : 1);
        PLR_IPLFreeSrcBuffer32();
    }
}

}  // namespace

int runDraw(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: paloran draw IN OUT [drawing options]; see paloran help\n", stderr);
        return 2;
    }
    Settings settings;
    std::vector<Drawing> drawings;
    for (int i = 2; i < argc; ++i) {
        const std::string opt = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const bool flag = opt == "--aliased" || opt == "--italic";
        if (!flag && !value) {
            std::fprintf(stderr, "paloran draw: %s needs a value\n", opt.c_str());
            return 2;
        }
        bool ok = true;
        Drawing d;
        if (opt == "--rect" || opt == "--ellipse" || opt == "--gradient") {
            d.what = opt.substr(2);
            ok = parseInts(value, d.box, 4);
        } else if (opt == "--text") {
            d.what = "text";
            d.text = value;
        } else if (opt == "--color") {
            ok = parseInts(value, settings.color, 3);
        } else if (opt == "--opacity") {
            ok = parseInts(value, &settings.opacity, 1);
        } else if (opt == "--colors") {
            ok = parseColors(value, settings);
        } else if (opt == "--kind") {
            settings.kind = value;
        } else if (opt == "--at") {
            ok = parseInts(value, settings.at, 2);
        } else if (opt == "--font") {
            settings.font = value;
            ok = !settings.font.empty() && settings.font.find(',') == std::string::npos && settings.font.size() < 32;
        } else if (opt == "--height") {
            ok = parseInts(value, &settings.height, 1) && settings.height > 0;
        } else if (opt == "--weight") {
            ok = parseInts(value, &settings.weight, 1) && settings.weight >= 100 && settings.weight <= 900;
        } else if (opt == "--italic") {
            settings.italic = true;
        } else if (opt == "--aliased") {
            settings.aliased = true;
        } else {
            std::fprintf(stderr, "paloran draw: unknown option %s\n", opt.c_str());
            return 2;
        }
        if (!ok) {
            std::fprintf(stderr, "paloran draw: bad value for %s: %s\n", opt.c_str(), value);
            return 2;
        }
        if (!d.what.empty()) {
            if (!drawings.empty()) drawings.back().settings = settings;
            drawings.push_back(d);
        }
        if (!flag) ++i;
    }
    if (!drawings.empty()) drawings.back().settings = settings;

    Picture picture;
    std::string error;
    if (!loadPicture(argv[0], picture, error) || !openPictureAsPage(picture, error)) {
        std::fprintf(stderr, "paloran draw: %s\n", error.c_str());
        return 1;
    }
    for (const Drawing& d : drawings) draw(d);
    if (!pageLayerAsPicture(picture.width, picture.height, picture, error) || !savePicture(argv[1], picture, error)) {
        std::fprintf(stderr, "paloran draw: %s\n", error.c_str());
        PLR_DeleteImage();
        return 1;
    }
    PLR_DeleteImage();
    return 0;
}

}  // namespace plr::host
