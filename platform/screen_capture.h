#pragma once
// A picture of the whole primary screen.
//
// Windows: the screen's device context copied with BitBlt (SRCCOPY) into a
// compatible bitmap of SM_CXSCREEN x SM_CYSCREEN pixels and read back as
// 32-bit rows (GetDIBits).
// Portable: the root window of the X display named by DISPLAY, read with
// XGetImage, when the build has libX11 and a display can be opened; without
// either the capture fails.
#include <cstdint>

namespace plr::platform {

// Returns room for width x height RGBA32 pixels (packed, top row first), or
// null to give up.
using CaptureTarget = std::uint8_t* (*)(void* context, std::int32_t width, std::int32_t height);

// Captures the screen into the room `target` gives: red, green, blue and
// alpha 255 per pixel. False when there is no screen to read, the target gave
// no room or the system refused; the room may then hold partial pixels.
bool captureScreen(CaptureTarget target, void* context) noexcept;

}  // namespace plr::platform
