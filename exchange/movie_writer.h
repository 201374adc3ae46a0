#pragma once
// The movie writer: at most one open movie, recorded frame by frame. The
// first frame makes the streams (raw stream, compression choice, compressed
// stream with the frame's format); any failure latches the writer, which
// then refuses every later frame until it is closed. Failures are not
// reported: the frame is simply not written.
#include <cstdint>
#include <memory>

#include "platform/movie_file.h"

namespace plr {

// One frame as a DIB section describes it: the information header followed
// by its colour table, and the pixel bits.
struct MovieFrame {
    const std::uint8_t* format = nullptr;  // BITMAPINFOHEADER + colour table
    std::uint32_t formatBytes = 0;
    const std::uint8_t* bits = nullptr;
    std::uint32_t imageBytes = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct MovieWriter {
    std::unique_ptr<platform::MovieFile> file;
    std::int32_t framePeriod = 0;  // milliseconds a frame, the stream's scale against a rate of 1000
    bool rawStream = false;
    bool compressedStream = false;
    std::int32_t framesWritten = 0;  // the index of the next frame
    bool failed = false;
};

// Opens a movie on `file` (null: the file could not be created, no movie).
std::unique_ptr<MovieWriter> openMovie(std::unique_ptr<platform::MovieFile> file, std::int32_t framePeriod);

// The preparation step, run before every frame and effective on the first:
// false when there is no writer or it has failed (the frame is not written).
bool prepareMovieFrame(MovieWriter* writer, const MovieFrame& frame, void* owner);
// The writing step: the frame as the key frame at index framesWritten.
bool writeMovieFrame(MovieWriter* writer, const MovieFrame& frame);
// Both steps.
void appendMovieFrame(MovieWriter* writer, const MovieFrame& frame, void* owner);

}  // namespace plr
