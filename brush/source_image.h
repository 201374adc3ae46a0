#pragma once
// Brush-shape and texture sources: a stored effect script or an image file.
#include "exchange/formats/image_formats.h"

namespace plr {

enum class SourceRoute { None, Script, Image };

// Tries the path as an effect script first (when `tryScript`), rendering it
// to RGBA; when the script library does not load it, reads it as an image
// file. Once a script loaded, the image route is not tried even if rendering
// fails. `out` holds the picture on success and is empty otherwise.
SourceRoute loadSourceImage(const char* path, bool tryScript, formats::RgbaImage& out) noexcept;

// The stored effect script at `path` rendered to RGBA, without the image
// route: false (and `out` empty) when it does not load or cannot be rendered.
bool renderScriptSource(const char* path, formats::RgbaImage& out) noexcept;

}  // namespace plr
