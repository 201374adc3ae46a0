#pragma once
// The host's document: the page and the layer stack every demo and replay
// starts from. Slot numbers are the host's own convention.
#include <cstdint>
#include <string>

namespace plr::host {

enum Slot : std::int32_t {
    kTraceSlot = 0,       // the tracing image (shown with --trace)
    kBackgroundSlot = 1,  // opaque white
    kPaintSlot = 2,       // where most strokes land
    kGlazeSlot = 3,       // a "Multiply" layer
    kStencilSlot = 4,     // a "Layer Mask" layer over the glaze
    kPaperSlot = 5,       // a "Texturize3" layer: the paper texture while visible
};

struct DocumentOptions {
    int width = 960;
    int height = 640;
    std::int32_t seed = 1;
};

constexpr std::int32_t kMaxBrushSize = 256;

// Creates the page and its layers. False with a message when the engine
// cannot make them.
bool createDocument(const DocumentOptions& options, std::string& error);
void deleteDocument();

// Shows or hides the paper layer; while it is visible (and not the current
// layer) its grain scales every dab.
void setPaperVisible(bool visible);

}  // namespace plr::host
