#pragma once
// The command table of the host (command_list.inc) and what commands share.
#include <cstdint>
#include <string>
#include <vector>

namespace plr::host {

#define PALORAN_COMMAND(function, name, synopsis, summary) int function(int argc, char** argv);
#include "command_list.inc"
#undef PALORAN_COMMAND

// `paloran info FILE...`: each file's type, size and resolution.
int runFileInfo(int argc, char** argv);

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    int (*run)(int argc, char** argv);
};

inline constexpr Command kCommands[] = {
#define PALORAN_COMMAND(function, name, synopsis, summary) {name, synopsis, summary, function},
#include "command_list.inc"
#undef PALORAN_COMMAND
};

// An 8-bit RGBA picture, rows of width * 4 bytes, top to bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads a picture file of any format the engine reads into RGBA. False with
// `error` set on failure.
bool loadPicture(const std::string& path, Picture& picture, std::string& error);
// Writes an RGBA picture; the extension picks the format (.bmp, .png, .jpg,
// .gif, .tif, .tga, .pcx, .psd, .emf, .wmf). Formats without alpha drop it.
bool savePicture(const std::string& path, const Picture& picture, std::string& error);
// The same for an RGB picture (rows of width * 3 bytes).
bool savePictureRGB(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string& error);

// A page of the picture's size whose layer 1 (the background) holds the
// picture, made current; every layer-changing export then works on it.
bool openPictureAsPage(const Picture& picture, std::string& error);
// Layer 1 of a width x height page as a picture. Operations that change the
// layers' size (the whole-page geometry) call PLR_NewSize with the new size
// first, as a windowed host does.
bool pageLayerAsPicture(int width, int height, Picture& picture, std::string& error);

}  // namespace plr::host
