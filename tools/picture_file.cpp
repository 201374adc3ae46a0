// Picture files of the host's commands, read and written through the
// engine's file exports: every format the engine reads, and every format it
// writes, chosen by the output name's extension. Output goes to a temporary
// name first and is renamed, so a failure leaves no partial file.
#include <cctype>
#include <cstdio>

#include "commands.h"
#include "paloran.h"

namespace plr::host {

namespace {

// The extension of `path` in lower case with its dot ("" when none); the
// long spellings name the writers' short ones.
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\"), dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".jpeg" || ext == ".jpe") return ".jpg";
    if (ext == ".tiff") return ".tif";
    return ext;
}

// Formats written from RGBA (alpha kept); the others take RGB.
bool keepsAlpha(const std::string& ext) { return ext == ".png" || ext == ".tga" || ext == ".tif"; }

// Writes `channels`-byte pixels (3 RGB, 4 RGBA) with the writer the
// extension names, converting to the form that writer takes.
int writeByExtension(const std::string& file, const std::string& ext, const std::uint8_t* pixels, int width,
                     int height, int channels) {
    const bool alpha = keepsAlpha(ext);
    const auto write = alpha ? PLR_WriteToFileRGBA32 : PLR_WriteToFileRGB24;
    if (alpha == (channels == 4)) return write(pixels, width, height, file.c_str(), ext.c_str(), 72);
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const int to = alpha ? 4 : 3;
    std::vector<std::uint8_t> other(n * to);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* s = pixels + i * channels;
        std::uint8_t* d = other.data() + i * to;
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
        if (alpha) d[3] = 255;
    }
    return write(other.data(), width, height, file.c_str(), ext.c_str(), 72);
}

bool save(const std::string& path, const std::uint8_t* pixels, int width, int height, int channels, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "nothing to write (empty picture)";
        return false;
    }
    const std::string ext = extensionOf(path);
    const std::string temporary = path + ".tmp";
    if (writeByExtension(temporary, ext, pixels, width, height, channels) == 0) {
        std::remove(temporary.c_str());
        error = path + ": cannot write" + (ext.empty() ? " a file without an extension" : " " + ext + " files here");
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

bool loadPicture(const std::string& path, Picture& picture, std::string& error) {
    if (PLR_ReadFromFile(path.c_str()) == 0) {
        error = path + ": not a picture the engine reads";
        return false;
    }
    picture.width = PLR_GetNewRGBAWidth();
    picture.height = PLR_GetNewRGBAHeight();
    if (picture.width > 10000 || picture.height > 10000) {
        PLR_DeleteNewRGBA();
        error = path + ": pictures up to 10000 x 10000 pixels only";
        return false;
    }
    picture.rgba.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4, 0);
    PLR_GetNewRGBA32(picture.rgba.data());
    PLR_DeleteNewRGBA();
    return true;
}

bool savePicture(const std::string& path, const Picture& picture, std::string& error) {
    return save(path, picture.rgba.data(), picture.width, picture.height, 4, error);
}

bool savePictureRGB(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string& error) {
    return save(path, rgb, width, height, 3, error);
}

bool openPictureAsPage(const Picture& picture, std::string& error) {
    PLR_CreateImage(nullptr, picture.width, picture.height, 64, 0);
    if (PLR_CreateLayer(1, picture.width, picture.height) == 0) {
        error = std::string("cannot create the page: ") + PLR_GetLastError();
        return false;
    }
    PLR_SetLayer(1);
    PLR_LoadRGBA32(picture.rgba.data(), picture.width * 4, 0);
    return true;
}

bool pageLayerAsPicture(int width, int height, Picture& picture, std::string& error) {
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (PLR_GetRGBA32Layer(picture.rgba.data(), width * 4, 1) == 0) {
        error = std::string("cannot read the page: ") + PLR_GetLastError();
        return false;
    }
    return true;
}

}  // namespace plr::host
