// Image files: reading into the transfer image or host buffers, the
// resolution of a file, writing host buffers and the composed page,
// thumbnails and web pictures. Paths and extensions are zero-terminated.
#include "api/export.h"
#include "engine/page_files.h"
#include "exchange/image_files.h"

using namespace plr;

extern "C" {

int32_t PLR_ReadFromFile(const char* path) noexcept {
    return guardedExport<exported::PLR_ReadFromFile>([&] { return readFileIntoTransfer(engine(), path) ? 1 : 0; });
}

int32_t PLR_ReadFromFileRGB24(uint8_t* destination, int32_t width, int32_t height, const char* path) noexcept {
    return guardedExport<exported::PLR_ReadFromFileRGB24>(
        [&] { return readFileSized(engine(), destination, width, height, path, 3) ? 1 : 0; });
}

int32_t PLR_ReadFromFileRGBA32(uint8_t* destination, int32_t width, int32_t height, const char* path) noexcept {
    return guardedExport<exported::PLR_ReadFromFileRGBA32>(
        [&] { return readFileSized(engine(), destination, width, height, path, 4) ? 1 : 0; });
}

int32_t PLR_GetDPIFromFile(const char* path) noexcept {
    return dpiFromFile(path);
}

int32_t PLR_WriteToFileRGB24(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                             const char* extension, int32_t dpi) noexcept {
    return guardedExport<exported::PLR_WriteToFileRGB24>(
        [&] { return writePictureByExtension(pixels, width, height, 3, path, extension, dpi); });
}

int32_t PLR_WriteToFileRGBA32(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                              const char* extension, int32_t dpi) noexcept {
    return guardedExport<exported::PLR_WriteToFileRGBA32>(
        [&] { return writePictureByExtension(pixels, width, height, 4, path, extension, dpi); });
}

// The page saves and the two conveniences answer 0 whatever happens: the
// host looks for the file.
int32_t PLR_SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi) noexcept {
    return guardedExport<exported::PLR_SavePageToFileRGB24>([&] {
        savePageToFile(page(), path, extension, dpi, 3);
        return 0;
    });
}

int32_t PLR_SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi) noexcept {
    return guardedExport<exported::PLR_SavePageToFileRGB32>([&] {
        savePageToFile(page(), path, extension, dpi, 4);
        return 0;
    });
}

int32_t PLR_MakeThumbnail(const char* source, const char* destination, int32_t size) noexcept {
    return guardedExport<exported::PLR_MakeThumbnail>([&] {
        makeThumbnail(source, destination, size);
        return 0;
    });
}

int32_t PLR_MakeWebPic(const char* source, const char* destination, int32_t maxWidth, int32_t maxHeight) noexcept {
    return guardedExport<exported::PLR_MakeWebPic>([&] {
        makeWebPicture(source, destination, maxWidth, maxHeight);
        return 0;
    });
}

}  // extern "C"
