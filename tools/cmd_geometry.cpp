// `paloran geometry`: one whole-page operation on a picture file, through the
// exports, as a windowed host runs it: load the picture as a page, run the
// operation, set the new page size, read the background layer back.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "paloran.h"

namespace plr::host {
namespace {

bool parsePair(const char* text, char sep, int& a, int& b) {
    return text && std::sscanf(text, sep == 'x' ? "%dx%d" : "%d,%d", &a, &b) == 2;
}

int usageError(const char* what) {
    std::fprintf(stderr,
                 "geometry: %s\nusage: paloran geometry IN.png OUT.png OPERATION\n"
                 "  --resize WxH --method NAME   (\"Area Average\", \"Nearest Neighbor\", \"Bilinear\", \"Bicubic\",\n"
                 "                                \"Box\" ... \"Catrom\"; names as written)\n"
                 "  --rotate left|right          quarter turn\n"
                 "  --flip h|v                   mirror left-right or top-bottom\n"
                 "  --crop L,T,R,B               keep the rectangle (right and bottom exclusive)\n"
                 "  --canvas WxH --anchor A [--color R,G,B]   anchors TL TC TR ML MC MR BL BC BR\n"
                 "  --carve WxH                  content-aware width change\n",
                 what);
    return 2;
}

// The operation's arguments after IN and OUT; runs it and gives the new size.
int runOperation(int argc, char** argv, int& width, int& height) {
    const std::string op = argv[0];
    auto option = [&](const char* name) -> const char* {
        for (int i = 1; i + 1 < argc; ++i)
            if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
        return nullptr;
    };
    const char* value = argc > 1 ? argv[1] : nullptr;
    int a = 0, b = 0, c = 0, d = 0;
    if (op == "--flip" && value && (std::strcmp(value, "h") == 0 || std::strcmp(value, "v") == 0)) {
        value[0] == 'h' ? PLR_IPLFlipHorizontal() : PLR_IPLFlipVertical();
        return 0;
    }
    if (op == "--rotate" && value && (std::strcmp(value, "left") == 0 || std::strcmp(value, "right") == 0)) {
        value[0] == 'l' ? PLR_IPLRotateLeft() : PLR_IPLRotateRight();
        std::swap(width, height);
        return 0;
    }
    if (op == "--crop" && value && std::sscanf(value, "%d,%d,%d,%d", &a, &b, &c, &d) == 4) {
        PLR_IPLCrop(a, b, c, d);
        width = c - a;
        height = d - b;
        return 0;
    }
    if (op == "--resize" && parsePair(value, 'x', a, b) && option("--method")) {
        PLR_IPLResize(a, b, option("--method"));
        width = a;
        height = b;
        return 0;
    }
    if (op == "--canvas" && parsePair(value, 'x', a, b) && option("--anchor")) {
        int red = 255, green = 255, blue = 255;
        if (option("--color") && std::sscanf(option("--color"), "%d,%d,%d", &red, &green, &blue) != 3)
            return usageError("--color wants R,G,B");
        PLR_IPLResizePage(a, b, option("--anchor"), red, green, blue);
        width = a;
        height = b;
        return 0;
    }
    if (op == "--carve" && parsePair(value, 'x', a, b)) {
        PLR_IPLSeamCarvingRGBA(a, b, 0);
        width = a;
        height = b;
        return 0;
    }
    return usageError("unknown or incomplete operation");
}

}  // namespace

int runGeometry(int argc, char** argv) {
    if (argc < 3) return usageError("missing arguments");
    Picture picture;
    std::string error;
    if (!loadPicture(argv[0], picture, error)) {
        std::fprintf(stderr, "geometry: %s\n", error.c_str());
        return 1;
    }
    PLR_IPLInit(0);
    if (!openPictureAsPage(picture, error)) {
        std::fprintf(stderr, "geometry: %s\n", error.c_str());
        return 1;
    }
    PLR_SetLastError("");
    int width = picture.width, height = picture.height;
    const int status = runOperation(argc - 2, argv + 2, width, height);
    const std::string failure = PLR_GetLastError();
    if (status == 0 && !failure.empty()) {
        std::fprintf(stderr, "geometry: the operation failed (%s)\n", failure.c_str());
    } else if (status == 0) {
        PLR_NewSize(nullptr, width, height, 64, 0);
        Picture out;
        if (pageLayerAsPicture(width, height, out, error) && savePicture(argv[1], out, error)) {
            PLR_DeleteImage();
            PLR_IPLExit();
            return 0;
        }
        std::fprintf(stderr, "geometry: %s\n", error.c_str());
    }
    PLR_DeleteImage();
    PLR_IPLExit();
    return status == 0 ? 1 : status;
}

}  // namespace plr::host
