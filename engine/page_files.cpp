#include "engine/page_files.h"

#include <cstring>

#include "core/buffer_convert.h"
#include "core/failure.h"
#include "engine/engine.h"
#include "exchange/image_files.h"
#include "layers/layer_load.h"
#include "layers/layer_merge.h"

namespace plr {
namespace {

// Metafiles are drawn at the page's size over the brush colour (high bytes).
MetafileCanvas canvasOf(EngineState& engine) {
    MetafileCanvas c;
    c.width = engine.page.width;
    c.height = engine.page.height;
    const Color16& colour = engine.page.brush.dabColor;
    c.background[0] = static_cast<std::uint8_t>(colour.red >> 8);
    c.background[1] = static_cast<std::uint8_t>(colour.green >> 8);
    c.background[2] = static_cast<std::uint8_t>(colour.blue >> 8);
    return c;
}

bool readPicture(EngineState& engine, const char* path, formats::RgbaImage& picture) {
    if (readPictureFile(path, canvasOf(engine), picture)) return true;
    need(!picture.outOfMemory);
    return false;
}

}  // namespace

bool readFileIntoTransfer(EngineState& engine, const char* path) {
    formats::RgbaImage picture;
    if (!readPicture(engine, path, picture)) return false;
    adoptTransferImage(engine.transfer, std::move(picture));
    return true;
}

bool readFileSized(EngineState& engine, std::uint8_t* destination, std::int32_t width, std::int32_t height,
                   const char* path, std::int32_t channels) {
    if (!destination) return false;
    formats::RgbaImage picture;
    if (!readPicture(engine, path, picture) || picture.width != width || picture.height != height) return false;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (channels == 4) {
        std::memcpy(destination, picture.pixels.data(), pixels * 4);
        return true;
    }
    const std::uint8_t* s = picture.pixels.data();
    for (std::size_t i = 0; i < pixels; ++i, s += 4, destination += 3) std::memcpy(destination, s, 3);
    return true;
}

bool setTransferInCurrentLayer(EngineState& engine) {
    TransferImage& t = engine.transfer;
    LayerRecord* layer = engine.page.currentLayer;
    return t.present() && layer &&
           loadRGBA32IntoLayer(engine.page, *layer, t.rgba.data(), t.width * 4, 0, 0, t.width, t.height, true);
}

bool savePageToFile(Page& page, const char* path, const char* extension, std::int32_t dpi, std::int32_t channels) {
    if (page.width <= 0 || page.height <= 0) return false;
    bool bottomUp = false;
    std::unique_ptr<formats::RowWriter> rows =
        openPageRowWriter(path, extension, channels, page.width, page.height, dpi, bottomUp);
    if (!rows) return false;
    // Two one-row buffers, never a composed copy of the page.
    Block<std::uint16_t> wide;
    Block<std::uint8_t> narrow;
    need(wide.allocate(static_cast<std::size_t>(page.width) * 4) &&
         narrow.allocate(static_cast<std::size_t>(page.width) * static_cast<std::size_t>(channels)));
    const Narrow to = channels == 4 ? Narrow::RGBA32 : Narrow::RGB24;
    for (std::int32_t i = 0; i < page.height; ++i) {
        const std::int32_t y = bottomUp ? page.height - 1 - i : i;
        mergeRect(page, wide.data(), 0, y, page.width, 1);
        convertRGBA64Block(to, reinterpret_cast<const std::uint8_t*>(wide.data()), page.width * 8, narrow.data(),
                           page.width * channels, page.width, 1);
        if (!rows->next(narrow.data())) return false;
    }
    return rows->finish();
}

}  // namespace plr
