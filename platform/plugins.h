#pragma once
// Filter plug-ins: modules in a folder that offer image filters through the
// plug-in filter protocol. Windows loads the modules and runs them; the
// portable back end has no plug-in modules: a scan finds none and every run
// fails.
#include <cstdint>

namespace plr::platform {

// Called once per filter found: its module path, its category and its
// name. Answers 0 to go on.
using PluginFound = std::int32_t (*)(void* context, const char* path, const char* category, const char* name);

// Reports every filter of the plug-in modules (*.8bf) in `folder`, in the
// order the folder lists them; the number reported, or -1 when the folder
// cannot be read.
std::int32_t scanPlugins(const char* folder, PluginFound found, void* context) noexcept;

// A 32-bit image the plug-in reads or writes: width and height in pixels,
// rows of `rowPixels` pixels, bytes blue, green, red, alpha.
struct PluginImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t* pixels = nullptr;
    std::int32_t rowPixels = 0;
};

// How the filter may change the image.
enum class PluginMode : std::int32_t {
    Colour = 0,          // colour channels only; the caller keeps alpha
    ColourAndAlpha = 2,  // all four channels
};

// Runs the first filter of the module at `path` on `source`, writing
// `destination` (same size). 0 when the filter ran to its end and the
// destination holds its output; anything else (no module, no filter, the
// filter's own error, cancelled) leaves the destination undefined.
std::int32_t runPlugin(const PluginImage& source, const PluginImage& destination, const char* path,
                       void* ownerWindow, PluginMode mode) noexcept;

}  // namespace plr::platform
