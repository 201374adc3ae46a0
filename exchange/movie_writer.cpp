#include "exchange/movie_writer.h"

namespace plr {

std::unique_ptr<MovieWriter> openMovie(std::unique_ptr<platform::MovieFile> file, std::int32_t framePeriod) {
    if (!file) return nullptr;
    auto writer = std::make_unique<MovieWriter>();
    writer->file = std::move(file);
    writer->framePeriod = framePeriod;
    return writer;
}

bool prepareMovieFrame(MovieWriter* w, const MovieFrame& frame, void* owner) {
    if (!w || w->failed || !frame.format || !frame.bits) return false;
    if (w->compressedStream) return true;
    if (!w->rawStream) {
        platform::MovieStreamSetup setup;
        setup.scale = static_cast<std::uint32_t>(w->framePeriod);
        setup.rate = 1000;
        setup.suggestedBufferSize = frame.imageBytes;
        setup.width = frame.width;
        setup.height = frame.height;
        if (!w->file->createStream(setup)) {
            w->failed = true;
            return false;
        }
        w->rawStream = true;
    }
    // The compression is chosen once a movie: a cancelled choice latches.
    if (!w->file->chooseCompression(owner) || !w->file->makeCompressedStream(frame.format, frame.formatBytes)) {
        w->failed = true;
        return false;
    }
    w->compressedStream = true;
    return true;
}

bool writeMovieFrame(MovieWriter* w, const MovieFrame& frame) {
    if (!w || w->failed || !w->compressedStream || !frame.bits) return false;
    if (!w->file->writeFrame(w->framesWritten, frame.bits, frame.imageBytes)) {
        w->failed = true;
        return false;
    }
    ++w->framesWritten;
    return true;
}

void appendMovieFrame(MovieWriter* writer, const MovieFrame& frame, void* owner) {
    if (prepareMovieFrame(writer, frame, owner)) writeMovieFrame(writer, frame);
}

}  // namespace plr
