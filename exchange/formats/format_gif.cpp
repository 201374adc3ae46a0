// GIF through giflib, record by record so that every frame size is checked
// before any pixel memory is asked for. The first frame is placed on a
// transparent canvas of the logical screen size; the transparent index of
// its graphic-control block becomes alpha 0. A truncated file is refused.
// Written: one frame through the 8-bit quantiser (dithering off unless the
// settings ask for it); pixels whose alpha is below 128 take a transparent
// palette entry of their own.
#include <gif_lib.h>

#include <cstring>

#include "exchange/formats/image_formats.h"
#include "exchange/formats/quantize.h"

namespace plr::formats {
namespace {

bool skipExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* data = nullptr;
    if (DGifGetExtension(gif, &code, &data) != GIF_OK) return false;
    while (data) {
        if (code == GRAPHICS_EXT_FUNC_CODE && data[0] == 4) {
            GraphicsControlBlock gcb{};
            if (DGifExtensionToGCB(data[0], data + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
        }
        if (DGifGetExtensionNext(gif, &data) != GIF_OK) return false;
    }
    return true;
}

bool readFrame(GifFileType* gif, int transparent, RgbaImage& out) {
    if (DGifGetImageDesc(gif) != GIF_OK) return false;
    const GifImageDesc& d = gif->Image;
    if (!decodeSizeAllowed(d.Width, d.Height) || d.Left < 0 || d.Top < 0) return false;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map) return false;
    Block<GifPixelType> frame;
    if (!frame.allocate(static_cast<std::size_t>(d.Width) * d.Height)) return false;
    if (d.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < d.Height; y += step[pass])
                if (DGifGetLine(gif, frame.data() + static_cast<std::size_t>(y) * d.Width, d.Width) != GIF_OK)
                    return false;
    } else {
        for (int y = 0; y < d.Height; ++y)
            if (DGifGetLine(gif, frame.data() + static_cast<std::size_t>(y) * d.Width, d.Width) != GIF_OK)
                return false;
    }
    std::memset(out.pixels.data(), 0, out.pixels.bytes());
    for (int y = 0; y < d.Height; ++y) {
        const std::int64_t cy = std::int64_t{d.Top} + y;
        if (cy >= out.height) break;
        for (int x = 0; x < d.Width; ++x) {
            const std::int64_t cx = std::int64_t{d.Left} + x;
            if (cx >= out.width) break;
            const int index = frame[static_cast<std::size_t>(y) * d.Width + x];
            std::uint8_t* p = out.pixels.data() + (cy * out.width + cx) * 4;
            if (index == transparent || index >= map->ColorCount) continue;
            p[0] = map->Colors[index].Red;
            p[1] = map->Colors[index].Green;
            p[2] = map->Colors[index].Blue;
            p[3] = 255;
        }
    }
    return true;
}

bool isGif(const std::uint8_t* b, std::size_t n) noexcept {
    return n >= 6 && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0);
}

bool readGif(const char* path, RgbaImage& out) noexcept {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif) return false;
    bool ok = allocateRgba(out, gif->SWidth, gif->SHeight);
    int transparent = NO_TRANSPARENT_COLOR;
    bool done = false;
    while (ok && !done) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK) {
            ok = false;
            break;
        }
        switch (type) {
            case EXTENSION_RECORD_TYPE: ok = skipExtension(gif, transparent); break;
            case IMAGE_DESC_RECORD_TYPE: ok = readFrame(gif, transparent, out); done = true; break;
            default: ok = false; break;  // terminator before any frame, or garbage
        }
    }
    DGifCloseFile(gif, &error);
    return ok && done;
}

bool gifInfo(const char* path, ImageInfo& out) noexcept {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif) return false;
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    DGifCloseFile(gif, &error);
    return out.width > 0 && out.height > 0;
}

bool encode(GifFileType* gif, const ImageView& image, const std::uint8_t* indices, const Palette& palette,
            int transparent) {
    const int colours = palette.count + (transparent >= 0 ? 1 : 0);
    ColorMapObject* map = GifMakeMapObject(1 << GifBitSize(colours < 2 ? 2 : colours), nullptr);
    if (!map) return false;
    for (int i = 0; i < palette.count; ++i)
        map->Colors[i] = {palette.colours[i][0], palette.colours[i][1], palette.colours[i][2]};
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, map->BitsPerPixel, 0, map) == GIF_OK;
    if (ok && transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = transparent;
        GifByteType block[4];
        const std::size_t n = EGifGCBToExtension(&gcb, block);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), block) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(indices + static_cast<std::size_t>(y) * image.width),
                         image.width) == GIF_OK;
    GifFreeMapObject(map);
    return ok;
}

bool writeGif(const char* path, const ImageView& image, const WriteSettings& s) noexcept {
    if (image.width > 65535 || image.height > 65535) return false;
    bool clear = false;
    if (image.channels == 4)
        for (std::int32_t y = 0; y < image.height && !clear; ++y)
            for (std::int32_t x = 0; x < image.width && !clear; ++x) clear = image.row(y)[x * 4 + 3] < 128;
    Block<std::uint8_t> indices;
    Palette palette;
    if (!indices.allocate(static_cast<std::size_t>(image.width) * image.height) ||
        !quantizeTo8Bit(image, clear ? 255 : 256, s.dither, indices.data(), palette))
        return false;
    const int transparent = clear ? palette.count : -1;
    if (clear)
        for (std::int32_t y = 0; y < image.height; ++y)
            for (std::int32_t x = 0; x < image.width; ++x)
                if (image.row(y)[x * 4 + 3] < 128) indices[static_cast<std::size_t>(y) * image.width + x] = static_cast<std::uint8_t>(transparent);
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path, false, &error);
    if (!gif) return false;
    EGifSetGifVersion(gif, true);
    const bool ok = encode(gif, image, indices.data(), palette, transparent);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

}  // namespace

const ImageFormat kGifFormat{FileType::Gif, "GIF", {"gif"}, isGif, readGif, gifInfo, writeGif, nullptr};

}  // namespace plr::formats
