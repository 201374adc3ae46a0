#pragma once
// The engine's own AVI file writer: uncompressed DIB key frames in a RIFF
// AVI 1.0 file with its 'idx1' index, behind the movie-file interface the
// system's service also answers. There is nothing to choose as compression:
// frames are stored as given.
#include <memory>

#include "platform/movie_file.h"

namespace plr {

// Creates (or truncates) `path`; null when it cannot be created. The file
// is complete (index written, counts patched) once the object is destroyed.
// The format must be an uncompressed BITMAPINFOHEADER (40 bytes or more,
// with its colour table); every frame must carry exactly one image of it.
std::unique_ptr<platform::MovieFile> openRiffMovieFile(const char* path);

}  // namespace plr
