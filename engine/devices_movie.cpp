// The movie writer's file comes from the system's movie-file service where
// there is one (Windows) and from the engine's own AVI writer elsewhere;
// tests put a seam in between so that no compression dialog opens.
#include "core/failure.h"
#include "engine/devices.h"
#include "engine/engine.h"
#include "exchange/avi_file.h"
#include "exchange/movie_frames.h"

namespace plr {

MovieWriter* createMovie(const char* path, std::int32_t framePeriod) {
    closeMovie();  // the file of a movie still open is finished, not lost
    if (!path || !*path) return nullptr;
    platform::MovieFileOpener open = devices().movieFileOpener;
    if (!open) open = platform::systemMovieFiles() ? platform::openSystemMovieFile : openRiffMovieFile;
    devices().movie = openMovie(open(path), framePeriod);
    return devices().movie.get();
}

void appendMovieBmp(EngineState& e, const char* path) {
    if (!devices().movie) return;
    DibFrame frame;
    bool outOfMemory = false;
    // A file that cannot be read gives no frame and leaves the writer as it was.
    if (!dibFrameFromBmpFile(path, frame, outOfMemory)) {
        need(!outOfMemory);
        return;
    }
    appendMovieFrame(devices().movie.get(), frame.frame(), e.page.ownerWindow);
}

void appendMovieRGB24(EngineState& e, const std::uint8_t* rgb, std::int32_t width, std::int32_t height) {
    if (!devices().movie || !rgb || width <= 0 || height <= 0) return;
    DibFrame frame;
    need(dibFrameFromRGB24(rgb, width, height, frame));
    appendMovieFrame(devices().movie.get(), frame.frame(), e.page.ownerWindow);
}

void closeMovie() noexcept { devices().movie.reset(); }

}  // namespace plr
