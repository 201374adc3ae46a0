// Picture files of the host's commands. PNG through libpng for now; the
// engine's own readers and writers take over once it has them.
#include <png.h>

#include <cstdio>

#include "commands.h"
#include "paloran.h"

namespace plr::host {

bool loadPicture(const std::string& path, Picture& picture, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > 10000 || image.height > 10000) {
        png_image_free(&image);
        error = path + ": pictures up to 10000 x 10000 pixels only";
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool savePicture(const std::string& path, const Picture& picture, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    const std::string temporary = path + ".tmp";
    if (!png_image_write_to_file(&image, temporary.c_str(), 0, picture.rgba.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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
