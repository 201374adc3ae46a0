#pragma once
// The file exports' engine side: reading files into the transfer image or a
// host buffer (metafiles drawn at the page's size over the brush colour),
// the transfer image into the current layer, and the composed page streamed
// row by row into a file.
#include <cstdint>

namespace plr {

struct EngineState;
struct Page;

// Reads the file into a new transfer image. False, with the old transfer
// image untouched, when the file cannot be opened or decoded; raises
// EngineFailure when memory runs out.
bool readFileIntoTransfer(EngineState& engine, const char* path);
// Reads the file into `destination` as RGB24 (`channels` 3) or RGBA32 (4)
// when its picture is exactly width x height. False, `destination`
// untouched, otherwise.
bool readFileSized(EngineState& engine, std::uint8_t* destination, std::int32_t width, std::int32_t height,
                   const char* path, std::int32_t channels);
// The transfer image into the current layer at (0, 0) through the mask and
// the paper texture. False without a transfer image or a current layer.
bool setTransferInCurrentLayer(EngineState& engine);
// The visible layers composed one row at a time and written through the row
// writer the extension names (`channels` 3: RGB24, 4: RGBA32). Any other
// extension writes nothing. True when a file was written.
bool savePageToFile(Page& page, const char* path, const char* extension, std::int32_t dpi, std::int32_t channels);

}  // namespace plr
