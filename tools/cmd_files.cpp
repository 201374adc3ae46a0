// Picture files: converting between formats and describing a file.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "paloran.h"

namespace plr::host {

namespace {

// The format's name from the file's first bytes, as the engine tells them apart.
std::string typeOf(const std::string& path) {
    unsigned char b[44] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "unreadable";
    const std::size_t n = std::fread(b, 1, sizeof b, f);
    std::fclose(f);
    struct Signature {
        const char* name;
        std::size_t at;
        const char* bytes;
        std::size_t length;
    };
    static const Signature kSignatures[] = {
        {"PNG", 0, "\x89PNG", 4}, {"JPEG", 0, "\xFF\xD8\xFF", 3}, {"TIFF", 0, "II*", 3}, {"TIFF", 0, "MM\0*", 4},
        {"GIF", 0, "GIF8", 4},    {"PSD", 0, "8BPS", 4},          {"EMF", 40, " EMF", 4}, {"WMF", 0, "\xD7\xCD\xC6\x9A", 4},
        {"WMF", 0, "\x01\0\x09\0", 4}, {"WMF", 0, "\x02\0\x09\0", 4}, {"BMP", 0, "BM", 2}, {"PCX", 0, "\x0A", 1},
    };
    for (const Signature& s : kSignatures)
        if (n >= s.at + s.length && std::memcmp(b + s.at, s.bytes, s.length) == 0) return s.name;
    return "TGA";  // the one format without a signature
}

}  // namespace

int runConvert(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: paloran convert IN OUT\n");
        return 2;
    }
    Picture picture;
    std::string error;
    if (!loadPicture(argv[0], picture, error) || !savePicture(argv[1], picture, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %dx%d -> %s\n", argv[0], picture.width, picture.height, argv[1]);
    return 0;
}

int runFileInfo(int argc, char** argv) {
    int rc = 0;
    for (int i = 0; i < argc; ++i) {
        if (PLR_ReadFromFile(argv[i]) == 0) {
            std::fprintf(stderr, "paloran: %s: not a picture the engine reads\n", argv[i]);
            rc = 1;
            continue;
        }
        std::printf("%s: %s, %dx%d, %d dpi%s\n", argv[i], typeOf(argv[i]).c_str(), PLR_GetNewRGBAWidth(),
                    PLR_GetNewRGBAHeight(), PLR_GetDPIFromFile(argv[i]),
                    PLR_IsNewRGBA32Transparent() ? ", transparent pixels" : "");
        PLR_DeleteNewRGBA();
    }
    return rc;
}

}  // namespace plr::host
