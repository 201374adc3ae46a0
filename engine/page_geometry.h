#pragma once
// Whole-page geometry: every layer in use (1 up to the highest slot holding
// pixels) is flipped, turned, cropped or resampled, each through an RGBA32
// work copy and the imaging library, and stored back at its new size. The
// page keeps its own width and height: the host sets the new page size
// afterwards, as after any size change.
//
// Each function raises EngineFailure (the export's guard reports it) when a
// work buffer or a new layer plane cannot be had, or the arguments ask for a
// size outside 1..10000 or a rectangle off the page; layers finished by then
// stay finished, the layer at hand and those after it stay as they were.
// A library call that fails leaves its layer unchanged and the loop goes on.
// Layers are written whole, all four channels, whatever their alpha lock,
// and keep every option (alpha lock included).
#include <cstdint>

namespace plr {

struct Page;

void flipPage(Page& page, bool horizontal);
void rotatePage(Page& page, bool left);
// (left, top) inclusive, (right, bottom) exclusive, inside the page.
void cropPage(Page& page, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// `method` names the resampling, compared exactly: "Area Average",
// "Nearest Neighbor", "Bilinear", "Bicubic" or one of the fourteen kernels
// ("Box" ... "Catrom", imaging_lib::kFilterKernels). Any other text (or
// null) leaves the page as it is.
void resizePage(Page& page, std::int32_t width, std::int32_t height, const char* method);
// The old picture placed on a new canvas by `anchor` ("TL" ... "BR"; any
// other text: top left). Layer 1's margins get the colour, opaque; the other
// layers' are transparent.
void resizeCanvas(Page& page, std::int32_t width, std::int32_t height, const char* anchor, std::int32_t red,
                  std::int32_t green, std::int32_t blue);
// Content-aware width change. With the mask on, the selection steers it:
// what is selected is kept, what is protected goes first. The layers get
// `height` rows: rows beyond the old height are transparent.
void seamCarvePage(Page& page, std::int32_t width, std::int32_t height);

// The offset of the old picture on a canvas of the new size for an anchor.
struct CanvasOffset {
    std::int32_t x, y;
};
CanvasOffset canvasOffset(const char* anchor, std::int32_t oldWidth, std::int32_t oldHeight, std::int32_t newWidth,
                          std::int32_t newHeight) noexcept;

// Shifts the 32-bit source buffer by (dx, dy) into the destination buffer and
// merges that into the current layer; see page_pan.cpp. Nothing without
// both page-sized buffers and a current layer.
void panPage(Page& page, std::int32_t dx, std::int32_t dy, std::int32_t edgeMode, std::uint32_t fillColour,
             bool applyMask);

}  // namespace plr
