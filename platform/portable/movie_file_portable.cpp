// No system movie-file service off Windows: movies go through the engine's
// own AVI writer.
#include "platform/movie_file.h"

namespace plr::platform {

std::unique_ptr<MovieFile> openSystemMovieFile(const char*) { return nullptr; }

bool systemMovieFiles() noexcept { return false; }

}  // namespace plr::platform
